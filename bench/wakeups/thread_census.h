// What thread_wakeups makes of /proc while a program runs: each thread's counters as the kernel
// writes them (task/<tid>/stat, status and schedstat), whose thread it is (Wine's own or the
// program's) and what it does in the program, and over a stretch of samples each thread's
// wake-ups and run time. Pure functions of the text read and of the samples, on one time line.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::wakeups {

// One thread's counters at one moment.
struct ThreadCounters {
  std::string comm;          // the kernel's name of the thread (15 bytes at most)
  uint64_t start_ticks = 0;  // when it started, in clock ticks since boot
  uint64_t switches = 0;     // voluntary and involuntary context switches: its wake-ups
  uint64_t run_ns = 0;       // time on a core (schedstat; stat's utime + stime where absent)
};

// From task/<tid>/stat: the name, the start, and utime + stime in ticks (the name, in
// parentheses, may itself hold spaces and parentheses: the fields start after the last one).
struct StatFields {
  std::string comm;
  uint64_t cpu_ticks = 0;
  uint64_t start_ticks = 0;
};
std::optional<StatFields> ParseStat(std::string_view stat);
// From task/<tid>/status: voluntary_ctxt_switches + nonvoluntary_ctxt_switches.
std::optional<uint64_t> ParseSwitches(std::string_view status);
// From task/<tid>/schedstat: the first field, nanoseconds on a core.
std::optional<uint64_t> ParseRunNanoseconds(std::string_view schedstat);
// The three read together; schedstat may be empty (a kernel without it): then the run time is
// stat's ticks at ticks_per_second.
std::optional<ThreadCounters> ParseThread(std::string_view stat, std::string_view status,
                                          std::string_view schedstat, long ticks_per_second);

// Wine names the threads it starts for itself inside a program's process (its sound driver's
// winepulse_mainloop and winepulse_timer, wine_threadpool_worker, wine_rpcrt4_io, ...); every
// other thread is the program's, whether it kept the name of the program's image or took one
// it was given (SetThreadDescription, which Wine shows as the thread's name).
bool IsWinesThread(std::string_view comm);

// Samples of one process's threads (tid to counters), taken one after another; the first is
// the baseline. A thread that starts after it counts from zero; one that ends counts up to the
// last sample that saw it.
class Census {
 public:
  void Add(const std::map<int, ThreadCounters>& sample);

  struct Thread {
    int tid = 0;
    std::string comm;  // its name when last seen
    uint64_t start_ticks = 0;
    uint64_t switches = 0;  // over the stretch
    uint64_t run_ns = 0;
    bool started = false;  // after the first sample
    bool ended = false;    // before the last
  };
  // Every thread seen, in the order they started (then by tid).
  std::vector<Thread> Threads() const;

 private:
  struct Seen {
    ThreadCounters first, last;
    bool started = false;
    int last_sample = 0;
  };
  std::map<int, Seen> seen_;
  int samples_ = 0;
};

// What a thread does, for a person: Wine's by its name; the program's by the name it was given
// or, where it kept the image's name, by the order it started in: the leader (the process's
// first thread) takes roles[0], the others roles[1], roles[2], ... in the order they started,
// those beyond the list "thread N" (N its place among them). Without roles a thread is its name.
struct Role {
  std::string name;
  bool wines = false;
};
std::vector<Role> AssignRoles(const std::vector<Census::Thread>& threads, int leader_tid,
                              std::string_view image, const std::vector<std::string>& roles);

// Wake-ups a second and share of one core (percent) of a group of threads over a stretch.
struct Rates {
  double wakeups_per_second = 0;
  double core_percent = 0;
};
Rates RatesOf(uint64_t switches, uint64_t run_ns, double seconds);

// The threads' figures summed by role, the roles in the order their first thread started; the
// program's and Wine's apart, and all together.
struct Summary {
  std::vector<std::pair<Role, Rates>> roles;
  Rates program, wine, all;
};
Summary Summarise(const std::vector<Census::Thread>& threads, const std::vector<Role>& roles,
                  double seconds);

}  // namespace quorvane::wakeups
