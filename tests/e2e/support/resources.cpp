#include "support/resources.h"
// psapi.h and tlhelp32.h need windows.h first.
#include <psapi.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

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

double ThreadsOf(HANDLE process) {
  DWORD id = GetProcessId(process);
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID == id) ++count;
  }
  CloseHandle(snapshot);
  return count;
}

}  // namespace

ResourceSample SampleResources(HANDLE process, double at) {
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(process, &memory, sizeof memory);
  DWORD handles = 0;
  GetProcessHandleCount(process, &handles);
  return ResourceSample{at,
                        static_cast<double>(memory.WorkingSetSize) / (1 << 20),
                        ThreadsOf(process),
                        static_cast<double>(handles),
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
