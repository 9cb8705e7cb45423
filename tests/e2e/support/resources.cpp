#include "support/resources.h"
// psapi.h and winternl.h need windows.h first.
#include <psapi.h>
#include <winternl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace quorvane::e2e {
namespace {

double Peak(const std::vector<ResourceSample>& samples, double from, double to,
            double ResourceSample::*field) {
  double peak = 0;
  for (const ResourceSample& s : samples) {
    if (s.at >= from && s.at < to) peak = std::max(peak, s.*field);
  }
  return peak;
}

struct Counts {
  double threads = 0;
  double handles = 0;
};

// From the system's process list: Wine answers GetProcessHandleCount with 0 for every process,
// but reports here the size of the process's handle table, which doubles as handles pile up.
Counts CountsOf(HANDLE process) {
  auto id = static_cast<ULONG_PTR>(GetProcessId(process));
  std::vector<unsigned char> list(1 << 16);
  for (;;) {
    ULONG needed = 0;
    NTSTATUS status = NtQuerySystemInformation(SystemProcessInformation, list.data(),
                                               static_cast<ULONG>(list.size()), &needed);
    if (status == 0) break;
    if (list.size() >= (64u << 20)) return {};
    list.resize(std::max<size_t>(list.size() * 2, needed));
  }
  for (size_t at = 0;;) {
    const auto* entry = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(list.data() + at);
    if (reinterpret_cast<ULONG_PTR>(entry->UniqueProcessId) == id) {
      return Counts{static_cast<double>(entry->NumberOfThreads),
                    static_cast<double>(entry->HandleCount)};
    }
    if (entry->NextEntryOffset == 0) return {};
    at += entry->NextEntryOffset;
  }
}

}  // namespace

ResourceSample SampleResources(HANDLE process, double at) {
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(process, &memory, sizeof memory);
  Counts counts = CountsOf(process);
  return ResourceSample{at,
                        static_cast<double>(memory.WorkingSetSize) / (1 << 20),
                        counts.threads,
                        counts.handles,
                        static_cast<double>(GetGuiResources(process, GR_GDIOBJECTS)),
                        static_cast<double>(GetGuiResources(process, GR_USEROBJECTS))};
}

void ExpectLevelsOff(const std::vector<ResourceSample>& samples, double early_from,
                     double late_from) {
  struct Figure {
    const char* name;
    double ResourceSample::*field;
    double slack;
  } figures[] = {{"working set (MB)", &ResourceSample::memory_mb, 8},
                 {"threads", &ResourceSample::threads, 2},
                 {"handles", &ResourceSample::handles, 16},
                 {"GDI objects", &ResourceSample::gdi, 16},
                 {"USER objects", &ResourceSample::user, 16}};
  double end = samples.empty() ? 0 : samples.back().at + 1;
  for (const Figure& f : figures) {
    double early = Peak(samples, early_from, late_from, f.field);
    double late = Peak(samples, late_from, end, f.field);
    std::printf("%s: peak %.1f early, %.1f late\n", f.name, early, late);
    if (early == 0 && late == 0) {
      std::printf("  (%s are not reported by this system)\n", f.name);
      continue;
    }
    EXPECT_LE(late, early + f.slack) << f.name << " keep growing";
  }
}

}  // namespace quorvane::e2e
