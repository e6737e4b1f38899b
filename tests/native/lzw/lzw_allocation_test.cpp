#include <gtest/gtest.h>

#include <vector>

#include "common/heap.h"
#include "lzw/lzw.h"
#include "lzw_test_support.h"

namespace vidod {
namespace {

using lzwtest::Bytes;
using lzwtest::kReset;
using lzwtest::ParseCodes;
using lzwtest::RunDecode;
using lzwtest::RunEncode;
using lzwtest::RunOutcome;
using lzwtest::TextBytes;

int g_alerts = 0;
void CountAlert() { ++g_alerts; }

struct AlertScope {
  AlertScope() {
    g_alerts = 0;
    SetLzwMemoryAlert(&CountAlert);
  }
  ~AlertScope() {
    SetLzwMemoryAlert(nullptr);
    SetAllocationFailureAfter(-1);
  }
};

using Runner = RunOutcome (*)(const std::vector<uint8_t>&);

// Fails allocation number k for k = first, first + 1, ... until a run
// succeeds; every failed run ends with -4 and holds nothing afterwards. The
// memory alert belongs to the output buffer alone: the run whose output
// buffer failed leaves the out-parameters untouched.
void FailEachAllocation(Runner run, const std::vector<uint8_t>& input,
                        const std::vector<uint8_t>& expected, long first) {
  AlertScope alerts;
  const long live = LiveAllocationCount();
  int alertedRuns = 0;
  for (long k = first;; ++k) {
    SetAllocationFailureAfter(k);
    const int alertsBefore = g_alerts;
    const RunOutcome outcome = run(input);
    SetAllocationFailureAfter(-1);
    ASSERT_EQ(LiveAllocationCount(), live) << "allocation " << k;
    if (outcome.result == kLzwOk) {
      EXPECT_EQ(outcome.bytes, expected);
      EXPECT_GT(k, first);
      break;
    }
    ASSERT_EQ(outcome.result, kLzwNoMemory) << "allocation " << k;
    if (g_alerts != alertsBefore) {
      ++alertedRuns;
      EXPECT_FALSE(outcome.outputSet) << "allocation " << k;
    }
    ASSERT_LT(k, 100000) << "no run succeeded";
  }
  EXPECT_EQ(alertedRuns, first == 0 ? 1 : 0);
}

TEST(LzwAllocationTest, DecoderFailsCleanlyAtEveryAllocation) {
  const auto text = TextBytes(600, 8);
  const auto packed = RunEncode(text);
  ASSERT_EQ(packed.result, kLzwOk);
  FailEachAllocation(&RunDecode, packed.bytes, text, 0);
}

TEST(LzwAllocationTest, EncoderFailsCleanlyAtEveryAllocation) {
  const auto text = TextBytes(600, 8);
  const auto packed = RunEncode(text);
  FailEachAllocation(&RunEncode, text, packed.bytes, 0);
}

bool HasReset(const std::vector<uint8_t>& packed) {
  const auto stream = ParseCodes(packed);
  for (std::size_t i = 1; i < stream.codes.size(); ++i) {
    if (stream.codes[i].code == kReset) return true;
  }
  return false;
}

TEST(LzwAllocationTest, FailuresAroundAResetAreClean) {
  // The shortest text whose encoding resets, plus a few words: its last
  // allocations are the string re-entered under 259 and the lookup lists
  // made anew, and the decoder's last ones follow its reset too.
  const auto text = TextBytes(kLzwMaxInput, 21);
  std::size_t low = 1, high = text.size();
  while (low < high) {
    const std::size_t mid = (low + high) / 2;
    if (HasReset(RunEncode({text.begin(), text.begin() + mid}).bytes)) {
      high = mid;
    } else {
      low = mid + 1;
    }
  }
  ASSERT_LT(low, text.size());
  constexpr std::size_t kBytesAfterReset = 40;
  const std::vector<uint8_t> input(text.begin(), text.begin() + low + kBytesAfterReset);

  const long before = AllocationAttemptCount();
  const auto packed = RunEncode(input);
  const long total = AllocationAttemptCount() - before;
  ASSERT_EQ(packed.result, kLzwOk);
  // Each byte after the reset adds at most one string and one list, and the
  // reset itself two more: this tail reaches back to before the reset.
  constexpr long kTail = 2 * kBytesAfterReset + 10;
  FailEachAllocation(&RunEncode, input, packed.bytes, total - kTail);

  const long decodeBefore = AllocationAttemptCount();
  RunDecode(packed.bytes);
  const long decodeTotal = AllocationAttemptCount() - decodeBefore;
  FailEachAllocation(&RunDecode, packed.bytes, input, decodeTotal - kTail);
}

TEST(LzwAllocationTest, AlertDefaultsToNothing) {
  SetAllocationFailureAfter(0);
  const auto outcome = RunEncode(Bytes("ABABABA"));
  SetAllocationFailureAfter(-1);
  EXPECT_EQ(outcome.result, kLzwNoMemory);
  EXPECT_FALSE(outcome.outputSet);
}

}  // namespace
}  // namespace vidod
