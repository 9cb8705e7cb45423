// Whether this Windows keeps a program's threads apart: each of a few threads, running at once,
// checks again and again, across calls into the system, that it is still itself (its thread id,
// and its own value in a thread-local slot: both read from its thread environment block). Windows
// and Wine always do. QEMU's user-mode emulator running the 32-bit Wine does not: it keeps one
// table of thread-local segments for the whole process, so a thread that starts moves the others'
// segment onto its own block, and they then act as that thread (they take its messages, its locks,
// its thread-local data) until the program crashes. scripts/test runs this before the 32-bit
// product's emulated smoke test: where it fails, the emulator cannot run any program that starts
// threads, the product included.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <vector>

namespace {

constexpr int kThreads = 8;
constexpr int kChecks = 2000;

std::atomic<long> checks{0}, strangers{0};
DWORD slot = TLS_OUT_OF_INDEXES;

DWORD WINAPI CheckMyself(void*) {
  DWORD id = GetCurrentThreadId();
  int mine = 0;
  TlsSetValue(slot, &mine);
  for (int i = 0; i < kChecks; ++i) {
    Sleep(0);  // into the system and back
    ++checks;
    if (GetCurrentThreadId() != id || TlsGetValue(slot) != &mine) ++strangers;
  }
  return 0;
}

}  // namespace

int main() {
  slot = TlsAlloc();
  if (slot == TLS_OUT_OF_INDEXES) return 1;
  std::vector<HANDLE> threads;
  for (int i = 0; i < kThreads; ++i) {
    HANDLE thread = CreateThread(nullptr, 0, CheckMyself, nullptr, 0, nullptr);
    if (!thread) {
      std::printf("a thread could not be started\n");
      return 1;
    }
    threads.push_back(thread);
  }
  WaitForMultipleObjects(kThreads, threads.data(), TRUE, INFINITE);
  std::printf("%d threads at once: %ld checks, %ld of them found another thread's identity\n",
              kThreads, checks.load(), strangers.load());
  return strangers == 0 && checks == kThreads * kChecks ? 0 : 1;
}
