#include <cstring>
#include <utility>

#include "lzw/lzw.h"
#include "lzw/lzw_state.h"

namespace vidod {
namespace {

constexpr uint32_t kPackedLengthExtra = 1;  // the reported length is packed + 1
constexpr uint32_t kBitsPerByte = 8;
constexpr uint32_t kByteMask = 0xFF;

void FlushOutputBlock() {
  LzwState& s = g_lzwState;
  uint32_t count = s.outputBlockLength;
  if (count > s.outputCapacity - s.outputLength) count = s.outputCapacity - s.outputLength;
  std::memcpy(s.output + s.outputLength, s.outputBlock, count);
  s.outputLength += count;
  s.outputBlockLength = 0;
}

// False when the packed form would pass the output buffer.
bool EmitByte(uint8_t byte) {
  LzwState& s = g_lzwState;
  if (s.outputLength + s.outputBlockLength >= s.outputCapacity) return false;
  if (s.outputBlockLength == kLzwOutputBlockSize) FlushOutputBlock();
  s.outputBlock[s.outputBlockLength++] = byte;
  return true;
}

// Most significant bit first, continuing the partly filled byte in the
// reservoir. Widths are at least 9, so the reservoir byte is always completed.
bool WriteCode(uint32_t value, uint32_t width) {
  LzwState& s = g_lzwState;
  if (width < kLzwInitialWidth || width > kLzwMaxWidth) return false;
  const uint32_t free = kBitsPerByte - s.reservoirBits;
  uint32_t remaining = width - free;
  const uint32_t top = (value >> remaining) & ((1u << free) - 1);
  if (!EmitByte(static_cast<uint8_t>(s.reservoir | top))) return false;
  while (remaining >= kBitsPerByte) {
    remaining -= kBitsPerByte;
    if (!EmitByte(static_cast<uint8_t>((value >> remaining) & kByteMask))) return false;
  }
  s.reservoir = remaining ? static_cast<uint8_t>(value << (kBitsPerByte - remaining)) : 0;
  s.reservoirBits = static_cast<uint8_t>(remaining);
  return true;
}

// A code too wide for the current width is preceded by one 257 per missing bit.
bool WriteStringCode(uint32_t code, uint32_t* width) {
  while (*width < kLzwMaxWidth && (code >> *width) != 0) {
    if (!WriteCode(kLzwWidenCode, *width)) return false;
    ++*width;
  }
  return WriteCode(code, *width);
}

// The code of the work string, or -1 when it is not in the dictionary. Only
// strings of its own length are compared; the one-byte strings are in no list.
int32_t FindWorkString() {
  const LzwState& s = g_lzwState;
  const uint16_t length = s.workLength;
  const uint16_t* list = s.lookupLists[length];
  const uint16_t count = s.lookupCounts[length];
  const uint8_t last = s.work[length - 1];
  for (uint16_t i = 0; i < count; ++i) {
    const uint8_t* bytes = s.dictionary[list[i]].bytes;
    // Strings of one length often share their start; the last byte tells them
    // apart soonest.
    if (bytes[length - 1] == last && std::memcmp(bytes, s.work, length - 1) == 0) {
      return list[i];
    }
  }
  return -1;
}

bool AddWorkString() {
  LzwState& s = g_lzwState;
  if (!StoreLzwSlot(s.nextFreeCode, s.work, s.workLength)) return false;
  if (!AppendLzwLookup(s.workLength, s.nextFreeCode)) return false;
  ++s.nextFreeCode;
  return true;
}

int32_t EncodeInput() {
  LzwState& s = g_lzwState;
  if (s.inputLength == 0) return kLzwShortInput;
  if (s.inputLength > kLzwMaxInput) return kLzwBadWrite;
  s.position = 0;
  s.end = static_cast<uint16_t>(s.inputLength);
  s.loaded = true;

  s.current[0] = s.input[s.position++];
  s.currentLength = 1;
  uint32_t currentCode = s.current[0];
  uint32_t width = kLzwInitialWidth;

  // The work string is the current string plus one byte. Between steps the
  // work buffer already holds all but the last byte of the current string, so
  // a step writes two bytes and a match swaps the buffers instead of copying.
  while (s.position < s.end) {
    const uint8_t next = s.input[s.position++];
    // Inputs within the limit build strings of a few hundred bytes at most;
    // the lookup lists end at length 4095.
    if (s.currentLength + 1u >= kLzwLookupListCount) return kLzwBadWrite;
    s.work[s.currentLength - 1] = s.current[s.currentLength - 1];
    s.work[s.currentLength] = next;
    s.workLength = static_cast<uint16_t>(s.currentLength + 1);

    const int32_t found = FindWorkString();
    if (found >= 0) {
      std::swap(s.current, s.work);
      s.currentLength = s.workLength;
      currentCode = static_cast<uint32_t>(found);
      continue;
    }

    if (!AddWorkString()) return kLzwNoMemory;
    if (!WriteStringCode(currentCode, &width)) return kLzwBadWrite;
    s.current[0] = next;
    s.currentLength = 1;
    currentCode = next;

    if (s.nextFreeCode >= kLzwSlotCount) {
      if (!WriteCode(kLzwResetCode, width)) return kLzwBadWrite;
      s.nextFreeCode = kLzwFirstFreeCode;
      ClearLzwLookupLists();
      // The decoder keeps its current string across the reset and defines
      // 259 from it and the next byte: that is this work string.
      if (!AddWorkString()) return kLzwNoMemory;
      width = kLzwInitialWidth;
    }
  }

  if (!WriteStringCode(currentCode, &width)) return kLzwBadWrite;
  if (!WriteCode(kLzwEndCode, width)) return kLzwBadWrite;
  if (s.reservoirBits && !EmitByte(s.reservoir)) return kLzwBadWrite;
  return kLzwOk;
}

}  // namespace

namespace LzwEncoder {

int32_t Encode(const uint8_t* input, uint32_t inputLength, uint8_t** output,
               uint32_t* reportedLength) {
  LzwState& s = g_lzwState;
  ClearLzwState(LzwMode::kEncoding);
  if (!AllocateLzwOutput(kLzwPackedCapacity)) return kLzwNoMemory;
  if (!AllocateLzwWorkingStorage()) {
    LzwReleaseOutput(s.output);
    ReleaseLzwState();
    return kLzwNoMemory;
  }
  s.input = input;
  s.inputLength = input ? inputLength : 0;

  const int32_t result = EncodeInput();
  FlushOutputBlock();
  *output = s.output;
  *reportedLength = s.outputLength + kPackedLengthExtra;
  ReleaseLzwState();
  return result;
}

}  // namespace LzwEncoder
}  // namespace vidod
