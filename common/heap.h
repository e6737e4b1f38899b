// Heap allocation used by the codecs and the PNG decoder. Every allocation of
// those decoders goes through here, so that tests can make any one of them fail
// and count what is still held.
#pragma once

#include <cstddef>

namespace vidod {

// Returns nullptr on exhaustion (or on an injected failure). Never throws.
void* HeapAllocate(std::size_t size);
// Accepts nullptr.
void HeapRelease(void* block);

// Test seam. After SetAllocationFailureAfter(n), the next n allocations
// succeed and the one after them fails; a negative n turns injection off.
void SetAllocationFailureAfter(long successes);
// Allocations handed out and not yet released, over the whole process.
long LiveAllocationCount();
// Allocations attempted since the process started (failed ones included).
long AllocationAttemptCount();

}  // namespace vidod
