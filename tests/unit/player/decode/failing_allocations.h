// Allocations that fail on purpose, for the tests that try every point where memory can run
// out: while a thread has armed it, its Nth allocation fails, whether ours (operator new throws
// std::bad_alloc) or FFmpeg's (av_malloc, av_mallocz and av_realloc give null: the test program
// is linked so that FFmpeg's calls go through wrappers that count them).
#pragma once

#include <cstdint>

namespace quorvane::player::testing {

// Counts this thread's allocations from now on, failing the fail_at'th (none when 0 or less).
void ArmAllocations(int64_t fail_at);
// Whether the allocation to fail has been made (and failed).
bool AllocationFailed();
// How many allocations were counted since it was armed.
int64_t AllocationsSoFar();
// Stops counting; returns how many allocations were counted.
int64_t DisarmAllocations();

}  // namespace quorvane::player::testing
