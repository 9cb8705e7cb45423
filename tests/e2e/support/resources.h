// What a long-running program under test holds, sampled from outside: its working set, its
// threads, its handle count and its GDI and USER object counts, and the check that none of
// them keeps growing. Where the system does not report them (Wine answers GetGuiResources and
// GetProcessHandleCount with 0), they are read another way: the process's entries in the system's
// handle list, the GDI table's entries in use, and the process's windows for USER
// objects. A figure the system gives as 0 all along is noted, not asserted on.
#pragma once

#include <windows.h>

#include <vector>

namespace quorvane::e2e {

struct ResourceSample {
  double at;  // when it was taken, in whatever unit the run counts (seconds, previews...)
  double memory_mb;
  double threads;
  double handles;
  double gdi;
  double user;
};

ResourceSample SampleResources(HANDLE process, double at);

// Fails the test when, for any figure, the peak of the samples from late_from on exceeds the
// peak of those from early_from to late_from by more than its slack (8 MB of memory, 2
// threads, 16 handles or objects). Prints both peaks.
void ExpectLevelsOff(const std::vector<ResourceSample>& samples, double early_from,
                     double late_from);

}  // namespace quorvane::e2e
