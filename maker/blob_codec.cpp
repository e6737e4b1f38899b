#include "maker/blob_codec.h"

#include <algorithm>

#include "lzw/lzw.h"

namespace vidod {
namespace {

constexpr uint32_t kPackedLengthExtra = 1;   // the encoder reports packed + 1
constexpr uint32_t kDecodedLengthExtra = 2;  // the decoder reports decoded + 2

// Inputs past the codec's limit are handed over as one byte too many, which
// the codec refuses, rather than cut to 32 bits.
uint32_t CodecLength(std::size_t size) {
  return static_cast<uint32_t>(std::min<std::size_t>(size, std::size_t{kLzwMaxInput} + 1));
}

CodecRun Collect(int32_t result, uint8_t* output, uint32_t reported, uint32_t extra) {
  CodecRun run;
  run.result = result;
  if (result == kLzwOk && output && reported >= extra) run.bytes.assign(output, output + (reported - extra));
  LzwReleaseOutput(output);
  return run;
}

}  // namespace

CodecRun CompressBytes(const std::vector<uint8_t>& input) {
  uint8_t* output = nullptr;
  uint32_t reported = 0;
  const int32_t result = LzwEncoder::Encode(input.data(), CodecLength(input.size()), &output, &reported);
  return Collect(result, output, reported, kPackedLengthExtra);
}

CodecRun DecompressBytes(const std::vector<uint8_t>& input) {
  uint8_t* output = nullptr;
  uint32_t reported = 0;
  const int32_t result = LzwDecoder::Decode(input.data(), CodecLength(input.size()), &output, &reported);
  return Collect(result, output, reported, kDecodedLengthExtra);
}

std::string DescribeLzwResult(int32_t result, bool compressing) {
  switch (result) {
    case kLzwOk: return "succès";
    case kLzwNoMemory: return "mémoire insuffisante";
    case kLzwShortInput: return compressing ? "entrée vide" : "entrée vide ou plus courte que le premier code";
    case kLzwBadWrite:
      return "entrée de plus de " + std::to_string(kLzwMaxInput) + " octets, ou forme compressée de plus de " +
             std::to_string(kLzwPackedCapacity) + " octets";
    case kLzwBadStream:
      return "flux compressé invalide, tronqué, de plus de " + std::to_string(kLzwMaxInput) +
             " octets, ou qui se décompresse en plus de " + std::to_string(kLzwDecodedCapacity) + " octets";
    default: return "résultat inconnu";
  }
}

}  // namespace vidod
