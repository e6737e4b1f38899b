#include "fuzz/fuzz_support.h"

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

#include "common/heap.h"

namespace vidod {
namespace fuzz {

namespace {
constexpr uint32_t kFnvOffset = 2166136261u;
constexpr uint32_t kFnvPrime = 16777619u;
constexpr std::size_t kLengthPrefixSize = 2;
constexpr std::size_t kMaxPrefixedLength = 0xFFFF;
}  // namespace

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

void CheckNoLeak(long liveBefore, const char* where) {
  const long live = LiveAllocationCount();
  if (live == liveBefore) return;
  std::fprintf(stderr, "fuzz check failed: %ld allocation(s) still held after %s\n",
               live - liveBefore, where);
  std::abort();
}

void CheckPeakMemory(std::size_t megabytes, const char* what) {
  constexpr long kKilobytesPerMegabyte = 1024;
  rusage usage = {};
  getrusage(RUSAGE_SELF, &usage);  // the peak resident size, in kilobytes on Linux
  const long peak = usage.ru_maxrss / kKilobytesPerMegabyte;
  if (peak <= static_cast<long>(megabytes)) return;
  std::fprintf(stderr, "fuzz check failed: %s (%ld MB held at the peak, %zu allowed)\n", what, peak, megabytes);
  std::abort();
}

uint32_t InputHash(const uint8_t* data, std::size_t size) {
  uint32_t hash = kFnvOffset;
  for (std::size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * kFnvPrime;
  return hash;
}

SplitInput SplitAtLengthPrefix(const uint8_t* data, std::size_t size) {
  SplitInput parts;
  if (size < kLengthPrefixSize) return parts;
  std::size_t firstLength = (std::size_t{data[0]} << 8) | data[1];
  const std::size_t rest = size - kLengthPrefixSize;
  if (firstLength > rest) firstLength = rest;
  const uint8_t* first = data + kLengthPrefixSize;
  parts.first.assign(first, first + firstLength);
  parts.second.assign(first + firstLength, data + size);
  return parts;
}

std::vector<uint8_t> JoinWithLengthPrefix(const std::vector<uint8_t>& first,
                                          const std::vector<uint8_t>& second) {
  Check(first.size() <= kMaxPrefixedLength, "first part fits the 16-bit length prefix");
  const std::size_t length = first.size();
  std::vector<uint8_t> joined = {static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)};
  joined.insert(joined.end(), first.begin(), first.end());
  joined.insert(joined.end(), second.begin(), second.end());
  return joined;
}

}  // namespace fuzz
}  // namespace vidod
