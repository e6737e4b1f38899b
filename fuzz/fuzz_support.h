// Shared by the fuzz targets: a check that stops the run with a message (a
// crash is what libFuzzer records), the leak check over the codecs' heap
// seam, and the way the targets cut one input into two parts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vidod {
namespace fuzz {

// Prints what failed and aborts, so that the input is kept as a crash.
void Check(bool condition, const char* what);

// Given to SetAllocationFailureAfter (common/heap.h): no allocation fails.
constexpr long kNoAllocationFailure = -1;

// Aborts unless the heap seam holds as many allocations as it did when a
// target took LiveAllocationCount() before the input.
void CheckNoLeak(long liveBefore, const char* where);

// Aborts when the process has ever held more than megabytes of memory: a
// reader that copies without bound is caught on the input that made it, at
// once, where libFuzzer's own limit samples the memory once a second.
void CheckPeakMemory(std::size_t megabytes, const char* what);

// A stable hash of the input (FNV-1a), used to pick which allocation an
// injected failure hits, so that a crash replays the same way.
uint32_t InputHash(const uint8_t* data, std::size_t size);

// Two parts of one input: a big-endian 16-bit length, then that many bytes
// (cut to what is there) for the first part, the rest for the second. Each
// part gets its own exactly sized block, so that reading past the end of
// either is caught instead of landing in its neighbour.
struct SplitInput {
  std::vector<uint8_t> first;
  std::vector<uint8_t> second;
};
SplitInput SplitAtLengthPrefix(const uint8_t* data, std::size_t size);
// The inverse, for writing seeds; the first part must fit the 16-bit prefix.
std::vector<uint8_t> JoinWithLengthPrefix(const std::vector<uint8_t>& first,
                                          const std::vector<uint8_t>& second);

}  // namespace fuzz
}  // namespace vidod
