// The working state of the LZW codec. Encoder and decoder runs never overlap,
// so both share this one module-wide record: each run clears it at its start
// and releases it at its end.
#pragma once

#include <cstdint>

namespace vidod {

constexpr uint32_t kLzwSlotCount = 4096;         // dictionary codes 0 to 4095
constexpr uint32_t kLzwMaxStringLength = 4096;   // size of the current and work strings
constexpr uint32_t kLzwOutputBlockSize = 32768;  // staging block of the encoder
constexpr uint32_t kLzwLiteralCount = 256;
constexpr uint32_t kLzwEndCode = 256;
constexpr uint32_t kLzwWidenCode = 257;
constexpr uint32_t kLzwResetCode = 258;
constexpr uint16_t kLzwFirstFreeCode = 259;
constexpr uint32_t kLzwInitialWidth = 9;
constexpr uint32_t kLzwMaxWidth = 32;
// Lookup lists exist for string lengths 0 to 4095.
constexpr uint32_t kLzwLookupListCount = 4096;

enum class LzwMode : int32_t {
  kIdle = 0,
  kEncoding = 1,
  kDecoding = 2,
};

struct LzwString {
  uint8_t* bytes;
  uint16_t capacity;
  uint16_t length;
};

struct LzwState {
  LzwMode mode;

  LzwString* dictionary;  // kLzwSlotCount entries, each string allocated on its own
  uint16_t nextFreeCode;

  uint8_t* current;  // kLzwMaxStringLength bytes
  uint16_t currentLength;
  uint8_t* work;  // kLzwMaxStringLength bytes
  uint16_t workLength;

  uint8_t* outputBlock;  // kLzwOutputBlockSize bytes
  uint32_t outputBlockLength;

  // Decoder: the unread low bits of the last input byte. Encoder: the bits of
  // the byte being filled. Left-aligned in both.
  uint8_t reservoir;
  uint8_t reservoirBits;

  const uint8_t* input;
  uint32_t inputLength;
  uint16_t position;
  uint16_t end;
  bool loaded;

  uint8_t* output;  // handed to the caller at the end of the run
  uint32_t outputCapacity;
  uint32_t outputLength;

  // Encoder only: per string length, the codes of the dictionary strings of
  // that length in the order they were added; a list's storage is allocated
  // when its first code arrives.
  uint16_t** lookupLists;  // kLzwLookupListCount entries
  uint16_t* lookupCounts;  // kLzwLookupListCount entries
};

extern LzwState g_lzwState;

// Clears the record and sets the mode of the run.
void ClearLzwState(LzwMode mode);

// Allocates the output block, the dictionary table with its 256 one-byte
// strings, the lookup list table and counts when the mode is encoding, and the
// current and work strings. False when an allocation failed.
bool AllocateLzwWorkingStorage();

// Puts a copy of bytes into the slot of code, releasing what it held; the new
// buffer is sized to the length. False when the allocation failed.
bool StoreLzwSlot(uint16_t code, const uint8_t* bytes, uint16_t length);

// Adds code at the end of the lookup list of length. False when the list's
// storage could not be allocated.
bool AppendLzwLookup(uint16_t length, uint16_t code);

// Empties every lookup list and releases its storage.
void ClearLzwLookupLists();

// Releases all working storage except the output buffer, which the caller of
// the run has taken over by then, and clears the record.
void ReleaseLzwState();

// Allocates the output buffer of the run; on failure the memory alert is
// raised. Sets output, outputCapacity and outputLength.
bool AllocateLzwOutput(uint32_t capacity);

}  // namespace vidod
