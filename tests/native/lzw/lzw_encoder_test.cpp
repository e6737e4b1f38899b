#include <gtest/gtest.h>

#include <vector>

#include "lzw/lzw.h"
#include "lzw_test_support.h"

namespace vidod {
namespace {

using lzwtest::Bytes;
using lzwtest::kEnd;
using lzwtest::kReset;
using lzwtest::kWiden;
using lzwtest::ParseCodes;
using lzwtest::RandomBytes;
using lzwtest::RunDecode;
using lzwtest::RunEncode;

constexpr uint32_t kCodesPerDictionary = 4096 - 259;

TEST(LzwEncoderTest, EncodesKnownInputs) {
  const auto ababa = RunEncode(Bytes("ABABABA"));
  EXPECT_EQ(ababa.result, kLzwOk);
  EXPECT_EQ(ababa.reported, 7u);
  EXPECT_EQ(ababa.bytes, (std::vector<uint8_t>{0x20, 0x90, 0xA0, 0x70, 0x58, 0x00}));

  // X as its 9-bit literal, then the 9-bit end code, padded to three bytes.
  const auto single = RunEncode(Bytes("X"));
  EXPECT_EQ(single.result, kLzwOk);
  EXPECT_EQ(single.reported, 4u);
  EXPECT_EQ(single.bytes, (std::vector<uint8_t>{0x2C, 0x40, 0x00}));

  const auto zero = RunEncode({0x00});
  EXPECT_EQ(zero.bytes, (std::vector<uint8_t>{0x00, 0x40, 0x00}));
}

// Walks a packed stream as the decoder's dictionary would grow and checks the
// encoder's own rules: a 258 exactly when its next free code reached 4096,
// 257 only for a code that needs the wider width, codes never wider than 12
// bits, nothing above the decoder's next free code.
struct StreamShape {
  int resets = 0;
  int widenings = 0;
  bool rulesKept = true;
};

StreamShape CheckStreamShape(const std::vector<uint8_t>& packed) {
  StreamShape shape;
  const auto stream = ParseCodes(packed);
  EXPECT_TRUE(stream.complete);
  uint32_t stringCodes = 1;  // the first code is the first string written
  bool widened = false;
  for (std::size_t i = 1; i < stream.codes.size(); ++i) {
    const auto [code, width] = stream.codes[i];
    if (width > 12) shape.rulesKept = false;
    if (code == kWiden) {
      ++shape.widenings;
      widened = true;
      continue;
    }
    if (code == kReset) {
      ++shape.resets;
      if (stringCodes != kCodesPerDictionary) shape.rulesKept = false;
      // The encoder re-enters its last work string under 259 at once; the
      // decoder defines 259 with the next code: both count one code ahead.
      stringCodes = 1;
      widened = false;
      continue;
    }
    if (code == kEnd) break;
    if (widened && (code >> (width - 1)) == 0) shape.rulesKept = false;
    widened = false;
    // The decoder has defined one slot per string code but the first.
    const uint32_t decoderNext = 259 + stringCodes - 1;
    if (code > decoderNext) shape.rulesKept = false;
    if (stringCodes == kCodesPerDictionary) shape.rulesKept = false;  // 258 missing
    ++stringCodes;
  }
  return shape;
}

TEST(LzwEncoderTest, ResetsRightAfterTheDictionaryFills) {
  // Random bytes add a string for nearly every byte: 20000 of them fill the
  // dictionary several times, yet pack into less than 32768 bytes.
  const auto input = RandomBytes(20000, 7);
  const auto packed = RunEncode(input);
  ASSERT_EQ(packed.result, kLzwOk);
  const StreamShape shape = CheckStreamShape(packed.bytes);
  EXPECT_GE(shape.resets, 3);
  EXPECT_GE(shape.widenings, 3 * shape.resets);
  EXPECT_TRUE(shape.rulesKept);

  const auto decoded = RunDecode(packed.bytes);
  EXPECT_EQ(decoded.result, kLzwOk);
  EXPECT_EQ(decoded.bytes, input);
}

TEST(LzwEncoderTest, ResetAtTheVeryEndOfTheInput) {
  // Find the shortest input whose last byte triggers the reset, so that the
  // string re-entered under 259 is never used and only 256 follows.
  const auto input = RandomBytes(8000, 11);
  std::size_t low = 1, high = input.size();
  while (low < high) {
    const std::size_t mid = (low + high) / 2;
    const auto packed = RunEncode({input.begin(), input.begin() + mid});
    if (CheckStreamShape(packed.bytes).resets > 0) {
      high = mid;
    } else {
      low = mid + 1;
    }
  }
  for (std::size_t size : {low, low + 1}) {
    const std::vector<uint8_t> part(input.begin(), input.begin() + size);
    const auto packed = RunEncode(part);
    ASSERT_EQ(packed.result, kLzwOk);
    EXPECT_TRUE(CheckStreamShape(packed.bytes).rulesKept);
    const auto decoded = RunDecode(packed.bytes);
    EXPECT_EQ(decoded.result, kLzwOk) << size;
    EXPECT_EQ(decoded.bytes, part) << size;
  }
}

TEST(LzwEncoderTest, RandomBytesGrowByAboutAThird) {
  const auto input = RandomBytes(4000, 3);
  const auto packed = RunEncode(input);
  ASSERT_EQ(packed.result, kLzwOk);
  EXPECT_GT(packed.bytes.size(), input.size() * 5 / 4);
  EXPECT_LT(packed.bytes.size(), input.size() * 3 / 2);
}

TEST(LzwEncoderTest, PackedFormFillsTheOutputBufferToTheLastByte) {
  // One more input byte adds at most a code with its 257 and a 258: a few
  // bytes. Find the longest input that still fits.
  const auto input = RandomBytes(30000, 5);
  std::size_t low = 1, high = input.size();
  while (low + 1 < high) {
    const std::size_t mid = (low + high) / 2;
    const auto packed = RunEncode({input.begin(), input.begin() + mid});
    (packed.result == kLzwOk ? low : high) = mid;
  }
  const std::vector<uint8_t> fits(input.begin(), input.begin() + low);
  const auto packed = RunEncode(fits);
  ASSERT_EQ(packed.result, kLzwOk);
  EXPECT_GE(packed.bytes.size(), kLzwPackedCapacity - 5);
  EXPECT_LE(packed.bytes.size(), kLzwPackedCapacity);
  EXPECT_EQ(RunDecode(packed.bytes).bytes, fits);

  const std::vector<uint8_t> over(input.begin(), input.begin() + low + 1);
  const auto refused = RunEncode(over);
  EXPECT_EQ(refused.result, kLzwBadWrite);
  EXPECT_EQ(refused.reported, kLzwPackedCapacity + 1);
}

TEST(LzwEncoderTest, OverflowKeepsADecodablePrefix) {
  const auto input = RandomBytes(kLzwMaxInput, 9);
  const auto packed = RunEncode(input);
  EXPECT_EQ(packed.result, kLzwBadWrite);
  ASSERT_EQ(packed.reported, kLzwPackedCapacity + 1);
  // Without its end code the stream is damaged, but every byte decoded from
  // it is the input's.
  const auto decoded = RunDecode(packed.bytes);
  EXPECT_EQ(decoded.result, kLzwBadStream);
  EXPECT_GT(decoded.bytes.size(), kLzwPackedCapacity / 2);
  EXPECT_EQ(decoded.bytes, std::vector<uint8_t>(input.begin(), input.begin() + decoded.bytes.size()));
}

TEST(LzwEncoderTest, RefusesInputsOutsideTheLimits) {
  struct RefusedCase {
    std::vector<uint8_t> input;
    int32_t result;
  };
  const RefusedCase cases[] = {
      // empty input
      {{}, kLzwShortInput},
      // 65536 bytes: positions are 16 bits
      {std::vector<uint8_t>(kLzwMaxInput + 1, 'A'), kLzwBadWrite},
      // 65537 bytes would otherwise be taken as one
      {std::vector<uint8_t>(kLzwMaxInput + 2, 'A'), kLzwBadWrite},
  };
  for (std::size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    const auto outcome = RunEncode(cases[i].input);
    EXPECT_EQ(outcome.result, cases[i].result) << "case " << i;
    EXPECT_TRUE(outcome.outputSet) << "case " << i;
    EXPECT_EQ(outcome.reported, 1u) << "case " << i;
  }
}

}  // namespace
}  // namespace vidod
