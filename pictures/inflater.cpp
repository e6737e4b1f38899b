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
// Above every symbol of every table, so range checks refuse it too.
constexpr int kNoSymbol = 0x7FFF;

constexpr uint32_t kCompressionDeflate = 8;
constexpr uint32_t kMaxWindowField = 7;
constexpr uint32_t kPresetDictionaryFlag = 0x20;

constexpr uint32_t kBlockStored = 0;
constexpr uint32_t kBlockFixed = 1;
constexpr uint32_t kBlockDynamic = 2;

constexpr uint32_t kFixedDistanceBits = 5;
// Limits past the longest length, for the search that tests four at a time.
constexpr uint32_t kLimitSentinels = 4;
constexpr uint32_t kBitBufferBits = 64;
// Bytes a refill from one load needs in the current chunk.
constexpr uint32_t kFastInputBytes = 8;
constexpr uint32_t kCopyBlock = 8;

constexpr uint8_t kCodeLengthOrder[kCodeLengthSymbols] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                          11, 4,  12, 3, 13, 2, 14, 1, 15};
constexpr uint16_t kLengthBase[kLastLengthSymbol - kFirstLengthSymbol + 1] = {
    3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
    31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint16_t kDistanceBase[kLastDistanceCode + 1] = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};

// One entry per code length (index 0 unused). The limit is the first code
// of that length plus the number of codes of that length, shifted left to
// MaxLength bits; past the last length a sentinel no code reaches. The offset
// is where the length's symbols start in the list, less the first code of the
// length, so that (offset + code) mod 2^16 indexes the list directly.
//
// Codes are canonical, so a code read bit by bit that was refused at every
// shorter length is never below the first code of its own length: "code <
// limit" is the whole acceptance test, and lengths without codes never pass
// it. Left-aligned, the test at length n compares the next MaxLength bits of
// the input, taken as one number, with limit[n]: each further bit of the code
// costs one comparison and nothing else.
template <uint32_t MaxLength, uint32_t Symbols>
struct DecodeTable {
  uint16_t limit[MaxLength + kLimitSentinels + 1];
  uint16_t offset[MaxLength + 1];
  uint16_t shortest;  // first length that has codes; lengths below it are skipped
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
  // Input: the rest of the current IDAT chunk, and the bits already taken
  // from it but not yet used (see "Bit input" below for their order).
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

// Bit input. The buffer holds the next bitCount bits of the stream at its
// top, the next bit in the most significant place, and zeros below them.
// Bits are taken from the least significant end of each input byte, so each
// byte enters the buffer bit-reversed; a Huffman code, sent most significant
// bit first, is then simply the top bits of the buffer, and the extra bits of
// lengths and distances, sent least significant bit first, are those top
// bits reversed.

inline uint32_t Reverse16(uint32_t v) {
  v = ((v >> 1) & 0x5555) | ((v & 0x5555) << 1);
  v = ((v >> 2) & 0x3333) | ((v & 0x3333) << 2);
  v = ((v >> 4) & 0x0F0F) | ((v & 0x0F0F) << 4);
  return ((v >> 8) | (v << 8)) & 0xFFFF;
}

inline uint32_t Reverse8(uint32_t byte) { return Reverse16(byte) >> 8; }

// Eight input bytes in stream bit order: the first bit of the first byte
// becomes the most significant bit.
inline uint64_t LoadStreamOrder64(const uint8_t* bytes) {
  uint64_t v;
  std::memcpy(&v, bytes, sizeof v);
#if !defined(__BYTE_ORDER__) || __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  v = ((v & 0x00000000FFFFFFFFull) << 32) | ((v >> 32) & 0x00000000FFFFFFFFull);
  v = ((v & 0x0000FFFF0000FFFFull) << 16) | ((v >> 16) & 0x0000FFFF0000FFFFull);
  v = ((v & 0x00FF00FF00FF00FFull) << 8) | ((v >> 8) & 0x00FF00FF00FF00FFull);
#endif
  v = ((v & 0x0F0F0F0F0F0F0F0Full) << 4) | ((v >> 4) & 0x0F0F0F0F0F0F0F0Full);
  v = ((v & 0x3333333333333333ull) << 2) | ((v >> 2) & 0x3333333333333333ull);
  v = ((v & 0x5555555555555555ull) << 1) | ((v >> 1) & 0x5555555555555555ull);
  return v;
}

// Adds as many whole bytes of the current chunk as fit below the buffered
// bits, from one 8-byte load; needs kFastInputBytes left in the chunk.
inline void RefillFromLoad(uint64_t* bits, uint32_t* bitCount, const uint8_t** next,
                           uint32_t* left) {
  const uint32_t taken = (kBitBufferBits - 1 - *bitCount) >> 3;
  const uint64_t keep = ~(~uint64_t{0} >> (taken * 8));
  *bits |= (LoadStreamOrder64(*next) & keep) >> *bitCount;
  *bitCount += taken * 8;
  *next += taken;
  *left -= taken;
}

// Tops the bit buffer up with bytes that are surely in the current chunk, so
// it never marks the input exhausted by reading ahead.
inline void Refill(InflaterState* s) {
  if (s->left >= kFastInputBytes) {
    RefillFromLoad(&s->bits, &s->bitCount, &s->next, &s->left);
    return;
  }
  while (s->left > 0 && s->bitCount + 8 < kBitBufferBits) {
    s->bits |= uint64_t{Reverse8(*s->next++)} << (kBitBufferBits - 8 - s->bitCount);
    s->bitCount += 8;
    --s->left;
  }
}

// Only called with fewer than 16 bits buffered.
inline void PullByte(InflaterState* s) {
  s->bits |= uint64_t{Reverse8(NextInputByte(s))} << (kBitBufferBits - 8 - s->bitCount);
  s->bitCount += 8;
}

// The value of the next n bits, the first bit lowest; n is at most 16.
inline uint32_t TakeValue(uint64_t* bits, uint32_t* bitCount, uint32_t n) {
  const uint32_t value = Reverse16(static_cast<uint32_t>(*bits >> 48)) & ((uint32_t{1} << n) - 1);
  *bits <<= n;
  *bitCount -= n;
  return value;
}

inline uint32_t ReadBits(InflaterState* s, uint32_t n) {
  if (s->bitCount < n) {
    Refill(s);
    while (s->bitCount < n) PullByte(s);
  }
  return TakeValue(&s->bits, &s->bitCount, n);
}

// Huffman codes: with MaxLength bits at hand, the top MaxLength bits are one
// left-aligned number, and the code's length is the first length whose limit
// that number is below. Takes the code's bits (MaxLength when none matches).
template <uint32_t MaxLength, uint32_t Symbols>
inline int TakeSymbol(const DecodeTable<MaxLength, Symbols>& table, uint64_t* bits,
                      uint32_t* bitCount) {
  const uint32_t ahead = static_cast<uint32_t>(*bits >> (kBitBufferBits - MaxLength));
  // One bit per length, four lengths per branch: the limits only grow, so
  // the code is longer than length + 3 exactly when it is not below the
  // limit of length + 3, and within a group the lengths passed add up.
  uint32_t length = table.shortest;
  while (ahead >= table.limit[length + 3]) length += 4;
  length += (ahead >= table.limit[length]) + (ahead >= table.limit[length + 1]) +
            (ahead >= table.limit[length + 2]);
  if (length > MaxLength) {
    *bits <<= MaxLength;
    *bitCount -= MaxLength;
    return kNoSymbol;
  }
  *bits <<= length;
  *bitCount -= length;
  const uint32_t code = ahead >> (MaxLength - length);
  return table.symbols[static_cast<uint16_t>(table.offset[length] + code)];
}

// The careful decoding, used where the chunk has too few bytes left for a
// whole code: bits beyond the code must not be read yet, so one bit is pulled
// per length. Lengths without codes still take their bit.
template <uint32_t MaxLength, uint32_t Symbols>
int DecodeSymbol(InflaterState* s, const DecodeTable<MaxLength, Symbols>& table) {
  if (s->bitCount < MaxLength) Refill(s);
  if (s->bitCount >= MaxLength) return TakeSymbol(table, &s->bits, &s->bitCount);
  uint32_t code = 0;
  for (uint32_t length = 1; length <= MaxLength; ++length) {
    if (s->bitCount == 0) PullByte(s);
    code |= static_cast<uint32_t>(s->bits >> (kBitBufferBits - 1));
    s->bits <<= 1;
    --s->bitCount;
    if ((code << (MaxLength - length)) < table.limit[length]) {
      return table.symbols[static_cast<uint16_t>(table.offset[length] + code)];
    }
    code <<= 1;
  }
  return kNoSymbol;
}

// The bit input of the symbol loop, held in locals: stores to the output may
// alias the inflater's record, but not these. Reads refill from one 8-byte
// load while the chunk has that many bytes; nearer its end they hand over to
// the careful reads of the record and take its state back.
struct SymbolInput {
  InflaterState* s;
  uint64_t bits;
  uint32_t bitCount;
  const uint8_t* next;
  uint32_t left;
  bool exhausted;

  void Load() {
    bits = s->bits;
    bitCount = s->bitCount;
    next = s->next;
    left = s->left;
    exhausted = s->exhausted;
  }
  void Store() {
    s->bits = bits;
    s->bitCount = bitCount;
    s->next = next;
    s->left = left;
  }
  uint32_t Value(uint32_t n) {
    if (bitCount < n) {
      if (left < kFastInputBytes) {
        Store();
        const uint32_t value = ReadBits(s, n);
        Load();
        return value;
      }
      RefillFromLoad(&bits, &bitCount, &next, &left);
    }
    return TakeValue(&bits, &bitCount, n);
  }
  // A code of n bits sent most significant bit first (the fixed distances).
  uint32_t Code(uint32_t n) {
    if (bitCount < n) {
      if (left < kFastInputBytes) {
        Store();
        const uint32_t code = Reverse16(ReadBits(s, n)) >> (16 - n);
        Load();
        return code;
      }
      RefillFromLoad(&bits, &bitCount, &next, &left);
    }
    const uint32_t code = static_cast<uint32_t>(bits >> (kBitBufferBits - n));
    bits <<= n;
    bitCount -= n;
    return code;
  }
  template <uint32_t MaxLength, uint32_t Symbols>
  int Symbol(const DecodeTable<MaxLength, Symbols>& table) {
    if (bitCount < MaxLength) {
      if (left < kFastInputBytes) {
        Store();
        const int symbol = DecodeSymbol(s, table);
        Load();
        return exhausted ? kNoSymbol : symbol;
      }
      RefillFromLoad(&bits, &bitCount, &next, &left);
    }
    return TakeSymbol(table, &bits, &bitCount);
  }
};

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
  table->shortest = MaxLength + 1;
  for (uint32_t n = 1; n <= MaxLength; ++n) {
    first = (first + counts[n - 1]) << 1;
    table->limit[n] = static_cast<uint16_t>((first + counts[n]) << (MaxLength - n));
    table->offset[n] = static_cast<uint16_t>(position[n] - first);
    if (counts[n] != 0 && table->shortest > MaxLength) table->shortest = static_cast<uint16_t>(n);
  }
  // Above every left-aligned code, so the search stops past the last length.
  for (uint32_t n = MaxLength + 1; n <= MaxLength + kLimitSentinels; ++n) {
    table->limit[n] = static_cast<uint16_t>(1u << MaxLength);
  }
  if (table->shortest > MaxLength) table->shortest = 1;
  for (uint32_t symbol = 0; symbol < symbolCount; ++symbol) {
    if (lengths[symbol] != 0) table->symbols[position[lengths[symbol]]++] = symbol;
  }

  if (left == 0) return CodeSet::kComplete;
  return coded == counts[1] ? CodeSet::kSparse : CodeSet::kInvalid;
}

bool InflateStored(InflaterState* s) {
  s->bits <<= s->bitCount & 7;
  s->bitCount &= ~uint32_t{7};
  const uint32_t length = ReadBits(s, 16);
  const uint32_t complement = ReadBits(s, 16);
  if (s->exhausted || length != (~complement & 0xFFFF)) return false;
  if (length > static_cast<uint32_t>(s->outEnd - s->out)) return false;

  uint32_t remaining = length;
  while (remaining > 0 && s->bitCount >= 8) {
    *s->out++ = static_cast<uint8_t>(TakeValue(&s->bits, &s->bitCount, 8));
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

// The output of a block being decoded, held in locals for the same reason as
// SymbolInput.
struct Output {
  uint8_t* start;
  uint8_t* out;
  uint8_t* end;
};

// Copies a match of length bytes from distance bytes back, with the meaning
// of a copy one byte at a time: where the distance is shorter than the length
// the copy repeats the bytes it has just written. Blocks of kCopyBlock bytes
// keep that meaning whenever the distance is at least kCopyBlock, since every
// block then reads only bytes already final; the last block may run past the
// match into output not yet written (written again later), never past the
// buffer.
inline void CopyMatch(Output* o, uint32_t distance, uint32_t length) {
  uint8_t* out = o->out;
  const uint8_t* from = out - distance;
  o->out = out + length;
  if (distance >= kCopyBlock && static_cast<uint32_t>(o->end - out) >= length + kCopyBlock - 1) {
    for (uint32_t done = 0; done < length; done += kCopyBlock) {
      std::memcpy(out + done, from + done, kCopyBlock);
    }
    return;
  }
  if (distance == 1) {
    std::memset(out, *from, length);
    return;
  }
  for (uint32_t i = 0; i < length; ++i) out[i] = from[i];
}

enum class Step { kNext, kBlockEnd, kFailed };

// Decodes one literal/length symbol and, for a length, its distance, and
// writes the literal or copies the match.
inline Step DecodeStep(SymbolInput* in, Output* o, InflaterState* s, bool fixed) {
  // An exhausted input gives kNoSymbol here; the bits of a match are checked
  // for it once, after the last of them.
  const int symbol = in->Symbol(s->literals);
  if (symbol < kEndOfBlock) {
    if (o->out == o->end) return Step::kFailed;
    *o->out++ = static_cast<uint8_t>(symbol);
    return Step::kNext;
  }
  if (symbol == kEndOfBlock) return Step::kBlockEnd;
  if (symbol > kLastLengthSymbol) return Step::kFailed;

  const uint32_t lengthIndex = static_cast<uint32_t>(symbol - kFirstLengthSymbol);
  const uint32_t lengthExtra = (symbol >= kFirstLengthWithExtra && symbol <= kLastLengthWithExtra)
                                   ? static_cast<uint32_t>(symbol - kFirstLengthWithExtra) / 4 + 1
                                   : 0;
  const uint32_t length = kLengthBase[lengthIndex] + in->Value(lengthExtra);

  const int distanceCode =
      fixed ? static_cast<int>(in->Code(kFixedDistanceBits)) : in->Symbol(s->distances);
  if (distanceCode > kLastDistanceCode) return Step::kFailed;
  const uint32_t distanceExtra = distanceCode < kFirstDistanceWithExtra
                                     ? 0
                                     : static_cast<uint32_t>(distanceCode - 2) / 2;
  const uint32_t distance = kDistanceBase[distanceCode] + in->Value(distanceExtra);
  if (in->exhausted) return Step::kFailed;

  if (distance > static_cast<uint32_t>(o->out - o->start)) return Step::kFailed;
  if (length > static_cast<uint32_t>(o->end - o->out)) return Step::kFailed;
  s->matchLength = length;
  CopyMatch(o, distance, length);
  return Step::kNext;
}

bool InflateCodes(InflaterState* s, bool fixed) {
  SymbolInput in;
  in.s = s;
  in.Load();
  Output o = {s->outStart, s->out, s->outEnd};
  Step step = Step::kNext;
  do {
    step = DecodeStep(&in, &o, s, fixed);
  } while (step == Step::kNext);
  in.Store();
  s->out = o.out;
  return step == Step::kBlockEnd;
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
