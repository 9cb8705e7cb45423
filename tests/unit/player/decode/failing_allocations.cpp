#include "failing_allocations.h"

#include <cstddef>
#include <cstdlib>
#include <new>

namespace quorvane::player::testing {
namespace {

// The thread's own counter: the test's other threads (none in these tests, but the test
// framework's) allocate as they like.
thread_local bool armed = false;
thread_local int64_t fail_at = 0;
thread_local int64_t counted = 0;

}  // namespace

void ArmAllocations(int64_t n) {
  counted = 0;
  fail_at = n;
  armed = true;
}

int64_t AllocationsSoFar() { return counted; }

bool AllocationFailed() { return fail_at > 0 && counted >= fail_at; }

int64_t DisarmAllocations() {
  armed = false;
  return counted;
}

}  // namespace quorvane::player::testing

namespace {

bool FailThisAllocation() {
  using namespace quorvane::player::testing;
  if (!armed) return false;
  return ++counted == fail_at;
}

void* Allocate(std::size_t size) {
  if (FailThisAllocation()) throw std::bad_alloc();
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment) {
  if (FailThisAllocation()) throw std::bad_alloc();
  auto align = static_cast<std::size_t>(alignment);
  std::size_t rounded = (size + align - 1) / align * align;
  if (void* p = std::aligned_alloc(align, rounded ? rounded : align)) return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
  return AllocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
  return AllocateAligned(size, alignment);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }

// FFmpeg's allocations, routed here by the linker (--wrap).
extern "C" {
void* __real_av_malloc(std::size_t size);
void* __real_av_mallocz(std::size_t size);
void* __real_av_realloc(void* p, std::size_t size);

void* __wrap_av_malloc(std::size_t size) {
  return FailThisAllocation() ? nullptr : __real_av_malloc(size);
}
void* __wrap_av_mallocz(std::size_t size) {
  return FailThisAllocation() ? nullptr : __real_av_mallocz(size);
}
void* __wrap_av_realloc(void* p, std::size_t size) {
  return FailThisAllocation() ? nullptr : __real_av_realloc(p, size);
}
}
