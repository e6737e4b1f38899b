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
using lzwtest::PackCodes;
using lzwtest::RunDecode;

constexpr uint32_t kA = 'A';
constexpr uint32_t kB = 'B';
constexpr uint32_t kC = 'C';
constexpr uint32_t kWidthsTo32 = 32 - 9;

std::vector<uint32_t> WidenTo32(std::vector<uint32_t> codes) {
  codes.insert(codes.end(), kWidthsTo32, kWiden);
  return codes;
}

// A, then codes 259, 260, ... each defining itself (the string one longer
// than the last), then enough literal B codes to reach exactly `total` bytes.
std::vector<uint32_t> GrowingStream(uint32_t total) {
  std::vector<uint32_t> codes = {kA};
  uint32_t width = 9;
  uint32_t written = 0;
  uint32_t currentLength = 1;
  uint32_t next = 259;
  auto add = [&](uint32_t code) {
    while ((code >> width) != 0) {
      codes.push_back(kWiden);
      ++width;
    }
    codes.push_back(code);
  };
  while (written + currentLength + (currentLength + 1) <= total - 1) {
    add(next);
    written += currentLength;
    ++currentLength;
    ++next;
  }
  while (written + currentLength < total) {
    add(kB);
    written += currentLength;
    currentLength = 1;
  }
  add(kEnd);
  return codes;
}

TEST(LzwDecoderTest, DecodesTheCodeBeingDefined) {
  const auto outcome = RunDecode({0x20, 0x90, 0xA0, 0x70, 0x58, 0x00});
  EXPECT_EQ(outcome.result, kLzwOk);
  EXPECT_EQ(outcome.reported, 9u);
  EXPECT_EQ(outcome.bytes, Bytes("ABABABA"));
  EXPECT_EQ(PackCodes({kA, kB, 259, 261, kEnd}),
            (std::vector<uint8_t>{0x20, 0x90, 0xA0, 0x70, 0x58, 0x00}));
}

TEST(LzwDecoderTest, FirstCodeIsAlwaysALiteral) {
  // 256 first is the byte 0, not the end; 258 and 511 give their low 8 bits.
  for (uint32_t first : {256u, 258u, 511u}) {
    const auto outcome = RunDecode(PackCodes({first, kEnd}));
    EXPECT_EQ(outcome.result, kLzwOk) << first;
    EXPECT_EQ(outcome.bytes, std::vector<uint8_t>{static_cast<uint8_t>(first & 0xFF)}) << first;
    EXPECT_EQ(outcome.reported, 3u);
  }
}

TEST(LzwDecoderTest, WidenCodeMakesTheFollowingCodesOneBitWider) {
  const auto once = RunDecode(PackCodes({kA, kWiden, kB, 259, kEnd}));
  EXPECT_EQ(once.result, kLzwOk);
  EXPECT_EQ(once.bytes, Bytes("ABAB"));

  // Codes are read up to 32 bits wide, straddling five bytes.
  const auto at32 = RunDecode(PackCodes([] {
    auto codes = WidenTo32({kA});
    codes.insert(codes.end(), {kB, 259, 0xFFFFFFFFu});
    return codes;
  }()));
  EXPECT_EQ(at32.result, kLzwBadStream);
  EXPECT_EQ(at32.bytes, Bytes("AB"));
  auto good = WidenTo32({kA, kB});
  good.insert(good.end(), {259, kEnd});
  const auto goodOutcome = RunDecode(PackCodes(good));
  EXPECT_EQ(goodOutcome.result, kLzwOk);
  EXPECT_EQ(goodOutcome.bytes, Bytes("ABAB"));
}

TEST(LzwDecoderTest, ResetKeepsTheCurrentStringAndDefines259Anew) {
  // Before the reset 259 is AB; after it, 259 is B (the string read before
  // the reset) plus C, and 260 is C plus the first byte of 259.
  const auto outcome = RunDecode(PackCodes({kA, kB, kReset, kC, 259, 260, kEnd}));
  EXPECT_EQ(outcome.result, kLzwOk);
  EXPECT_EQ(outcome.bytes, Bytes("ABCBCCB"));

  // A reset after widening goes back to 9-bit codes.
  const auto widened = RunDecode(PackCodes({kA, kWiden, kB, kWiden, kReset, kC, 259, kEnd}));
  EXPECT_EQ(widened.result, kLzwOk);
  EXPECT_EQ(widened.bytes, Bytes("ABCBC"));
}

TEST(LzwDecoderTest, ReportsTheBytesDecodedBeforeADamage) {
  const auto outcome = RunDecode(PackCodes({kA, kB, kC, 300, kEnd}));
  EXPECT_EQ(outcome.result, kLzwBadStream);
  EXPECT_EQ(outcome.bytes, Bytes("AB"));
  EXPECT_EQ(outcome.reported, 4u);
}

TEST(LzwDecoderTest, OutputFillsExactlyToItsCapacity) {
  const auto full = RunDecode(PackCodes(GrowingStream(kLzwDecodedCapacity)));
  EXPECT_EQ(full.result, kLzwOk);
  EXPECT_EQ(full.reported, kLzwDecodedCapacity + 2);
  ASSERT_EQ(full.bytes.size(), kLzwDecodedCapacity);
  EXPECT_EQ(full.bytes.back(), 'B');

  // One byte more does not fit: the run stops with what was decoded so far.
  const auto over = RunDecode(PackCodes(GrowingStream(kLzwDecodedCapacity + 1)));
  EXPECT_EQ(over.result, kLzwBadStream);
  EXPECT_LE(over.bytes.size(), kLzwDecodedCapacity);
  EXPECT_EQ(std::vector<uint8_t>(over.bytes.begin(), over.bytes.begin() + 1000),
            std::vector<uint8_t>(full.bytes.begin(), full.bytes.begin() + 1000));
}

TEST(LzwDecoderTest, DictionaryHoldsAtMost4096Slots) {
  // Each literal after the first fills one slot: 3837 of them take the next
  // free code to 4096.
  constexpr uint32_t kSlotsToFill = 4096 - 259;
  std::vector<uint32_t> codes(1 + kSlotsToFill, kA);
  codes.push_back(kEnd);
  const auto full = RunDecode(PackCodes(codes));
  EXPECT_EQ(full.result, kLzwOk);
  EXPECT_EQ(full.bytes.size(), kSlotsToFill + 1);

  codes.back() = kA;
  codes.push_back(kEnd);
  const auto over = RunDecode(PackCodes(codes));
  EXPECT_EQ(over.result, kLzwBadStream);
  EXPECT_EQ(over.bytes.size(), kSlotsToFill);

  // The code equal to the next free code would be slot 4096.
  codes.pop_back();
  codes.back() = kWiden;
  codes.insert(codes.end(), {kWiden, kWiden, kWiden, 4096, kEnd});
  EXPECT_EQ(RunDecode(PackCodes(codes)).result, kLzwBadStream);

  // With a reset in time the stream goes on.
  codes.assign(1 + kSlotsToFill, kA);
  codes.insert(codes.end(), {kReset, kB, 259, kEnd});
  const auto reset = RunDecode(PackCodes(codes));
  EXPECT_EQ(reset.result, kLzwOk);
  EXPECT_EQ(reset.bytes.size(), kSlotsToFill + 1 + 1 + 2);
  EXPECT_EQ(std::vector<uint8_t>(reset.bytes.end() - 3, reset.bytes.end()), Bytes("BAB"));
}

TEST(LzwDecoderTest, InputMayBeAsLongAs65535Bytes) {
  std::vector<uint8_t> input = PackCodes({kA, kB, 259, 261, kEnd});
  input.resize(kLzwMaxInput, 0xFF);
  const auto outcome = RunDecode(input);
  EXPECT_EQ(outcome.result, kLzwOk);
  EXPECT_EQ(outcome.bytes, Bytes("ABABABA"));
}

TEST(LzwDecoderTest, RejectsMalformedInput) {
  struct MalformedCase {
    std::vector<uint8_t> input;
    int32_t result;
    uint32_t reported;
  };
  std::vector<uint8_t> overLong = PackCodes({kA, kEnd});
  overLong.resize(kLzwMaxInput + 1);
  std::vector<uint8_t> wrapsToOne = PackCodes({kA, kEnd});
  wrapsToOne.resize(kLzwMaxInput + 2);
  std::vector<uint32_t> widthPast32 = WidenTo32({kA});
  widthPast32.insert(widthPast32.end(), {kWiden, kEnd});
  const MalformedCase cases[] = {
      // empty input
      {{}, kLzwShortInput, 2},
      // one byte: the first code needs 9 bits
      {{0x41}, kLzwShortInput, 2},
      // ends right after the first code, without the end code
      {{0x20, 0x80}, kLzwBadStream, 2},
      // ends in the middle of the third code
      {{0x20, 0x90, 0xA0}, kLzwBadStream, 3},
      // no end code after several codes: what was decoded is kept
      {PackCodes({kA, kB, 259}), kLzwBadStream, 4},
      // 300 as the second code is above the next free code 259
      {PackCodes({kA, 300, kEnd}), kLzwBadStream, 2},
      // 260 is one above the next free code
      {PackCodes({kA, 260, kEnd}), kLzwBadStream, 2},
      // after a reset 260 is above the next free code again
      {PackCodes({kA, kB, kC, kReset, 260, kEnd}), kLzwBadStream, 4},
      // the width passes 32 bits
      {PackCodes(widthPast32), kLzwBadStream, 2},
      // 65536 bytes: positions are 16 bits, the input would be read modulo 65536
      {overLong, kLzwBadStream, 2},
      // 65537 bytes would be read as a single byte
      {wrapsToOne, kLzwBadStream, 2},
  };
  for (std::size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    const auto outcome = RunDecode(cases[i].input);
    EXPECT_EQ(outcome.result, cases[i].result) << "case " << i;
    EXPECT_TRUE(outcome.outputSet) << "case " << i;
    EXPECT_EQ(outcome.reported, cases[i].reported) << "case " << i;
  }
}

}  // namespace
}  // namespace vidod
