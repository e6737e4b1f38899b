#include <gtest/gtest.h>

#include <vector>

#include "common/heap.h"
#include "lzw/lzw.h"
#include "lzw_test_support.h"

namespace vidod {
namespace {

using lzwtest::RandomBytes;
using lzwtest::RunDecode;
using lzwtest::RunEncode;
using lzwtest::TextBytes;

void ExpectRoundTrip(const std::vector<uint8_t>& input, const char* what) {
  const auto packed = RunEncode(input);
  ASSERT_EQ(packed.result, kLzwOk) << what << " " << input.size();
  EXPECT_EQ(packed.reported, packed.bytes.size() + 1);
  const auto decoded = RunDecode(packed.bytes);
  ASSERT_EQ(decoded.result, kLzwOk) << what << " " << input.size();
  EXPECT_EQ(decoded.reported, input.size() + 2);
  EXPECT_TRUE(decoded.bytes == input) << what << " " << input.size();
}

const std::size_t kSizes[] = {1, 2, 3, 7, 255, 256, 257, 511, 512, 1000, 4095, 4096,
                              4097, 6000, 12000, 20000};

TEST(LzwRoundTripTest, RandomBytesOfManySizes) {
  uint32_t seed = 1;
  for (std::size_t size : kSizes) ExpectRoundTrip(RandomBytes(size, seed++), "random");
}

TEST(LzwRoundTripTest, TextOfManySizesUpToTheInputLimit) {
  uint32_t seed = 100;
  for (std::size_t size : kSizes) ExpectRoundTrip(TextBytes(size, seed++), "text");
  ExpectRoundTrip(TextBytes(40000, seed++), "text");
  ExpectRoundTrip(TextBytes(kLzwMaxInput, seed++), "text");
}

TEST(LzwRoundTripTest, RepetitiveInputs) {
  // One byte repeated makes every new string the one being defined.
  ExpectRoundTrip(std::vector<uint8_t>(kLzwMaxInput, 'A'), "one byte");
  ExpectRoundTrip(std::vector<uint8_t>(kLzwMaxInput, 0x00), "zero bytes");

  std::vector<uint8_t> everyValue;
  for (int round = 0; round < 40; ++round) {
    for (int value = 0; value < 256; ++value) everyValue.push_back(static_cast<uint8_t>(value));
  }
  ExpectRoundTrip(everyValue, "every byte value");

  // Two letters fill the dictionary with long strings sharing their start.
  std::vector<uint8_t> twoLetters = RandomBytes(kLzwMaxInput, 42);
  for (uint8_t& b : twoLetters) b = (b & 1) ? 'a' : 'b';
  ExpectRoundTrip(twoLetters, "two letters");
}

TEST(LzwRoundTripTest, RunsLeaveNothingBehind) {
  const long live = LiveAllocationCount();
  const auto text = TextBytes(30000, 5);
  const auto packed = RunEncode(text);
  EXPECT_EQ(RunDecode(packed.bytes).bytes, text);
  RunEncode(RandomBytes(kLzwMaxInput, 3));  // overflows
  RunDecode({0x20, 0x80});                  // damaged
  EXPECT_EQ(LiveAllocationCount(), live);
}

}  // namespace
}  // namespace vidod
