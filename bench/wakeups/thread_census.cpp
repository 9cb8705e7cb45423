#include "wakeups/thread_census.h"

#include <algorithm>
#include <charconv>

namespace quorvane::wakeups {

namespace {

std::optional<uint64_t> Number(std::string_view text) {
  uint64_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end == text.data()) return std::nullopt;
  return value;
}

std::vector<std::string_view> Fields(std::string_view text) {
  std::vector<std::string_view> fields;
  size_t at = 0;
  while (at < text.size()) {
    size_t start = text.find_first_not_of(" \t\n", at);
    if (start == std::string_view::npos) break;
    size_t end = text.find_first_of(" \t\n", start);
    if (end == std::string_view::npos) end = text.size();
    fields.push_back(text.substr(start, end - start));
    at = end;
  }
  return fields;
}

// The number on the line "key:<blanks>number" of a status file.
std::optional<uint64_t> StatusValue(std::string_view status, std::string_view key) {
  size_t at = 0;
  while (at < status.size()) {
    size_t end = status.find('\n', at);
    if (end == std::string_view::npos) end = status.size();
    std::string_view line = status.substr(at, end - at);
    if (line.size() > key.size() && line.substr(0, key.size()) == key && line[key.size()] == ':') {
      std::vector<std::string_view> rest = Fields(line.substr(key.size() + 1));
      return rest.size() == 1 ? Number(rest[0]) : std::nullopt;
    }
    at = end + 1;
  }
  return std::nullopt;
}

}  // namespace

std::optional<StatFields> ParseStat(std::string_view stat) {
  size_t open = stat.find('(');
  size_t close = stat.rfind(')');
  if (open == std::string_view::npos || close == std::string_view::npos || close < open) {
    return std::nullopt;
  }
  // After the name: state (field 3), ppid, ... utime (14), stime (15), ... starttime (22).
  std::vector<std::string_view> fields = Fields(stat.substr(close + 1));
  if (fields.size() < 20) return std::nullopt;
  auto user = Number(fields[11]), system = Number(fields[12]), start = Number(fields[19]);
  if (!user || !system || !start) return std::nullopt;
  return StatFields{std::string(stat.substr(open + 1, close - open - 1)), *user + *system, *start};
}

std::optional<uint64_t> ParseSwitches(std::string_view status) {
  auto voluntary = StatusValue(status, "voluntary_ctxt_switches");
  auto involuntary = StatusValue(status, "nonvoluntary_ctxt_switches");
  if (!voluntary || !involuntary) return std::nullopt;
  return *voluntary + *involuntary;
}

std::optional<uint64_t> ParseRunNanoseconds(std::string_view schedstat) {
  std::vector<std::string_view> fields = Fields(schedstat);
  if (fields.size() != 3) return std::nullopt;
  return Number(fields[0]);
}

std::optional<ThreadCounters> ParseThread(std::string_view stat, std::string_view status,
                                          std::string_view schedstat, long ticks_per_second) {
  auto fields = ParseStat(stat);
  auto switches = ParseSwitches(status);
  if (!fields || !switches || ticks_per_second <= 0) return std::nullopt;
  auto run_ns = ParseRunNanoseconds(schedstat);
  if (!run_ns && !schedstat.empty()) return std::nullopt;
  return ThreadCounters{fields->comm, fields->start_ticks, *switches,
                        run_ns.value_or(fields->cpu_ticks *
                                        (1'000'000'000 / static_cast<uint64_t>(ticks_per_second)))};
}

bool IsWinesThread(std::string_view comm) {
  return comm.size() >= 4 && comm.substr(0, 4) == "wine";
}

void Census::Add(const std::map<int, ThreadCounters>& sample) {
  for (const auto& [tid, counters] : sample) {
    auto [it, added] = seen_.try_emplace(tid);
    Seen& seen = it->second;
    if (added) {
      // Born after the baseline: everything it counted is in the stretch.
      seen.started = samples_ > 0;
      seen.first = counters;
      if (seen.started) seen.first.switches = seen.first.run_ns = 0;
    }
    seen.last = counters;
    seen.last_sample = samples_;
  }
  ++samples_;
}

std::vector<Census::Thread> Census::Threads() const {
  std::vector<Thread> threads;
  for (const auto& [tid, seen] : seen_) {
    threads.push_back({.tid = tid,
                       .comm = seen.last.comm,
                       .start_ticks = seen.first.start_ticks,
                       .switches = seen.last.switches - seen.first.switches,
                       .run_ns = seen.last.run_ns - seen.first.run_ns,
                       .started = seen.started,
                       .ended = seen.last_sample + 1 < samples_});
  }
  std::stable_sort(threads.begin(), threads.end(), [](const Thread& a, const Thread& b) {
    return a.start_ticks < b.start_ticks || (a.start_ticks == b.start_ticks && a.tid < b.tid);
  });
  return threads;
}

std::vector<Role> AssignRoles(const std::vector<Census::Thread>& threads, int leader_tid,
                              std::string_view image, const std::vector<std::string>& roles) {
  std::vector<Role> assigned;
  size_t next = 1;  // the leader's is roles[0]
  for (const Census::Thread& thread : threads) {
    if (IsWinesThread(thread.comm)) {
      assigned.push_back({thread.comm, true});
    } else if (roles.empty() || thread.comm != image) {
      assigned.push_back({thread.comm, false});
    } else if (thread.tid == leader_tid) {
      assigned.push_back({roles[0], false});
    } else {
      size_t place = next++;
      assigned.push_back(
          {place < roles.size() ? roles[place] : "thread " + std::to_string(place + 1), false});
    }
  }
  return assigned;
}

Rates RatesOf(uint64_t switches, uint64_t run_ns, double seconds) {
  if (seconds <= 0) return {};
  return {static_cast<double>(switches) / seconds,
          100.0 * static_cast<double>(run_ns) * 1e-9 / seconds};
}

Summary Summarise(const std::vector<Census::Thread>& threads, const std::vector<Role>& roles,
                  double seconds) {
  struct Sums {
    uint64_t switches = 0, run_ns = 0;
    void Add(const Census::Thread& thread) {
      switches += thread.switches;
      run_ns += thread.run_ns;
    }
  };
  std::vector<std::pair<Role, Sums>> by_role;
  Sums program, wine;
  for (size_t i = 0; i < threads.size() && i < roles.size(); ++i) {
    auto it = std::find_if(by_role.begin(), by_role.end(), [&](const auto& entry) {
      return entry.first.name == roles[i].name && entry.first.wines == roles[i].wines;
    });
    if (it == by_role.end()) it = by_role.insert(by_role.end(), {roles[i], {}});
    it->second.Add(threads[i]);
    (roles[i].wines ? wine : program).Add(threads[i]);
  }
  Summary summary;
  for (const auto& [role, sums] : by_role) {
    summary.roles.push_back({role, RatesOf(sums.switches, sums.run_ns, seconds)});
  }
  summary.program = RatesOf(program.switches, program.run_ns, seconds);
  summary.wine = RatesOf(wine.switches, wine.run_ns, seconds);
  summary.all = RatesOf(program.switches + wine.switches, program.run_ns + wine.run_ns, seconds);
  return summary;
}

}  // namespace quorvane::wakeups
