#include "lzw_test_support.h"

#include <cstring>

namespace vidod {
namespace lzwtest {
namespace {

constexpr uint32_t kStartWidth = 9;
constexpr uint32_t kDecodeExtra = 2;
constexpr uint32_t kEncodeExtra = 1;
constexpr uint32_t kOutputSentinel = 0xDEADBEEF;

uint32_t NextRandom(uint32_t* state) {
  *state = *state * 1664525u + 1013904223u;
  return *state >> 8;
}

using CodecRun = int32_t (*)(const uint8_t*, uint32_t, uint8_t**, uint32_t*);

RunOutcome Run(CodecRun run, const std::vector<uint8_t>& input, uint32_t extra) {
  uint8_t sentinel = 0;
  uint8_t* output = &sentinel;
  uint32_t reported = kOutputSentinel;
  RunOutcome outcome;
  outcome.result = run(input.empty() ? nullptr : input.data(),
                       static_cast<uint32_t>(input.size()), &output, &reported);
  outcome.outputSet = output != &sentinel;
  outcome.reported = reported;
  if (outcome.outputSet && reported >= extra) {
    outcome.bytes.assign(output, output + (reported - extra));
  }
  if (outcome.outputSet) LzwReleaseOutput(output);
  return outcome;
}

}  // namespace

RunOutcome RunDecode(const std::vector<uint8_t>& input) {
  return Run(&LzwDecoder::Decode, input, kDecodeExtra);
}

RunOutcome RunEncode(const std::vector<uint8_t>& input) {
  return Run(&LzwEncoder::Encode, input, kEncodeExtra);
}

std::vector<uint8_t> PackCodes(const std::vector<uint32_t>& codes) {
  std::vector<uint8_t> bytes;
  uint64_t pending = 0;
  uint32_t pendingBits = 0;
  uint32_t width = kStartWidth;
  for (uint32_t code : codes) {
    pending = (pending << width) | (code & ((uint64_t{1} << width) - 1));
    pendingBits += width;
    while (pendingBits >= 8) {
      pendingBits -= 8;
      bytes.push_back(static_cast<uint8_t>(pending >> pendingBits));
    }
    pending &= (uint64_t{1} << pendingBits) - 1;
    if (code == kWiden) ++width;
    if (code == kReset) width = kStartWidth;
  }
  if (pendingBits) bytes.push_back(static_cast<uint8_t>(pending << (8 - pendingBits)));
  return bytes;
}

ParsedStream ParseCodes(const std::vector<uint8_t>& bytes) {
  ParsedStream stream{{}, false};
  std::size_t bitPosition = 0;
  const std::size_t totalBits = bytes.size() * 8;
  uint32_t width = kStartWidth;
  while (bitPosition + width <= totalBits) {
    uint64_t code = 0;
    for (uint32_t i = 0; i < width; ++i, ++bitPosition) {
      code = (code << 1) | ((bytes[bitPosition / 8] >> (7 - bitPosition % 8)) & 1);
    }
    stream.codes.push_back({static_cast<uint32_t>(code), width});
    if (stream.codes.size() > 1) {
      if (code == kEnd) {
        stream.complete = true;
        break;
      }
      if (code == kWiden) ++width;
      if (code == kReset) width = kStartWidth;
    }
  }
  return stream;
}

std::vector<uint8_t> RandomBytes(std::size_t size, uint32_t seed) {
  std::vector<uint8_t> bytes(size);
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(NextRandom(&seed));
  return bytes;
}

std::vector<uint8_t> TextBytes(std::size_t size, uint32_t seed) {
  static const char* const kWords[] = {
      "le", "la", "les", "un", "une", "des", "question", "r\xE9ponse", "image", "quiz",
      "bravo", "faux", "presque", "ch\xE2teau", "for\xEAt", "rivi\xE8re", "montagne",
      "\xE9t\xE9", "hiver", "Paris", "Lyon", "Marseille", "et", "ou", "avec", "sans",
  };
  constexpr uint32_t kWordCount = sizeof(kWords) / sizeof(kWords[0]);
  std::vector<uint8_t> bytes;
  bytes.reserve(size);
  while (bytes.size() < size) {
    const char* word = kWords[NextRandom(&seed) % kWordCount];
    bytes.insert(bytes.end(), word, word + std::strlen(word));
    bytes.push_back(NextRandom(&seed) % 9 == 0 ? '\n' : ' ');
  }
  bytes.resize(size);
  return bytes;
}

std::vector<uint8_t> Bytes(const std::string& text) {
  return std::vector<uint8_t>(text.begin(), text.end());
}

}  // namespace lzwtest
}  // namespace vidod
