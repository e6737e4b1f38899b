#include <cstring>

#include "lzw/lzw.h"
#include "lzw/lzw_state.h"

namespace vidod {
namespace {

constexpr uint32_t kDecodedLengthExtra = 2;  // the reported length is decoded + 2
constexpr uint32_t kLiteralMask = 0xFF;
constexpr uint32_t kBitsPerByte = 8;

// The input is taken up the first time the cursor meets its end; meeting the
// end a second time is exhaustion.
bool ReadInputByte(uint8_t* byte) {
  LzwState& s = g_lzwState;
  if (s.position == s.end) {
    if (s.loaded) return false;
    s.loaded = true;
    s.end = static_cast<uint16_t>(s.inputLength);
    s.position = 0;
    if (s.end == 0) return false;
  }
  *byte = s.input[s.position++];
  return true;
}

// Codes are packed most significant bit first; the reservoir holds the unread
// low bits of the last byte, left-aligned. Widths are 9 to 32, so the reservoir
// (at most 7 bits) never covers a whole code.
bool ReadCode(uint32_t width, uint32_t* code) {
  LzwState& s = g_lzwState;
  uint32_t value = s.reservoirBits ? s.reservoir >> (kBitsPerByte - s.reservoirBits) : 0;
  uint32_t remaining = width - s.reservoirBits;
  s.reservoir = 0;
  s.reservoirBits = 0;
  uint8_t byte = 0;
  while (remaining >= kBitsPerByte) {
    if (!ReadInputByte(&byte)) return false;
    value = (value << kBitsPerByte) | byte;
    remaining -= kBitsPerByte;
  }
  if (remaining > 0) {
    if (!ReadInputByte(&byte)) return false;
    value = (value << remaining) | (byte >> (kBitsPerByte - remaining));
    s.reservoir = static_cast<uint8_t>(byte << remaining);
    s.reservoirBits = static_cast<uint8_t>(kBitsPerByte - remaining);
  }
  *code = value;
  return true;
}

bool AppendCurrentToOutput() {
  LzwState& s = g_lzwState;
  if (s.currentLength > s.outputCapacity - s.outputLength) return false;
  std::memcpy(s.output + s.outputLength, s.current, s.currentLength);
  s.outputLength += s.currentLength;
  return true;
}

int32_t DecodeStream() {
  LzwState& s = g_lzwState;
  // Positions are 16 bits wide; a longer input would be read modulo 65536.
  if (s.inputLength > kLzwMaxInput) return kLzwBadStream;

  uint32_t code = 0;
  // The first code is a literal whatever its value, 256 to 511 included.
  if (!ReadCode(kLzwInitialWidth, &code)) return kLzwShortInput;
  s.current[0] = static_cast<uint8_t>(code & kLiteralMask);
  s.currentLength = 1;

  uint32_t width = kLzwInitialWidth;
  while (width <= kLzwMaxWidth) {
    if (!ReadCode(width, &code)) return kLzwBadStream;
    if (code == kLzwEndCode) return AppendCurrentToOutput() ? kLzwOk : kLzwBadStream;
    if (code == kLzwResetCode) {
      // The current string survives the reset: code 259 is defined anew from
      // the string read before it.
      s.nextFreeCode = kLzwFirstFreeCode;
      width = kLzwInitialWidth;
      continue;
    }
    if (code == kLzwWidenCode) {
      ++width;
      continue;
    }
    if (code > s.nextFreeCode) return kLzwBadStream;
    if (s.nextFreeCode >= kLzwSlotCount) return kLzwBadStream;
    if (s.currentLength >= kLzwMaxStringLength) return kLzwBadStream;

    // A code equal to the next free code is the one being defined right now:
    // its string is the current one followed by its own first byte.
    const uint8_t* source = code == s.nextFreeCode ? s.current : s.dictionary[code].bytes;
    std::memcpy(s.work, s.current, s.currentLength);
    s.work[s.currentLength] = source[0];
    s.workLength = static_cast<uint16_t>(s.currentLength + 1);
    if (!StoreLzwSlot(s.nextFreeCode, s.work, s.workLength)) return kLzwNoMemory;
    ++s.nextFreeCode;

    if (!AppendCurrentToOutput()) return kLzwBadStream;
    const LzwString& slot = s.dictionary[code];
    std::memcpy(s.current, slot.bytes, slot.length);
    s.currentLength = slot.length;
  }
  return kLzwBadStream;
}

}  // namespace

namespace LzwDecoder {

int32_t Decode(const uint8_t* input, uint32_t inputLength, uint8_t** output,
               uint32_t* reportedLength) {
  LzwState& s = g_lzwState;
  ClearLzwState(LzwMode::kDecoding);
  if (!AllocateLzwWorkingStorage() || !AllocateLzwOutput(kLzwDecodedCapacity)) {
    ReleaseLzwState();
    return kLzwNoMemory;
  }
  s.input = input;
  s.inputLength = input ? inputLength : 0;

  const int32_t result = DecodeStream();
  *output = s.output;
  *reportedLength = s.outputLength + kDecodedLengthExtra;
  ReleaseLzwState();
  return result;
}

}  // namespace LzwDecoder
}  // namespace vidod
