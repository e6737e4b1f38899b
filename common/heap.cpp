#include "heap.h"

#include <atomic>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#endif

namespace vidod {
namespace {

// Atomic: the authoring tools decode pictures on several threads at once.
// Failures are injected by single-threaded tests only.
std::atomic<long> g_failAfter{-1};
std::atomic<long> g_live{0};
std::atomic<long> g_attempts{0};

}  // namespace

void* HeapAllocate(std::size_t size) {
  ++g_attempts;
  if (g_failAfter == 0) {
    g_failAfter = -1;
    return nullptr;
  }
  if (g_failAfter > 0) --g_failAfter;
#ifdef _WIN32
  // The decoders take their memory from the process heap, not the C runtime.
  void* block = ::HeapAlloc(::GetProcessHeap(), 0, size == 0 ? 1 : size);
#else
  void* block = std::malloc(size == 0 ? 1 : size);
#endif
  if (block) ++g_live;
  return block;
}

void HeapRelease(void* block) {
  if (!block) return;
  --g_live;
#ifdef _WIN32
  ::HeapFree(::GetProcessHeap(), 0, block);
#else
  std::free(block);
#endif
}

void SetAllocationFailureAfter(long successes) { g_failAfter = successes < 0 ? -1 : successes; }
long LiveAllocationCount() { return g_live; }
long AllocationAttemptCount() { return g_attempts; }

}  // namespace vidod
