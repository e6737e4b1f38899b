#include "pictures/inflater.h"

#include <cstring>

#include "pictures/png_chunk.h"

namespace vidod {
namespace {

constexpr uint32_t kMaxCodeLength = 15;
constexpr uint32_t kMaxCodeLengthCodeLength = 7;
constexpr uint32_t kLiteralLengthSymbols = 288;  // 286 and 287 take codes but are not valid
constexpr uint32_t kDistanceSymbols = 32;        // likewise 30 and 31
constexpr uint32_t kCodeLengthSymbols = 19;
constexpr uint32_t kMaxCodedLengths = kLiteralLengthSymbols + kDistanceSymbols;

constexpr int kEndOfBlock = 256;
constexpr int kFirstLengthSymbol = 257;
constexpr int kLastLengthSymbol = 285;
constexpr int kLastDistanceCode = 29;
// Length symbols 265 to 284 take (symbol - 265) / 4 + 1 extra bits, the others
// none; distance codes from 4 take (code - 2) / 2.
constexpr int kFirstLengthWithExtra = 265;
constexpr int kLastLengthWithExtra = 284;
constexpr int kFirstDistanceWithExtra = 4;
constexpr int kNoSymbol = -1;

constexpr uint32_t kCompressionDeflate = 8;
constexpr uint32_t kMaxWindowField = 7;
constexpr uint32_t kPresetDictionaryFlag = 0x20;

constexpr uint32_t kBlockStored = 0;
constexpr uint32_t kBlockFixed = 1;
constexpr uint32_t kBlockDynamic = 2;

constexpr uint32_t kFixedDistanceBits = 5;

constexpr uint8_t kCodeLengthOrder[kCodeLengthSymbols] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                          11, 4,  12, 3, 13, 2, 14, 1, 15};
constexpr uint16_t kLengthBase[kLastLengthSymbol - kFirstLengthSymbol + 1] = {
    3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
    31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint16_t kDistanceBase[kLastDistanceCode + 1] = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};

// One entry per code length (index 0 unused): the limit is the first code of
// that length plus the number of codes of that length, 0 when the length has
// no codes. The offset is where the length's symbols start in the list, less
// the first code of the length, so that (offset + code) mod 2^16 indexes the
// list directly. Because codes are canonical, a code read bit by bit that was
// refused at every shorter length is never below the first code of its own
// length, so "code < limit" is the whole acceptance test.
template <uint32_t MaxLength, uint32_t Symbols>
struct DecodeTable {
  uint16_t limit[MaxLength + 1];
  uint16_t offset[MaxLength + 1];
  uint16_t symbols[Symbols];
};

using LiteralTable = DecodeTable<kMaxCodeLength, kLiteralLengthSymbols>;
using DistanceTable = DecodeTable<kMaxCodeLength, kDistanceSymbols>;
using CodeLengthTable = DecodeTable<kMaxCodeLengthCodeLength, kCodeLengthSymbols>;

enum class CodeSet {
  kComplete,
  kSparse,   // incomplete, but no code or a single code of length 1: legal for
             // literal/length and distance codes (encoders emit a lone distance code)
  kInvalid,  // over-subscribed, or incomplete otherwise
};

struct InflaterState {
  // Input: the rest of the current IDAT chunk, and bits not yet used, taken
  // from the least significant end.
  const uint8_t* source;
  uint32_t sourceSize;
  const uint8_t* next;
  uint32_t left;
  uint64_t bits;
  uint32_t bitCount;
  bool exhausted;
  // Output: the whole buffer is the history window.
  uint8_t* outStart;
  uint8_t* out;
  uint8_t* outEnd;
  // Work area.
  uint8_t lengths[kMaxCodedLengths];
  uint16_t counts[kMaxCodeLength + 1];
  LiteralTable literals;
  DistanceTable distances;
  CodeLengthTable codeLengths;
  bool finalBlock;
  uint32_t matchLength;
};

bool IsIdatForWalk(const uint8_t* type) {
  // The walk accepts the last letter in either case.
  return type[0] == 'I' && type[1] == 'D' && type[2] == 'A' && (type[3] == 'T' || type[3] == 't');
}

void StartInput(InflaterState* s, const PngDecoderState& png) {
  s->source = png.sourceBytes;
  s->sourceSize = png.sourceSize;
  s->next = nullptr;
  s->left = 0;
  s->bits = 0;
  s->bitCount = 0;
  s->exhausted = true;
  uint32_t length = 0;
  if (png.sourceBytes == nullptr || png.firstImageData == nullptr ||
      png.firstImageData < png.sourceBytes) {
    return;
  }
  const uint64_t offset = static_cast<uint64_t>(png.firstImageData - png.sourceBytes);
  if (!CompleteChunkAt(s->source, s->sourceSize, offset, &length)) return;
  s->next = png.firstImageData + kChunkDataOffset;
  s->left = length;
  s->exhausted = false;
}

// Makes the next input byte current. At the end of a chunk it steps over the
// CRC to the next chunk: IDAT chunks continue the data (empty ones skipped),
// anything else ends it, and from then on every byte is 0 with the input
// marked exhausted.
uint8_t NextInputByte(InflaterState* s) {
  while (s->left == 0) {
    if (s->exhausted) return 0;
    const uint64_t offset = static_cast<uint64_t>(s->next - s->source) + kChunkCrcSize;
    uint32_t length = 0;
    if (!CompleteChunkAt(s->source, s->sourceSize, offset, &length) ||
        !IsIdatForWalk(s->source + offset + kChunkTypeOffset)) {
      s->exhausted = true;
      return 0;
    }
    s->next = s->source + offset + kChunkDataOffset;
    s->left = length;
  }
  --s->left;
  return *s->next++;
}

// Tops the bit buffer up from bytes that are surely in the current chunk, so
// it never marks the input exhausted by reading ahead.
inline void Refill(InflaterState* s) {
  if (s->left >= 8) {
    uint64_t word = 0;
    for (int i = 7; i >= 0; --i) word = (word << 8) | s->next[i];
    const uint32_t taken = (63 - s->bitCount) >> 3;
    const uint64_t mask = (uint64_t{1} << (taken * 8)) - 1;
    s->bits |= (word & mask) << s->bitCount;
    s->bitCount += taken * 8;
    s->next += taken;
    s->left -= taken;
    return;
  }
  while (s->left > 0 && s->bitCount <= 56) {
    s->bits |= uint64_t{*s->next++} << s->bitCount;
    s->bitCount += 8;
    --s->left;
  }
}

inline void PullByte(InflaterState* s) {
  s->bits |= uint64_t{NextInputByte(s)} << s->bitCount;
  s->bitCount += 8;
}

// n is at most 16.
inline uint32_t ReadBits(InflaterState* s, uint32_t n) {
  if (s->bitCount < n) {
    Refill(s);
    while (s->bitCount < n) PullByte(s);
  }
  const uint32_t value = static_cast<uint32_t>(s->bits) & ((uint32_t{1} << n) - 1);
  s->bits >>= n;
  s->bitCount -= n;
  return value;
}

// Huffman codes arrive most significant bit first: each bit read becomes the
// new low bit of the code. Lengths without codes still take their bit.
template <uint32_t MaxLength, uint32_t Symbols>
inline int DecodeSymbol(InflaterState* s, const DecodeTable<MaxLength, Symbols>& table) {
  if (s->bitCount < MaxLength) Refill(s);
  uint32_t code = 0;
  if (s->bitCount >= MaxLength) {
    // Enough bits for the longest code: work on a copy, free of refill checks.
    uint64_t bits = s->bits;
    for (uint32_t length = 1; length <= MaxLength; ++length) {
      code |= static_cast<uint32_t>(bits) & 1;
      bits >>= 1;
      if (code < table.limit[length]) {
        s->bits = bits;
        s->bitCount -= length;
        return table.symbols[static_cast<uint16_t>(table.offset[length] + code)];
      }
      code <<= 1;
    }
    s->bits = bits;
    s->bitCount -= MaxLength;
    return kNoSymbol;
  }
  for (uint32_t length = 1; length <= MaxLength; ++length) {
    if (s->bitCount == 0) PullByte(s);
    code |= static_cast<uint32_t>(s->bits) & 1;
    s->bits >>= 1;
    --s->bitCount;
    if (code < table.limit[length]) {
      return table.symbols[static_cast<uint16_t>(table.offset[length] + code)];
    }
    code <<= 1;
  }
  return kNoSymbol;
}

// Canonical codes of RFC 1951: the first code of length n is (first code of
// length n - 1 + count of length n - 1) * 2, symbols of one length taking
// consecutive codes in increasing symbol order.
template <uint32_t MaxLength, uint32_t Symbols>
CodeSet BuildDecodeTable(DecodeTable<MaxLength, Symbols>* table, const uint8_t* lengths,
                         uint16_t* counts, uint32_t symbolCount) {
  for (uint32_t n = 0; n <= MaxLength; ++n) counts[n] = 0;
  for (uint32_t symbol = 0; symbol < symbolCount; ++symbol) {
    if (lengths[symbol] > MaxLength) return CodeSet::kInvalid;
    ++counts[lengths[symbol]];
  }
  counts[0] = 0;

  int32_t left = 1;  // codes of the current length not yet taken
  uint32_t coded = 0;
  for (uint32_t n = 1; n <= MaxLength; ++n) {
    left = left * 2 - counts[n];
    if (left < 0) return CodeSet::kInvalid;
    coded += counts[n];
  }

  uint16_t position[MaxLength + 2];
  position[1] = 0;
  for (uint32_t n = 1; n <= MaxLength; ++n) {
    position[n + 1] = static_cast<uint16_t>(position[n] + counts[n]);
  }
  uint32_t first = 0;
  for (uint32_t n = 1; n <= MaxLength; ++n) {
    first = (first + counts[n - 1]) << 1;
    if (counts[n] == 0) {
      table->limit[n] = 0;
      table->offset[n] = 0;
    } else {
      table->limit[n] = static_cast<uint16_t>(first + counts[n]);
      table->offset[n] = static_cast<uint16_t>(position[n] - first);
    }
  }
  for (uint32_t symbol = 0; symbol < symbolCount; ++symbol) {
    if (lengths[symbol] != 0) table->symbols[position[lengths[symbol]]++] = symbol;
  }

  if (left == 0) return CodeSet::kComplete;
  return coded == counts[1] ? CodeSet::kSparse : CodeSet::kInvalid;
}

bool InflateStored(InflaterState* s) {
  s->bits >>= s->bitCount & 7;
  s->bitCount &= ~uint32_t{7};
  const uint32_t length = ReadBits(s, 16);
  const uint32_t complement = ReadBits(s, 16);
  if (s->exhausted || length != (~complement & 0xFFFF)) return false;
  if (length > static_cast<uint32_t>(s->outEnd - s->out)) return false;

  uint32_t remaining = length;
  while (remaining > 0 && s->bitCount >= 8) {
    *s->out++ = static_cast<uint8_t>(s->bits);
    s->bits >>= 8;
    s->bitCount -= 8;
    --remaining;
  }
  while (remaining > 0) {
    if (s->left == 0) {
      *s->out++ = NextInputByte(s);
      if (s->exhausted) return false;
      --remaining;
      continue;
    }
    const uint32_t run = remaining < s->left ? remaining : s->left;
    std::memcpy(s->out, s->next, run);
    s->out += run;
    s->next += run;
    s->left -= run;
    remaining -= run;
  }
  return true;
}

// The fixed code of RFC 1951 (3.2.6).
void BuildFixedTable(InflaterState* s) {
  uint32_t symbol = 0;
  for (; symbol < 144; ++symbol) s->lengths[symbol] = 8;
  for (; symbol < 256; ++symbol) s->lengths[symbol] = 9;
  for (; symbol < 280; ++symbol) s->lengths[symbol] = 7;
  for (; symbol < kLiteralLengthSymbols; ++symbol) s->lengths[symbol] = 8;
  // Complete by construction, with no code longer than 9 bits.
  BuildDecodeTable(&s->literals, s->lengths, s->counts, kLiteralLengthSymbols);
}

bool ReadDynamicTables(InflaterState* s) {
  const uint32_t header = ReadBits(s, 14);
  const uint32_t literalCount = (header & 0x1F) + 257;
  const uint32_t distanceCount = ((header >> 5) & 0x1F) + 1;
  const uint32_t codeLengthCount = (header >> 10) + 4;

  for (uint32_t i = 0; i < kCodeLengthSymbols; ++i) s->lengths[i] = 0;
  for (uint32_t i = 0; i < codeLengthCount; ++i) {
    s->lengths[kCodeLengthOrder[i]] = static_cast<uint8_t>(ReadBits(s, 3));
  }
  if (s->exhausted) return false;
  if (BuildDecodeTable(&s->codeLengths, s->lengths, s->counts, kCodeLengthSymbols) !=
      CodeSet::kComplete) {
    return false;
  }

  const uint32_t total = literalCount + distanceCount;
  uint32_t index = 0;
  while (index < total) {
    const int symbol = DecodeSymbol(s, s->codeLengths);
    if (s->exhausted || symbol == kNoSymbol) return false;
    if (symbol < 16) {
      s->lengths[index++] = static_cast<uint8_t>(symbol);
      continue;
    }
    uint8_t value = 0;
    uint32_t repeat = 0;
    if (symbol == 16) {
      if (index == 0) return false;
      value = s->lengths[index - 1];
      repeat = 3 + ReadBits(s, 2);
    } else if (symbol == 17) {
      repeat = 3 + ReadBits(s, 3);
    } else {
      repeat = 11 + ReadBits(s, 7);
    }
    if (s->exhausted || repeat > total - index) return false;
    std::memset(s->lengths + index, value, repeat);
    index += repeat;
  }

  // Without a code for end-of-block the block could never end.
  if (s->lengths[kEndOfBlock] == 0) return false;
  if (BuildDecodeTable(&s->literals, s->lengths, s->counts, literalCount) == CodeSet::kInvalid) {
    return false;
  }
  return BuildDecodeTable(&s->distances, s->lengths + literalCount, s->counts, distanceCount) !=
         CodeSet::kInvalid;
}

uint32_t ReverseFixedDistance(uint32_t bits) {
  uint32_t code = 0;
  for (uint32_t i = 0; i < kFixedDistanceBits; ++i) {
    code = (code << 1) | (bits & 1);
    bits >>= 1;
  }
  return code;
}

bool InflateCodes(InflaterState* s, bool fixed) {
  for (;;) {
    const int symbol = DecodeSymbol(s, s->literals);
    if (s->exhausted || symbol == kNoSymbol) return false;
    if (symbol < kEndOfBlock) {
      if (s->out == s->outEnd) return false;
      *s->out++ = static_cast<uint8_t>(symbol);
      continue;
    }
    if (symbol == kEndOfBlock) return true;
    if (symbol > kLastLengthSymbol) return false;

    const uint32_t lengthIndex = static_cast<uint32_t>(symbol - kFirstLengthSymbol);
    const uint32_t lengthExtra = (symbol >= kFirstLengthWithExtra && symbol <= kLastLengthWithExtra)
                                     ? static_cast<uint32_t>(symbol - kFirstLengthWithExtra) / 4 + 1
                                     : 0;
    s->matchLength = kLengthBase[lengthIndex] + ReadBits(s, lengthExtra);

    int distanceCode = fixed ? static_cast<int>(ReverseFixedDistance(ReadBits(s, kFixedDistanceBits)))
                             : DecodeSymbol(s, s->distances);
    if (s->exhausted || distanceCode == kNoSymbol || distanceCode > kLastDistanceCode) return false;
    const uint32_t distanceExtra = distanceCode < kFirstDistanceWithExtra
                                       ? 0
                                       : static_cast<uint32_t>(distanceCode - 2) / 2;
    const uint32_t distance = kDistanceBase[distanceCode] + ReadBits(s, distanceExtra);
    if (s->exhausted) return false;

    if (distance > static_cast<uint32_t>(s->out - s->outStart)) return false;
    if (s->matchLength > static_cast<uint32_t>(s->outEnd - s->out)) return false;
    // A distance shorter than the length repeats the bytes just written, so
    // only a non-overlapping match may be moved as a block.
    const uint8_t* from = s->out - distance;
    if (distance >= s->matchLength) {
      std::memcpy(s->out, from, s->matchLength);
      s->out += s->matchLength;
    } else {
      for (uint32_t i = 0; i < s->matchLength; ++i) *s->out++ = *from++;
    }
  }
}

bool InflateStream(InflaterState* s) {
  const uint32_t header = ReadBits(s, 16);
  const uint32_t method = header & 0x0F;
  const uint32_t window = (header >> 4) & 0x0F;
  const uint32_t flags = header >> 8;
  if (s->exhausted || method != kCompressionDeflate || window > kMaxWindowField ||
      (flags & kPresetDictionaryFlag) != 0) {
    return false;
  }

  do {
    const uint32_t blockHeader = ReadBits(s, 3);
    if (s->exhausted) return false;
    s->finalBlock = (blockHeader & 1) != 0;
    const uint32_t type = blockHeader >> 1;
    bool ok = false;
    if (type == kBlockStored) {
      ok = InflateStored(s);
    } else if (type == kBlockFixed) {
      BuildFixedTable(s);
      ok = InflateCodes(s, true);
    } else if (type == kBlockDynamic) {
      ok = ReadDynamicTables(s) && InflateCodes(s, false);
    }
    if (!ok) return false;
  } while (!s->finalBlock);

  // A short stream would leave rows of the unzeroed buffer unwritten. The
  // Adler-32 that follows is not verified, so it is not read either.
  return s->out == s->outEnd;
}

}  // namespace

bool Inflate(PngDecoderState* state) {
  state->lastError = kPngErrorNotPng;
  InflaterState work;
  StartInput(&work, *state);
  work.outStart = state->inflatedData;
  work.out = state->inflatedData;
  work.outEnd = state->inflatedData + (state->inflatedData ? state->inflatedSize : 0);
  work.finalBlock = false;
  work.matchLength = 0;
  if (!InflateStream(&work)) return false;
  state->lastError = kPngErrorNone;
  return true;
}

}  // namespace vidod
