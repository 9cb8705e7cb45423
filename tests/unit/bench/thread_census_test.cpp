#include "wakeups/thread_census.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvane::wakeups {
namespace {

// A line of task/<tid>/stat as the kernel writes it, with the given name, utime, stime and start.
std::string Stat(const std::string& comm, int utime, int stime, int start) {
  return "4242 (" + comm + ") S 4200 4242 4200 0 -1 4194560 1510 0 0 0 " + std::to_string(utime) +
         " " + std::to_string(stime) + " 0 0 20 0 9 0 " + std::to_string(start) +
         " 2718109696 9216 18446744073709551615 1 1 0 0 0 0 0 4096 0 0 0 0 17 1 0 0 0 0 0\n";
}

TEST(ThreadCensus, ReadsNameTicksAndStartFromStat) {
  struct Case {
    std::string comm;
    int utime, stime, start;
  };
  for (const Case& c : {Case{"Quorvane.scr", 12, 3, 5120}, Case{"winepulse_timer", 0, 0, 1},
                        Case{"a) b (c", 7, 8, 9}, Case{"", 1, 0, 2}}) {
    SCOPED_TRACE(c.comm);
    auto fields = ParseStat(Stat(c.comm, c.utime, c.stime, c.start));
    ASSERT_TRUE(fields);
    EXPECT_EQ(fields->comm, c.comm);
    EXPECT_EQ(fields->cpu_ticks, static_cast<uint64_t>(c.utime + c.stime));
    EXPECT_EQ(fields->start_ticks, static_cast<uint64_t>(c.start));
  }
  for (const char* bad : {"", "4242 (x S 1 2", "4242 (x) S 1 2 3", "4242 (x) S a b c d e f g h"}) {
    EXPECT_FALSE(ParseStat(bad)) << bad;
  }
}

TEST(ThreadCensus, WakeUpsAreVoluntaryAndInvoluntarySwitches) {
  const std::string status =
      "Name:\tQuorvane.scr\nState:\tS (sleeping)\nvoluntary_ctxt_switches:\t1500\n"
      "nonvoluntary_ctxt_switches:\t27\n";
  EXPECT_EQ(ParseSwitches(status), 1527u);
  EXPECT_FALSE(ParseSwitches("Name:\tx\nvoluntary_ctxt_switches:\t3\n"));
  EXPECT_FALSE(ParseSwitches("voluntary_ctxt_switches:\tmany\nnonvoluntary_ctxt_switches:\t1\n"));
  // "nonvoluntary_..." is not read as "voluntary_...".
  EXPECT_EQ(ParseSwitches("nonvoluntary_ctxt_switches: 2\nvoluntary_ctxt_switches: 5\n"), 7u);
}

TEST(ThreadCensus, RunTimeFromSchedstatElseFromTicks) {
  EXPECT_EQ(ParseRunNanoseconds("2526352 13059394 2\n"), 2526352u);
  EXPECT_FALSE(ParseRunNanoseconds("2526352\n"));
  const std::string status = "voluntary_ctxt_switches:\t4\nnonvoluntary_ctxt_switches:\t1\n";
  auto precise = ParseThread(Stat("t", 2, 1, 7), status, "31000000 5 9\n", 100);
  ASSERT_TRUE(precise);
  EXPECT_EQ(precise->run_ns, 31000000u);
  EXPECT_EQ(precise->switches, 5u);
  auto ticks = ParseThread(Stat("t", 2, 1, 7), status, "", 100);
  ASSERT_TRUE(ticks);
  EXPECT_EQ(ticks->run_ns, 30000000u);
  EXPECT_FALSE(ParseThread(Stat("t", 2, 1, 7), status, "garbled", 100));
  EXPECT_FALSE(ParseThread(Stat("t", 2, 1, 7), "", "1 2 3", 100));
}

TEST(ThreadCensus, WineNamesItsOwnThreads) {
  struct Case {
    const char* comm;
    bool wines;
  };
  for (const Case& c :
       {Case{"winepulse_mainl", true}, Case{"winepulse_timer", true}, Case{"wine_threadpool", true},
        Case{"wineserver", true}, Case{"Quorvane.scr", false}, Case{"quorvane_worker", false},
        Case{"mpv/vo", false}, Case{"win", false}, Case{"", false}}) {
    EXPECT_EQ(IsWinesThread(c.comm), c.wines) << c.comm;
  }
}

ThreadCounters At(const std::string& comm, uint64_t start, uint64_t switches, uint64_t run_ns) {
  return {comm, start, switches, run_ns};
}

TEST(ThreadCensus, CountsEachThreadForThePartOfTheStretchItWasThere) {
  Census census;
  census.Add({{100, At("main", 10, 50, 1000)}, {101, At("gone", 11, 5, 10)}});
  census.Add({{100, At("main", 10, 60, 1500)},
              {101, At("gone", 11, 8, 40)},
              {102, At("new", 20, 3, 300)}});
  census.Add({{100, At("main", 10, 75, 2000)}, {102, At("new", 20, 9, 700)}});
  auto threads = census.Threads();
  ASSERT_EQ(threads.size(), 3u);
  struct Want {
    int tid;
    uint64_t switches, run_ns;
    bool started, ended;
  };
  const Want wanted[] = {{100, 25, 1000, false, false},
                         {101, 3, 30, false, true},
                         // born after the baseline: counted from zero
                         {102, 9, 700, true, false}};
  for (size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(threads[i].tid, wanted[i].tid);
    EXPECT_EQ(threads[i].switches, wanted[i].switches);
    EXPECT_EQ(threads[i].run_ns, wanted[i].run_ns);
    EXPECT_EQ(threads[i].started, wanted[i].started);
    EXPECT_EQ(threads[i].ended, wanted[i].ended);
  }
}

TEST(ThreadCensus, ThreadsComeInTheOrderTheyStarted) {
  Census census;
  // A tid reused after a wrap is lower than its elders; the start tells.
  census.Add({{30, At("c", 500, 0, 0)},
              {7, At("d", 900, 0, 0)},
              {12, At("b", 500, 0, 0)},
              {40, At("a", 100, 0, 0)}});
  std::vector<std::string> order;
  for (const auto& thread : census.Threads()) order.push_back(thread.comm);
  EXPECT_EQ(order, (std::vector<std::string>{"a", "b", "c", "d"}));
}

std::vector<Census::Thread> Threads(const std::vector<std::pair<int, std::string>>& named) {
  std::vector<Census::Thread> threads;
  for (const auto& [tid, comm] : named) threads.push_back({.tid = tid, .comm = comm});
  return threads;
}

TEST(ThreadCensus, TheProgramsThreadsTakeTheirRolesByStartOrder) {
  const std::vector<std::string> roles = {"window", "picture timer", "worker", "sound feeder"};
  struct Case {
    std::vector<std::pair<int, std::string>> threads;
    std::vector<std::string> wanted;
  };
  const Case cases[] = {
      // Wine's threads between the program's keep their names and do not count in its order.
      {{{50, "Quorvane.scr"},
        {51, "wine_threadpool"},
        {52, "Quorvane.scr"},
        {53, "Quorvane.scr"},
        {54, "winepulse_mainl"},
        {55, "Quorvane.scr"},
        {56, "Quorvane.scr"}},
       {"window", "wine_threadpool", "picture timer", "worker", "winepulse_mainl", "sound feeder",
        "thread 5"}},
      // Named by the program: the name is the role, whatever the order.
      {{{50, "quorvane_window"}, {52, "quorvane_worker"}, {53, "Quorvane.scr"}},
       {"quorvane_window", "quorvane_worker", "picture timer"}},
  };
  for (const Case& c : cases) {
    auto assigned = AssignRoles(Threads(c.threads), 50, "Quorvane.scr", roles);
    std::vector<std::string> names;
    for (const Role& role : assigned) names.push_back(role.name);
    EXPECT_EQ(names, c.wanted);
  }
  // Without roles, as for mpv, every thread is its name.
  auto plain = AssignRoles(Threads({{9, "mpv"}, {10, "mpv/vo"}}), 9, "mpv", {});
  ASSERT_EQ(plain.size(), 2u);
  EXPECT_EQ(plain[0].name, "mpv");
  EXPECT_EQ(plain[1].name, "mpv/vo");
  EXPECT_FALSE(plain[1].wines);
}

TEST(ThreadCensus, FiguresAreSummedByRoleAndByWhoseThreads) {
  std::vector<Census::Thread> threads = {
      {.tid = 1, .comm = "Quorvane.scr", .switches = 100, .run_ns = 50'000'000},
      {.tid = 2, .comm = "winepulse_timer", .switches = 1000, .run_ns = 20'000'000},
      // a sound feeder for each of two clips
      {.tid = 3, .comm = "Quorvane.scr", .switches = 300, .run_ns = 10'000'000},
      {.tid = 4, .comm = "Quorvane.scr", .switches = 200, .run_ns = 10'000'000}};
  std::vector<Role> roles = {{"window", false},
                             {"winepulse_timer", true},
                             {"sound feeder", false},
                             {"sound feeder", false}};
  Summary summary = Summarise(threads, roles, 10.0);
  ASSERT_EQ(summary.roles.size(), 3u);
  EXPECT_EQ(summary.roles[2].first.name, "sound feeder");
  EXPECT_DOUBLE_EQ(summary.roles[2].second.wakeups_per_second, 50.0);
  EXPECT_DOUBLE_EQ(summary.roles[2].second.core_percent, 0.2);
  EXPECT_DOUBLE_EQ(summary.program.wakeups_per_second, 60.0);
  EXPECT_DOUBLE_EQ(summary.program.core_percent, 0.7);
  EXPECT_DOUBLE_EQ(summary.wine.wakeups_per_second, 100.0);
  EXPECT_DOUBLE_EQ(summary.all.wakeups_per_second, 160.0);
  EXPECT_DOUBLE_EQ(summary.all.core_percent, 0.9);
  EXPECT_DOUBLE_EQ(RatesOf(5, 0, 0).wakeups_per_second, 0.0);
}

}  // namespace
}  // namespace quorvane::wakeups
