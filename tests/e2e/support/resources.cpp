#include "support/resources.h"
// psapi.h and winternl.h need windows.h first.
#include <psapi.h>
#include <winternl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
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

// Fills `buffer` with one of the system's lists, growing it as asked; false if it will not answer.
bool QuerySystemList(int list_class, std::vector<unsigned char>& buffer) {
  if (buffer.empty()) buffer.resize(1 << 16);
  for (;;) {
    ULONG needed = 0;
    NTSTATUS status =
        NtQuerySystemInformation(static_cast<SYSTEM_INFORMATION_CLASS>(list_class), buffer.data(),
                                 static_cast<ULONG>(buffer.size()), &needed);
    if (status == 0) return true;
    constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);
    if (status != kInfoLengthMismatch || buffer.size() >= (64u << 20)) return false;
    buffer.resize(std::max<size_t>(buffer.size() * 2, needed));
  }
}

// One entry of the system's extended handle list (the same layout on Windows and Wine).
struct HandleEntry {
  void* object;
  ULONG_PTR process;
  ULONG_PTR handle;
  ULONG access;
  USHORT back_trace;
  USHORT type;
  ULONG attributes;
  ULONG reserved;
};

// The handles the process has open, counted one by one in the system's handle list. Wine
// answers GetProcessHandleCount with 0 and gives as HandleCount in its process list the size of
// the handle table, which doubles when a moment's peak passes it and so looks like a leak.
double HandlesOf(HANDLE process) {
  constexpr int kExtendedHandleList = 64;
  std::vector<unsigned char> list;
  if (!QuerySystemList(kExtendedHandleList, list)) return 0;
  ULONG_PTR count = 0;
  std::memcpy(&count, list.data(), sizeof count);
  size_t header = 2 * sizeof(ULONG_PTR);
  count = std::min<ULONG_PTR>(count, (list.size() - header) / sizeof(HandleEntry));
  auto id = static_cast<ULONG_PTR>(GetProcessId(process));
  double open = 0;
  for (ULONG_PTR i = 0; i < count; ++i) {
    HandleEntry entry;
    std::memcpy(&entry, list.data() + header + i * sizeof entry, sizeof entry);
    if (entry.process == id) ++open;
  }
  return open;
}

double ThreadsOf(HANDLE process) {
  std::vector<unsigned char> list;
  if (!QuerySystemList(SystemProcessInformation, list)) return 0;
  auto id = static_cast<ULONG_PTR>(GetProcessId(process));
  for (size_t at = 0;;) {
    const auto* entry = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(list.data() + at);
    if (reinterpret_cast<ULONG_PTR>(entry->UniqueProcessId) == id) {
      return static_cast<double>(entry->NumberOfThreads);
    }
    if (entry->NextEntryOffset == 0) return 0;
    at += entry->NextEntryOffset;
  }
}

// One entry of the GDI handle table Wine keeps in each process (the layout Windows gives it).
struct GdiEntry {
  UINT64 object;
  USHORT owner_process;
  USHORT owner_count;
  USHORT unique;
  UCHAR type;  // 0: free
  UCHAR flags;
  UINT64 user;
};
static_assert(sizeof(GdiEntry) == 24);

// Wine answers GetGuiResources with 0; its GDI objects are the entries in use in the table its
// process environment block points to.
double GdiObjectsOf(HANDLE process) {
  if (DWORD count = GetGuiResources(process, GR_GDIOBJECTS)) return count;
#ifdef _WIN64
  constexpr size_t kTableField = 0xF8;  // GdiSharedHandleTable in a 64-bit PEB
  constexpr size_t kLargestTable = 0x10000;
  PROCESS_BASIC_INFORMATION basic{};
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) !=
      0) {
    return 0;
  }
  UINT64 table = 0;
  if (!ReadProcessMemory(process, reinterpret_cast<char*>(basic.PebBaseAddress) + kTableField,
                         &table, sizeof table, nullptr) ||
      table == 0) {
    return 0;
  }
  auto* start = reinterpret_cast<char*>(static_cast<ULONG_PTR>(table));
  MEMORY_BASIC_INFORMATION region{};
  if (!VirtualQueryEx(process, start, &region, sizeof region)) return 0;
  size_t bytes =
      static_cast<size_t>(static_cast<char*>(region.BaseAddress) + region.RegionSize - start);
  std::vector<GdiEntry> entries(std::min(bytes / sizeof(GdiEntry), kLargestTable));
  if (!ReadProcessMemory(process, start, entries.data(), entries.size() * sizeof(GdiEntry),
                         nullptr)) {
    return 0;
  }
  return static_cast<double>(
      std::count_if(entries.begin(), entries.end(), [](const GdiEntry& e) { return e.type != 0; }));
#else
  return 0;
#endif
}

struct WindowTally {
  DWORD process;
  int windows;
};

BOOL CALLBACK CountChildWindow(HWND, LPARAM data) {
  ++reinterpret_cast<WindowTally*>(data)->windows;
  return TRUE;
}

BOOL CALLBACK CountTopWindow(HWND window, LPARAM data) {
  auto* tally = reinterpret_cast<WindowTally*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == tally->process) {
    ++tally->windows;
    EnumChildWindows(window, CountChildWindow, data);
  }
  return TRUE;
}

// Where GetGuiResources gives 0 (Wine), the process's windows, its commonest USER objects.
double UserObjectsOf(HANDLE process) {
  if (DWORD count = GetGuiResources(process, GR_USEROBJECTS)) return count;
  WindowTally tally{GetProcessId(process), 0};
  EnumWindows(CountTopWindow, reinterpret_cast<LPARAM>(&tally));
  return tally.windows;
}

}  // namespace

ResourceSample SampleResources(HANDLE process, double at) {
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(process, &memory, sizeof memory);
  return ResourceSample{at,
                        static_cast<double>(memory.WorkingSetSize) / (1 << 20),
                        ThreadsOf(process),
                        HandlesOf(process),
                        GdiObjectsOf(process),
                        UserObjectsOf(process)};
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
