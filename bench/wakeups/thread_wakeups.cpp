// Counts how often each thread of a running process wakes and how much of a core it takes, from
// /proc, over a stretch (thread_census.h), and prints the figures with their targets:
//   thread_wakeups --pid PID --seconds S [--interval 0.2] [--who NAME] [--case TEXT]
//                  [--image NAME] [--roles ROLE,ROLE,...] [--wakeup-target 'at most|under N']
//                  [--core-target 'at most|under P'] [--target-note TEXT] [--beside NAME=PID]...
// Every --interval seconds it reads each thread's stat, status and schedstat, so a thread that
// starts or ends within the stretch counts for the part it was there.
// A thread is Wine's when Wine named it (IsWinesThread), otherwise the program's; --roles names
// the program's threads that kept the image's name (--image: the leader's name by default) in
// the order they started, the leader first. --beside adds the wake-ups and share of another
// process (all its threads), such as the wineserver the program talks to.
// Prints a line of wake-ups a second of the program's own threads with its target (and whether
// it is met), a line for each of its roles, Wine's threads and those beside, then a line of the
// process's share of one core with its target. Exits 1 when the process could not be read or
// ended before the stretch did.
#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "monotonic_clock.h"
#include "wakeups/thread_census.h"

namespace quorvane::wakeups {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream file(path);
  std::ostringstream text;
  text << file.rdbuf();
  return file ? text.str() : std::string();
}

using bench::Now;
using bench::SleepUntil;

// Every thread of the process now; empty once it is gone.
std::map<int, ThreadCounters> Sample(int pid, long ticks_per_second) {
  std::map<int, ThreadCounters> sample;
  std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  DIR* dir = opendir(tasks.c_str());
  if (!dir) return sample;
  while (dirent* entry = readdir(dir)) {
    int tid = std::atoi(entry->d_name);
    if (tid <= 0) continue;
    std::string base = tasks + "/" + entry->d_name + "/";
    auto counters = ParseThread(ReadFile(base + "stat"), ReadFile(base + "status"),
                                ReadFile(base + "schedstat"), ticks_per_second);
    if (counters) sample[tid] = *counters;  // a thread that ended meanwhile is read no more
  }
  closedir(dir);
  return sample;
}

// "at most 230" or "under 2": whether the value meets it.
struct Target {
  std::string text;
  bool at_most = false;
  double limit = 0;
  bool Met(double value) const { return at_most ? value <= limit : value < limit; }
};
std::optional<Target> ParseTarget(const std::string& text) {
  for (const char* word : {"at most ", "under "}) {
    std::string prefix = word;
    if (text.compare(0, prefix.size(), prefix) != 0) continue;
    char* end = nullptr;
    double limit = std::strtod(text.c_str() + prefix.size(), &end);
    if (end == text.c_str() + prefix.size() || *end != '\0') return std::nullopt;
    return Target{text, prefix == "at most ", limit};
  }
  return std::nullopt;
}

std::string Judged(const std::optional<Target>& target, double value, const std::string& unit,
                   const std::string& note) {
  if (!target) return "(no target)";
  return "(target " + target->text + unit + (note.empty() ? "" : ": " + note) +
         "): " + (target->Met(value) ? "met" : "not met");
}

std::string Figures(const Rates& rates) {
  char text[64];
  std::snprintf(text, sizeof text, "%.1f/s %.3f %%", rates.wakeups_per_second, rates.core_percent);
  return text;
}

struct Options {
  int pid = 0;
  double seconds = 0;
  double interval = 0.2;
  std::string who = "the program", case_text, image, note;
  std::vector<std::string> roles;
  std::optional<Target> wakeup_target, core_target;
  std::vector<std::pair<std::string, int>> beside;
};

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> parts;
  std::stringstream stream(text);
  for (std::string part; std::getline(stream, part, ',');) parts.push_back(part);
  return parts;
}

std::optional<Options> ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string name = argv[i], value = argv[i + 1];
    if (name == "--pid") {
      options.pid = std::atoi(value.c_str());
    } else if (name == "--seconds") {
      options.seconds = std::atof(value.c_str());
    } else if (name == "--interval") {
      options.interval = std::atof(value.c_str());
    } else if (name == "--who") {
      options.who = value;
    } else if (name == "--case") {
      options.case_text = value;
    } else if (name == "--image") {
      options.image = value;
    } else if (name == "--roles") {
      options.roles = Split(value);
    } else if (name == "--target-note") {
      options.note = value;
    } else if (name == "--wakeup-target" || name == "--core-target") {
      auto target = ParseTarget(value);
      if (!target) return std::nullopt;
      (name == "--wakeup-target" ? options.wakeup_target : options.core_target) = target;
    } else if (name == "--beside") {
      size_t equals = value.find('=');
      if (equals == std::string::npos) return std::nullopt;
      options.beside.push_back({value.substr(0, equals), std::atoi(value.c_str() + equals + 1)});
    } else {
      return std::nullopt;
    }
  }
  if (argc % 2 != 1 || options.pid <= 0 || options.seconds <= 0 || options.interval <= 0) {
    return std::nullopt;
  }
  return options;
}

int Run(const Options& options) {
  const long ticks_per_second = sysconf(_SC_CLK_TCK);
  Census census;
  std::vector<Census> beside(options.beside.size());
  auto sample_all = [&] {
    auto sample = Sample(options.pid, ticks_per_second);
    if (!sample.empty()) census.Add(sample);
    for (size_t i = 0; i < beside.size(); ++i) {
      auto other = Sample(options.beside[i].second, ticks_per_second);
      if (!other.empty()) beside[i].Add(other);
    }
    return sample;
  };
  auto first = sample_all();
  if (first.empty() || !first.count(options.pid)) {
    std::fprintf(stderr, "thread_wakeups: cannot read the threads of process %d\n", options.pid);
    return 1;
  }
  const std::string image = options.image.empty() ? first[options.pid].comm : options.image;
  const double start = Now();
  double end = start;
  for (int step = 1; end - start < options.seconds - 1e-6; ++step) {
    SleepUntil(std::min(start + step * options.interval, start + options.seconds));
    end = Now();
    if (sample_all().empty()) {
      std::fprintf(stderr, "thread_wakeups: process %d ended after %.1f s of %.1f\n", options.pid,
                   end - start, options.seconds);
      return 1;
    }
  }
  const double seconds = end - start;

  std::vector<Census::Thread> threads = census.Threads();
  std::vector<Role> roles = AssignRoles(threads, options.pid, image, options.roles);
  Summary summary = Summarise(threads, roles, seconds);
  const std::string over = (options.case_text.empty() ? "" : ", " + options.case_text) + ", over " +
                           std::to_string(static_cast<int>(std::lround(seconds))) + " s";

  std::printf(
      "wake-ups a second, own threads of %s%s: %.1f %s\n", options.who.c_str(), over.c_str(),
      summary.program.wakeups_per_second,
      Judged(options.wakeup_target, summary.program.wakeups_per_second, "", options.note).c_str());
  std::string own, wines;
  for (const auto& [role, rates] : summary.roles) {
    std::string& list = role.wines ? wines : own;
    list += (list.empty() ? "" : ", ") + role.name + " " + Figures(rates);
  }
  std::printf("  own threads: %s\n", own.c_str());
  if (!wines.empty()) {
    std::printf("  Wine's threads in the process, %s: %s\n", Figures(summary.wine).c_str(),
                wines.c_str());
  }
  for (size_t i = 0; i < beside.size(); ++i) {
    uint64_t switches = 0, run_ns = 0;
    for (const Census::Thread& thread : beside[i].Threads()) {
      switches += thread.switches;
      run_ns += thread.run_ns;
    }
    std::printf("  beside it, %s (shared): %s\n", options.beside[i].first.c_str(),
                Figures(RatesOf(switches, run_ns, seconds)).c_str());
  }
  std::string started_or_ended;
  for (size_t i = 0; i < threads.size(); ++i) {
    if (!threads[i].started && !threads[i].ended) continue;
    started_or_ended += (started_or_ended.empty() ? "" : ", ") + roles[i].name +
                        (threads[i].started ? " started" : "") +
                        (threads[i].started && threads[i].ended ? " and" : "") +
                        (threads[i].ended ? " ended" : "");
  }
  if (!started_or_ended.empty()) {
    std::printf("  within the stretch: %s\n", started_or_ended.c_str());
  }
  char share[160];
  if (wines.empty()) {
    std::snprintf(share, sizeof share, "%.3f %%", summary.all.core_percent);
  } else {
    std::snprintf(share, sizeof share, "%.3f %% (own threads %.3f %%, Wine's %.3f %%)",
                  summary.all.core_percent, summary.program.core_percent,
                  summary.wine.core_percent);
  }
  std::printf("share of one core, %s%s: %s %s\n", options.who.c_str(), over.c_str(), share,
              Judged(options.core_target, summary.all.core_percent, " %", "").c_str());
  return 0;
}

}  // namespace
}  // namespace quorvane::wakeups

int main(int argc, char** argv) {
  auto options = quorvane::wakeups::ParseOptions(argc, argv);
  if (!options) {
    std::fprintf(stderr,
                 "usage: thread_wakeups --pid PID --seconds S [--interval 0.2] [--who NAME] "
                 "[--case TEXT] [--image NAME] [--roles ROLE,...] [--wakeup-target 'at most|under "
                 "N'] [--core-target 'at most|under P'] [--target-note TEXT] "
                 "[--beside NAME=PID]...\n");
    return 2;
  }
  return quorvane::wakeups::Run(*options);
}
