// Helpers of the LZW tests: a code packer and a code reader written apart from
// the codec, so that hand-built streams do not depend on the code under test,
// and wrappers that copy a run's output into a vector and release it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lzw/lzw.h"

namespace vidod {
namespace lzwtest {

constexpr uint32_t kEnd = 256;
constexpr uint32_t kWiden = 257;
constexpr uint32_t kReset = 258;

struct RunOutcome {
  int32_t result;
  std::vector<uint8_t> bytes;  // the reported bytes, the length extra taken off
  uint32_t reported;
  bool outputSet;
};

RunOutcome RunDecode(const std::vector<uint8_t>& input);
RunOutcome RunEncode(const std::vector<uint8_t>& input);

// Packs codes most significant bit first, 9 bits wide at the start, one bit
// wider after each 257 and 9 bits again after 258; the last byte is padded
// with zero bits.
std::vector<uint8_t> PackCodes(const std::vector<uint32_t>& codes);

struct ParsedCode {
  uint32_t code;
  uint32_t width;
};

// Reads codes under the same width rules up to and including 256; stops
// early when the bytes run out (complete is then false).
struct ParsedStream {
  std::vector<ParsedCode> codes;
  bool complete;
};
ParsedStream ParseCodes(const std::vector<uint8_t>& bytes);

std::vector<uint8_t> RandomBytes(std::size_t size, uint32_t seed);
// Words of French-like text separated by blanks and line breaks.
std::vector<uint8_t> TextBytes(std::size_t size, uint32_t seed);
std::vector<uint8_t> Bytes(const std::string& text);

}  // namespace lzwtest
}  // namespace vidod
