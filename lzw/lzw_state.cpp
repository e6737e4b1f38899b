#include "lzw/lzw_state.h"

#include <cstring>

#include "common/heap.h"
#include "lzw/lzw.h"

namespace vidod {

LzwState g_lzwState;

namespace {

LzwMemoryAlert g_memoryAlert = nullptr;

template <typename T>
T* AllocateArray(std::size_t count) {
  return static_cast<T*>(HeapAllocate(count * sizeof(T)));
}

}  // namespace

void ClearLzwState(LzwMode mode) {
  std::memset(&g_lzwState, 0, sizeof(g_lzwState));
  g_lzwState.mode = mode;
  g_lzwState.nextFreeCode = kLzwFirstFreeCode;
}

bool AllocateLzwWorkingStorage() {
  LzwState& s = g_lzwState;
  s.outputBlock = AllocateArray<uint8_t>(kLzwOutputBlockSize);
  if (!s.outputBlock) return false;

  s.dictionary = AllocateArray<LzwString>(kLzwSlotCount);
  if (!s.dictionary) return false;
  std::memset(s.dictionary, 0, kLzwSlotCount * sizeof(LzwString));
  for (uint32_t code = 0; code < kLzwLiteralCount; ++code) {
    const uint8_t byte = static_cast<uint8_t>(code);
    if (!StoreLzwSlot(static_cast<uint16_t>(code), &byte, 1)) return false;
  }

  if (s.mode == LzwMode::kEncoding) {
    s.lookupLists = AllocateArray<uint16_t*>(kLzwLookupListCount);
    if (!s.lookupLists) return false;
    std::memset(s.lookupLists, 0, kLzwLookupListCount * sizeof(uint16_t*));
    s.lookupCounts = AllocateArray<uint16_t>(kLzwLookupListCount);
    if (!s.lookupCounts) return false;
    std::memset(s.lookupCounts, 0, kLzwLookupListCount * sizeof(uint16_t));
  }

  s.current = AllocateArray<uint8_t>(kLzwMaxStringLength);
  if (!s.current) return false;
  s.work = AllocateArray<uint8_t>(kLzwMaxStringLength);
  return s.work != nullptr;
}

bool StoreLzwSlot(uint16_t code, const uint8_t* bytes, uint16_t length) {
  LzwString& slot = g_lzwState.dictionary[code];
  HeapRelease(slot.bytes);
  slot.bytes = AllocateArray<uint8_t>(length);
  if (!slot.bytes) {
    slot.capacity = 0;
    slot.length = 0;
    return false;
  }
  std::memcpy(slot.bytes, bytes, length);
  slot.capacity = length;
  slot.length = length;
  return true;
}

bool AppendLzwLookup(uint16_t length, uint16_t code) {
  uint16_t*& list = g_lzwState.lookupLists[length];
  if (!list) {
    list = AllocateArray<uint16_t>(kLzwSlotCount);
    if (!list) return false;
  }
  list[g_lzwState.lookupCounts[length]++] = code;
  return true;
}

void ClearLzwLookupLists() {
  LzwState& s = g_lzwState;
  for (uint32_t length = 0; length < kLzwLookupListCount; ++length) {
    HeapRelease(s.lookupLists[length]);
    s.lookupLists[length] = nullptr;
    s.lookupCounts[length] = 0;
  }
}

void ReleaseLzwState() {
  LzwState& s = g_lzwState;
  if (s.lookupLists) {
    for (uint32_t length = 0; length < kLzwLookupListCount; ++length) {
      HeapRelease(s.lookupLists[length]);
    }
  }
  HeapRelease(s.lookupLists);
  HeapRelease(s.lookupCounts);
  if (s.dictionary) {
    for (uint32_t code = 0; code < kLzwSlotCount; ++code) HeapRelease(s.dictionary[code].bytes);
  }
  HeapRelease(s.dictionary);
  HeapRelease(s.current);
  HeapRelease(s.work);
  HeapRelease(s.outputBlock);
  // The output buffer is not released: it belongs to the caller now.
  ClearLzwState(LzwMode::kIdle);
}

bool AllocateLzwOutput(uint32_t capacity) {
  LzwState& s = g_lzwState;
  s.output = AllocateArray<uint8_t>(capacity);
  s.outputCapacity = s.output ? capacity : 0;
  s.outputLength = 0;
  if (!s.output && g_memoryAlert) g_memoryAlert();
  return s.output != nullptr;
}

void LzwReleaseOutput(uint8_t* output) { HeapRelease(output); }

void SetLzwMemoryAlert(LzwMemoryAlert alert) { g_memoryAlert = alert; }

}  // namespace vidod
