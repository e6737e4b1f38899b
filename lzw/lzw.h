// The LZW code stream in which the quiz resources are stored: variable-width
// codes packed most significant bit first, starting at 9 bits; 256 ends the
// data, 257 widens the codes by one bit, 258 resets the dictionary.
#pragma once

#include <cstdint>

namespace vidod {

enum LzwResult : int32_t {
  kLzwOk = 0,
  kLzwNoMemory = -4,     // working storage or a dictionary string not allocated
  kLzwShortInput = -5,   // decoder: input empty or shorter than the first code; encoder: empty input
  kLzwBadWrite = -6,     // encoder: a code could not be written (or the packed form overflows)
  kLzwBadStream = -7,    // decoder: damaged stream, or one outside the format's limits
};

constexpr uint32_t kLzwDecodedCapacity = 120000;  // output buffer of the decoder
constexpr uint32_t kLzwPackedCapacity = 32768;    // output buffer of the encoder
constexpr uint32_t kLzwMaxInput = 65535;          // inputs use 16-bit positions

namespace LzwDecoder {
// Decodes input. When the run got as far as allocating the output buffer,
// *output receives it (release with LzwReleaseOutput; bytes past the decoded
// ones are undefined) and *reportedLength the decoded byte count plus 2;
// otherwise both are left untouched.
int32_t Decode(const uint8_t* input, uint32_t inputLength, uint8_t** output,
               uint32_t* reportedLength);
}  // namespace LzwDecoder

namespace LzwEncoder {
// Encodes input. *output receives the packed bytes (release with
// LzwReleaseOutput) and *reportedLength the packed byte count plus 1, in every
// ending after the working storage was allocated.
int32_t Encode(const uint8_t* input, uint32_t inputLength, uint8_t** output,
               uint32_t* reportedLength);
}  // namespace LzwEncoder

void LzwReleaseOutput(uint8_t* output);

// Windows side hook: called when the output buffer cannot be allocated, so the
// player can show its memory message. Defaults to doing nothing.
using LzwMemoryAlert = void (*)();
void SetLzwMemoryAlert(LzwMemoryAlert alert);

}  // namespace vidod
