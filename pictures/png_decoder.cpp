#include "pictures/png_decoder.h"

#include <cstring>

#include "common/heap.h"
#include "pictures/inflater.h"
#include "pictures/png_chunk.h"

namespace vidod {
namespace {

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr uint32_t kMinimumSourceSize = 16;
// IHDR fields: width, height (big-endian), then one byte each.
constexpr uint32_t kHeaderDataSize = 13;
constexpr uint32_t kHeaderHeight = 4;
constexpr uint32_t kHeaderBitDepth = 8;
constexpr uint32_t kHeaderColourType = 9;
constexpr uint32_t kHeaderCompression = 10;
constexpr uint32_t kHeaderFilter = 11;
constexpr uint32_t kHeaderInterlace = 12;
constexpr uint32_t kMaxPaletteEntries = 256;

constexpr uint8_t kColourGrey = 0;
constexpr uint8_t kColourTruecolour = 2;
constexpr uint8_t kColourIndexed = 3;
constexpr uint8_t kColourGreyAlpha = 4;
constexpr uint8_t kColourTruecolourAlpha = 6;

constexpr uint8_t kFilterNone = 0;
constexpr uint8_t kFilterSub = 1;
constexpr uint8_t kFilterUp = 2;
constexpr uint8_t kFilterAverage = 3;
constexpr uint8_t kFilterPaeth = 4;

enum class ChunkKind { kNone, kHeader, kPalette, kImageData, kEnd, kAncillary, kUnknownCritical };

struct Chunk {
  ChunkKind kind;
  uint32_t length;
  uint32_t crc;  // read, never verified
};

struct Adam7Pass {
  uint32_t xStart, xShift, yStart, yShift;
};
constexpr Adam7Pass kAdam7[7] = {{0, 3, 0, 3}, {4, 3, 0, 3}, {0, 2, 4, 3}, {2, 2, 0, 2},
                                 {0, 1, 2, 2}, {1, 1, 0, 1}, {0, 0, 1, 1}};
constexpr uint32_t kContiguousPass = 6;  // pass 7: every pixel of every odd row

// How a reconstructed row becomes DIB pixels.
enum class RowConversion {
  kCopy,         // grey and indexed 1, 4, 8 bits
  kWiden2To4,    // grey and indexed 2 bits
  kFirstOf2,     // grey 16: high byte; grey with alpha 8: grey byte
  kFirstOf4,     // grey with alpha 16: high byte of the grey sample
  kRgb8,         // R G B to B G R
  kRgb16,        // high bytes, stored B G R
  kRgba8,        // R G B A to B G R A
  kRgba16,       // high bytes, stored B G R A
};

struct PixelFormat {
  uint32_t bitsPerPixel;  // of the PNG samples of one pixel
  uint32_t dibBitCount;
  RowConversion conversion;
};

bool FormatOf(uint8_t colourType, uint8_t bitDepth, PixelFormat* format) {
  switch (colourType) {
    case kColourGrey:
    case kColourIndexed:
      if (bitDepth == 1 || bitDepth == 4 || bitDepth == 8) {
        *format = {bitDepth, bitDepth, RowConversion::kCopy};
        return true;
      }
      if (bitDepth == 2) {
        *format = {2, 4, RowConversion::kWiden2To4};
        return true;
      }
      if (bitDepth == 16 && colourType == kColourGrey) {
        *format = {16, 8, RowConversion::kFirstOf2};
        return true;
      }
      return false;
    case kColourTruecolour:
      if (bitDepth == 8) *format = {24, 24, RowConversion::kRgb8};
      if (bitDepth == 16) *format = {48, 24, RowConversion::kRgb16};
      return bitDepth == 8 || bitDepth == 16;
    case kColourGreyAlpha:
      if (bitDepth == 8) *format = {16, 8, RowConversion::kFirstOf2};
      if (bitDepth == 16) *format = {32, 8, RowConversion::kFirstOf4};
      return bitDepth == 8 || bitDepth == 16;
    case kColourTruecolourAlpha:
      if (bitDepth == 8) *format = {32, 32, RowConversion::kRgba8};
      if (bitDepth == 16) *format = {64, 32, RowConversion::kRgba16};
      return bitDepth == 8 || bitDepth == 16;
    default:
      return false;
  }
}

uint64_t PackedBytes(uint64_t pixels, uint32_t bitsPerPixel) {
  return (pixels * bitsPerPixel + 7) / 8;
}

uint32_t PassWidth(uint32_t width, const Adam7Pass& pass) {
  return ((width - 1 - pass.xStart) >> pass.xShift) + 1;
}
uint32_t PassHeight(uint32_t height, const Adam7Pass& pass) {
  return ((height - 1 - pass.yStart) >> pass.yShift) + 1;
}
// A pass has pixels when its first column and first row fall inside the
// image; this is the same as masking with the per-side pass tables (width 1:
// 0x55, 2: 0x75, 3 or 4: 0x7D; height 1: 0x2B, 2: 0x6B, 3 or 4: 0x7B).
bool PassHasPixels(uint32_t width, uint32_t height, const Adam7Pass& pass) {
  return pass.xStart < width && pass.yStart < height;
}

bool WithinPixelLimit(uint32_t width, uint32_t height) {
  // Both sides below 2^32: the product cannot pass 64 bits.
  return uint64_t{width} * height <= kPngMaxPixels;
}

// Bytes of the inflated rows, each with its filter byte. Only asked within the
// pixel limit, where no sum or product here comes near 64 bits.
uint64_t InflatedBytes(uint32_t width, uint32_t height, uint8_t interlaceMethod,
                       uint32_t bitsPerPixel) {
  if (interlaceMethod == 0) return (PackedBytes(width, bitsPerPixel) + 1) * height;
  uint64_t total = 0;
  for (const Adam7Pass& pass : kAdam7) {
    if (!PassHasPixels(width, height, pass)) continue;
    total += (PackedBytes(PassWidth(width, pass), bitsPerPixel) + 1) * PassHeight(height, pass);
  }
  return total;
}

bool InflatedSize(const PngDecoderState& state, uint32_t bitsPerPixel, uint32_t* size) {
  if (!WithinPixelLimit(state.width, state.height)) return false;
  const uint64_t total =
      InflatedBytes(state.width, state.height, state.interlaceMethod, bitsPerPixel);
  if (total > kPngMaxDecodedBytes) return false;
  *size = static_cast<uint32_t>(total);
  return true;
}

bool ChunkTypeIs(const uint8_t* type, const char* name) {
  // The first letter is compared without its case.
  return (type[0] & 0xDF) == name[0] && type[1] == name[1] && type[2] == name[2] &&
         type[3] == name[3];
}

Chunk ReadChunk(const PngDecoderState& state) {
  Chunk chunk = {ChunkKind::kNone, 0, 0};
  const uint64_t offset = static_cast<uint64_t>(state.chunkCursor - state.sourceBytes);
  uint32_t length = 0;
  if (!CompleteChunkAt(state.sourceBytes, state.sourceSize, offset, &length)) return chunk;
  const uint8_t* type = state.chunkCursor + kChunkTypeOffset;
  if (ChunkTypeIs(type, "IHDR")) {
    chunk.kind = ChunkKind::kHeader;
  } else if (ChunkTypeIs(type, "PLTE")) {
    chunk.kind = ChunkKind::kPalette;
  } else if (ChunkTypeIs(type, "IDAT")) {
    chunk.kind = ChunkKind::kImageData;
  } else if (ChunkTypeIs(type, "IEND")) {
    chunk.kind = ChunkKind::kEnd;
  } else if (type[0] >= 'a' && type[0] <= 'z') {
    chunk.kind = ChunkKind::kAncillary;
  } else {
    chunk.kind = ChunkKind::kUnknownCritical;
  }
  chunk.length = length;
  chunk.crc = ReadBigEndian32(state.chunkCursor + kChunkDataOffset + length);
  return chunk;
}

bool Fail(PngDecoderState* state, uint32_t code) {
  state->lastError = code;
  return false;
}

bool ParseChunks(PngDecoderState* state) {
  state->chunkCursor = nullptr;
  state->headerData = nullptr;
  state->paletteData = nullptr;
  state->firstImageData = nullptr;
  state->lastError = kPngErrorNone;

  if (state->sourceSize < kMinimumSourceSize ||
      std::memcmp(state->sourceBytes, kPngSignature, sizeof kPngSignature) != 0) {
    return Fail(state, kPngErrorNotPng);
  }
  state->chunkCursor = state->sourceBytes + sizeof kPngSignature;
  Chunk chunk = ReadChunk(*state);
  if (chunk.kind != ChunkKind::kHeader) return Fail(state, kPngErrorNotPng);
  // The length field of IHDR is not checked, but its fields must lie within
  // the source.
  const uint32_t headerOffset = sizeof kPngSignature + kChunkDataOffset;
  if (state->sourceSize - headerOffset < kHeaderDataSize) return Fail(state, kPngErrorNotPng);
  state->headerData = state->sourceBytes + headerOffset;
  state->width = ReadBigEndian32(state->headerData);
  state->height = ReadBigEndian32(state->headerData + kHeaderHeight);
  if (state->width == 0 || state->height == 0) return Fail(state, kPngErrorNotPng);

  // Every chunk up to the end of the source is examined, IEND included.
  for (;;) {
    state->chunkCursor += uint64_t{chunk.length} + kChunkOverhead;
    chunk = ReadChunk(*state);
    if (chunk.kind == ChunkKind::kNone) break;
    if (chunk.kind == ChunkKind::kUnknownCritical) return Fail(state, kPngErrorUnsupported);
    if (chunk.kind == ChunkKind::kPalette && state->paletteData == nullptr) {
      state->paletteData = state->chunkCursor + kChunkDataOffset;
      state->paletteEntryCount = chunk.length / 3;
    }
    if (chunk.kind == ChunkKind::kImageData && state->firstImageData == nullptr) {
      state->firstImageData = state->chunkCursor;
    }
  }

  state->bitDepth = state->headerData[kHeaderBitDepth];
  state->colourType = state->headerData[kHeaderColourType];
  const uint8_t compressionMethod = state->headerData[kHeaderCompression];
  const uint8_t filterMethod = state->headerData[kHeaderFilter];
  state->interlaceMethod = state->headerData[kHeaderInterlace];
  PixelFormat format;
  if (!FormatOf(state->colourType, state->bitDepth, &format) || compressionMethod != 0 ||
      filterMethod != 0 || state->interlaceMethod > 1) {
    return Fail(state, kPngErrorUnsupported);
  }
  return true;
}

// --- Row reconstruction -------------------------------------------------

// The predictor nearest to left + above - upperLeft, ties going to the left
// byte, then to the byte above. That estimate lies |above - upperLeft| from
// left, |left - upperLeft| from above and |left + above - 2 upperLeft| from
// upperLeft. The choice is written as two selections, which compilers turn
// into conditional moves: the winner changes from byte to byte, so branches
// on it would mostly be mispredicted.
inline uint8_t Paeth(uint8_t left, uint8_t above, uint8_t upperLeft) {
  const int fromAbove = above - upperLeft;
  const int fromLeft = left - upperLeft;
  const int toLeft = fromAbove < 0 ? -fromAbove : fromAbove;
  const int toAbove = fromLeft < 0 ? -fromLeft : fromLeft;
  const int sum = fromAbove + fromLeft;
  const int toUpperLeft = sum < 0 ? -sum : sum;
  const uint8_t aboveOrUpperLeft = toAbove <= toUpperLeft ? above : upperLeft;
  const int nearerOfThem = toAbove <= toUpperLeft ? toAbove : toUpperLeft;
  return toLeft <= nearerOfThem ? left : aboveOrUpperLeft;
}

// out[i] = in[i] + above[i] (mod 256), eight bytes per step: the low seven
// bits of each byte are added apart from the top bit, so no carry crosses
// into the next byte, and the top bit is their sum's top bit xor both top
// bits. Plain 64-bit arithmetic, fast at any optimisation level.
void AddBytes(const uint8_t* in, const uint8_t* above, uint8_t* out, uint32_t length) {
  constexpr uint64_t kLowSeven = 0x7F7F7F7F7F7F7F7Full;
  constexpr uint64_t kTopBits = 0x8080808080808080ull;
  uint32_t i = 0;
  for (; i + sizeof(uint64_t) <= length; i += sizeof(uint64_t)) {
    uint64_t a;
    uint64_t b;
    std::memcpy(&a, in + i, sizeof a);
    std::memcpy(&b, above + i, sizeof b);
    const uint64_t sum = ((a & kLowSeven) + (b & kLowSeven)) ^ ((a ^ b) & kTopBits);
    std::memcpy(out + i, &sum, sizeof sum);
  }
  for (; i < length; ++i) out[i] = static_cast<uint8_t>(in[i] + above[i]);
}

// Reconstructs one filtered row of length bytes into out. previous is the
// reconstructed row above, or nullptr for the first row of the image or pass
// (then taken as zeros). step is the byte distance to the same byte of the
// pixel to the left.
void Unfilter(uint8_t filter, const uint8_t* in, const uint8_t* previous, uint8_t* out,
              uint32_t length, uint32_t step) {
  const uint32_t head = step < length ? step : length;
  switch (filter) {
    case kFilterSub:
      std::memcpy(out, in, head);
      for (uint32_t i = head; i < length; ++i) out[i] = static_cast<uint8_t>(in[i] + out[i - step]);
      break;
    case kFilterUp:
      if (previous == nullptr) {
        std::memcpy(out, in, length);
        break;
      }
      AddBytes(in, previous, out, length);
      break;
    case kFilterAverage:
      if (previous == nullptr) {
        std::memcpy(out, in, head);
        for (uint32_t i = head; i < length; ++i) {
          out[i] = static_cast<uint8_t>(in[i] + (out[i - step] >> 1));
        }
        break;
      }
      for (uint32_t i = 0; i < head; ++i) out[i] = static_cast<uint8_t>(in[i] + (previous[i] >> 1));
      for (uint32_t i = head; i < length; ++i) {
        out[i] = static_cast<uint8_t>(in[i] + ((out[i - step] + previous[i]) >> 1));
      }
      break;
    case kFilterPaeth:
      if (previous == nullptr) {
        // With zeros above, the predictor is always the left byte.
        std::memcpy(out, in, head);
        for (uint32_t i = head; i < length; ++i) out[i] = static_cast<uint8_t>(in[i] + out[i - step]);
        break;
      }
      for (uint32_t i = 0; i < head; ++i) out[i] = static_cast<uint8_t>(in[i] + previous[i]);
      for (uint32_t i = head; i < length; ++i) {
        out[i] = static_cast<uint8_t>(
            in[i] + Paeth(out[i - step], previous[i], previous[i - step]));
      }
      break;
  }
}

// --- Row conversions --------------------------------------------------------

// Converts a reconstructed row of pixels into DIB pixel bytes and returns the
// byte count written: exactly the packed size of the pixels at the DIB bit count.
uint32_t ConvertRow(RowConversion conversion, const uint8_t* in, uint32_t pixels, uint8_t* out) {
  switch (conversion) {
    case RowConversion::kCopy:
      // Only reached with whole packed rows, whose size matches the DIB's.
      break;
    case RowConversion::kWiden2To4: {
      const uint32_t written = static_cast<uint32_t>(PackedBytes(pixels, 4));
      for (uint32_t i = 0; i < written; ++i) {
        const uint32_t pair = (in[i >> 1] >> ((i & 1) ? 0 : 4)) & 0x0F;
        out[i] = static_cast<uint8_t>(((pair >> 2) << 4) | (pair & 0x03));
      }
      return written;
    }
    case RowConversion::kFirstOf2:
      for (uint32_t i = 0; i < pixels; ++i) out[i] = in[2 * i];
      return pixels;
    case RowConversion::kFirstOf4:
      for (uint32_t i = 0; i < pixels; ++i) out[i] = in[4 * i];
      return pixels;
    case RowConversion::kRgb8:
      for (uint32_t i = 0; i < pixels; ++i, in += 3, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
      }
      return pixels * 3;
    case RowConversion::kRgb16:
      for (uint32_t i = 0; i < pixels; ++i, in += 6, out += 3) {
        out[0] = in[4];
        out[1] = in[2];
        out[2] = in[0];
      }
      return pixels * 3;
    case RowConversion::kRgba8:
      for (uint32_t i = 0; i < pixels; ++i, in += 4, out += 4) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
        out[3] = in[3];
      }
      return pixels * 4;
    case RowConversion::kRgba16:
      for (uint32_t i = 0; i < pixels; ++i, in += 8, out += 4) {
        out[0] = in[4];
        out[1] = in[2];
        out[2] = in[0];
        out[3] = in[6];
      }
      return pixels * 4;
  }
  return 0;
}

uint32_t ConvertOrCopyRow(const PixelFormat& format, const uint8_t* in, uint32_t pixels,
                          uint32_t rowBytes, uint8_t* out) {
  if (format.conversion == RowConversion::kCopy) {
    std::memcpy(out, in, rowBytes);
    return rowBytes;
  }
  return ConvertRow(format.conversion, in, pixels, out);
}

// Places the converted pixels of one pass row into a bitmap row. Sub-byte
// pixels are packed from the most significant end, in the pass row as in the
// bitmap, and are ORed into the bitmap zeroed beforehand.
void PlacePassRow(const uint8_t* row, uint32_t pixels, uint32_t dibBitCount, const Adam7Pass& pass,
                  uint8_t* out) {
  const uint32_t step = 1u << pass.xShift;
  uint32_t x = pass.xStart;
  if (dibBitCount == 1) {
    for (uint32_t k = 0; k < pixels; ++k, x += step) {
      const uint32_t bit = (row[k >> 3] >> (7 - (k & 7))) & 1;
      out[x >> 3] |= static_cast<uint8_t>(bit << (7 - (x & 7)));
    }
  } else if (dibBitCount == 4) {
    for (uint32_t k = 0; k < pixels; ++k, x += step) {
      const uint32_t nibble = (row[k >> 1] >> ((k & 1) ? 0 : 4)) & 0x0F;
      out[x >> 1] |= static_cast<uint8_t>(nibble << ((x & 1) ? 0 : 4));
    }
  } else {
    const uint32_t pixelBytes = dibBitCount / 8;
    for (uint32_t k = 0; k < pixels; ++k, x += step) {
      std::memcpy(out + x * pixelBytes, row + k * pixelBytes, pixelBytes);
    }
  }
}

// Walks the filtered rows of one image or pass: checks each filter type,
// reconstructs into the row buffer that does not hold the previous row, and
// hands filter-0 rows on where they lie in the inflated data.
struct RowReader {
  const uint8_t* data;
  uint32_t size;
  uint32_t position;
  uint8_t* buffers[2];
  const uint8_t* previous;
  uint32_t step;
};

const uint8_t* NextRow(RowReader* reader, uint32_t rowBytes) {
  if (reader->size - reader->position < uint64_t{rowBytes} + 1) return nullptr;
  const uint8_t filter = reader->data[reader->position];
  const uint8_t* in = reader->data + reader->position + 1;
  reader->position += rowBytes + 1;
  if (filter > kFilterPaeth) return nullptr;
  const uint8_t* row = in;
  if (filter != kFilterNone) {
    uint8_t* spare = reader->previous == reader->buffers[0] ? reader->buffers[1] : reader->buffers[0];
    Unfilter(filter, in, reader->previous, spare, rowBytes, reader->step);
    row = spare;
  }
  reader->previous = row;
  return row;
}

bool ComputeBitmapSize(const PngDecoderState& state, const PixelFormat& format, uint32_t* stride,
                       uint32_t* size) {
  if (!WithinPixelLimit(state.width, state.height)) return false;
  const uint64_t rowStride = (PackedBytes(state.width, format.dibBitCount) + 3) / 4 * 4;
  const uint64_t total = rowStride * state.height;
  if (total > kPngMaxDecodedBytes) return false;
  *stride = static_cast<uint32_t>(rowStride);
  *size = static_cast<uint32_t>(total);
  return true;
}

}  // namespace

bool PngSizeWithinLimits(uint32_t width, uint32_t height, uint8_t colourType, uint8_t bitDepth,
                         uint8_t interlaceMethod) {
  PixelFormat format;
  if (!FormatOf(colourType, bitDepth, &format)) return false;
  PngDecoderState state = {};
  state.width = width;
  state.height = height;
  state.interlaceMethod = interlaceMethod;
  uint32_t inflated = 0, stride = 0, bitmap = 0;
  return InflatedSize(state, format.bitsPerPixel, &inflated) &&
         ComputeBitmapSize(state, format, &stride, &bitmap);
}

namespace PngDecoder {

bool Reset(PngDecoderState* state) {
  std::memset(state, 0, sizeof *state);
  return true;
}

bool OpenBytes(PngDecoderState* state, const uint8_t* bytes, uint32_t size) {
  if (state->sourceKind != kPngSourceNone || state->state != kPngStateEmpty) {
    return Fail(state, kPngErrorSourceInUse);
  }
  state->lastError = kPngErrorNone;
  if (bytes == nullptr || size == 0) return Fail(state, kPngErrorResourceUnloaded);
  state->sourceBytes = bytes;
  state->sourceSize = size;
  state->sourceKind = kPngSourceResource;
  if (!ParseChunks(state)) {
    state->sourceKind = kPngSourceNone;
    state->sourceBytes = nullptr;
    state->sourceSize = 0;
    return false;
  }
  state->state = kPngStateOpened;
  return true;
}

bool Decode(PngDecoderState* state) {
  if (state->state != kPngStateOpened) return Fail(state, kPngErrorWrongState);
  // Parsing lets these through; there is nothing to decode or no colours to
  // show, so they stop here before anything is allocated.
  if (state->firstImageData == nullptr) return Fail(state, kPngErrorNotPng);
  if (state->colourType == kColourIndexed &&
      (state->paletteData == nullptr || state->paletteEntryCount == 0)) {
    return Fail(state, kPngErrorUnsupported);
  }
  PixelFormat format;
  uint32_t size = 0;
  if (!FormatOf(state->colourType, state->bitDepth, &format)) {
    return Fail(state, kPngErrorUnsupported);
  }
  if (!InflatedSize(*state, format.bitsPerPixel, &size)) return Fail(state, kPngErrorTooLarge);
  uint8_t* buffer = static_cast<uint8_t*>(HeapAllocate(size));
  if (buffer == nullptr) return Fail(state, kPngErrorNoMemory);
  state->inflatedData = buffer;
  state->inflatedSize = size;
  if (!Inflate(state)) {
    HeapRelease(buffer);
    state->inflatedData = nullptr;
    state->inflatedSize = 0;
    return false;
  }
  state->state = kPngStateDecoded;
  return true;
}

bool BitmapSize(const PngDecoderState* state, uint32_t* stride, uint32_t* size) {
  PixelFormat format;
  return FormatOf(state->colourType, state->bitDepth, &format) &&
         ComputeBitmapSize(*state, format, stride, size);
}

bool BuildBitmapInfo(PngDecoderState* state, BitmapInfo* info) {
  if (state->state != kPngStateDecoded) return Fail(state, kPngErrorWrongState);
  PixelFormat format;
  uint32_t stride = 0;
  uint32_t size = 0;
  if (!FormatOf(state->colourType, state->bitDepth, &format)) {
    return Fail(state, kPngErrorUnsupported);
  }
  if (!ComputeBitmapSize(*state, format, &stride, &size)) return Fail(state, kPngErrorTooLarge);

  std::memset(info, 0, sizeof *info);
  DibHeader& header = info->header;
  header.size = kDibHeaderSize;
  header.width = static_cast<int32_t>(state->width);
  header.height = -static_cast<int32_t>(state->height);
  header.planes = 1;
  header.bitCount = static_cast<uint16_t>(format.dibBitCount);

  if (state->colourType == kColourIndexed) {
    const uint32_t entries =
        state->paletteEntryCount < kMaxPaletteEntries ? state->paletteEntryCount : kMaxPaletteEntries;
    for (uint32_t i = 0; i < entries; ++i) {
      const uint8_t* rgb = state->paletteData + 3 * i;
      info->colours[i] = {rgb[2], rgb[1], rgb[0], 0};
    }
  } else if (format.dibBitCount <= 8) {
    const uint32_t entries = state->bitDepth < 8 ? 1u << state->bitDepth : kMaxPaletteEntries;
    for (uint32_t i = 0; i < entries; ++i) {
      const uint8_t v = static_cast<uint8_t>(i * 255 / (entries - 1));
      info->colours[i] = {v, v, v, 0};
    }
    header.coloursUsed = entries;
  }
  return true;
}

bool UnfilterAndConvert(PngDecoderState* state, uint8_t* bits) {
  if (state->state != kPngStateDecoded) return Fail(state, kPngErrorWrongState);
  if (bits == nullptr) return Fail(state, kPngErrorNoBitmap);
  PixelFormat format;
  uint32_t stride = 0;
  uint32_t bitmapBytes = 0;
  if (!FormatOf(state->colourType, state->bitDepth, &format)) {
    return Fail(state, kPngErrorUnsupported);
  }
  if (!ComputeBitmapSize(*state, format, &stride, &bitmapBytes)) {
    return Fail(state, kPngErrorTooLarge);
  }
  // Within the limits a full row, and so this block, stays far below 32 bits.
  const uint32_t rowBytes = static_cast<uint32_t>(PackedBytes(state->width, format.bitsPerPixel));
  const uint64_t blockSize = (uint64_t{rowBytes} * 2 + 16 + 7) / 8 * 8;
  uint8_t* rowBlock = static_cast<uint8_t*>(HeapAllocate(static_cast<size_t>(blockSize)));
  if (rowBlock == nullptr) return Fail(state, kPngErrorNoMemory);

  RowReader reader = {state->inflatedData, state->inflatedSize, 0,
                      {rowBlock, rowBlock + blockSize / 2}, nullptr,
                      format.bitsPerPixel >= 16 ? format.bitsPerPixel / 8 : 1};
  bool ok = true;
  if (state->interlaceMethod == 0) {
    uint8_t* out = bits;
    for (uint32_t y = 0; y < state->height && ok; ++y, out += stride) {
      const uint8_t* row = NextRow(&reader, rowBytes);
      ok = row != nullptr;
      if (ok) ConvertOrCopyRow(format, row, state->width, rowBytes, out);
    }
  } else {
    uint8_t* passRow = static_cast<uint8_t*>(HeapAllocate(uint64_t{stride} + 16));
    if (passRow == nullptr) {
      HeapRelease(rowBlock);
      return Fail(state, kPngErrorNoMemory);
    }
    if (format.dibBitCount < 8) std::memset(bits, 0, bitmapBytes);
    for (uint32_t p = 0; p < 7 && ok; ++p) {
      const Adam7Pass& pass = kAdam7[p];
      if (!PassHasPixels(state->width, state->height, pass)) continue;
      const uint32_t pixels = PassWidth(state->width, pass);
      const uint32_t rows = PassHeight(state->height, pass);
      const uint32_t passBytes = static_cast<uint32_t>(PackedBytes(pixels, format.bitsPerPixel));
      reader.previous = nullptr;
      for (uint32_t r = 0; r < rows && ok; ++r) {
        const uint8_t* row = NextRow(&reader, passBytes);
        ok = row != nullptr;
        if (!ok) break;
        uint8_t* out = bits + uint64_t{pass.yStart + (r << pass.yShift)} * stride;
        if (p == kContiguousPass) {
          ConvertOrCopyRow(format, row, pixels, passBytes, out);
        } else {
          ConvertOrCopyRow(format, row, pixels, passBytes, passRow);
          PlacePassRow(passRow, pixels, format.dibBitCount, pass, out);
        }
      }
    }
    HeapRelease(passRow);
  }
  HeapRelease(rowBlock);
  // A filter type above 4, or rows missing from the inflated data.
  if (!ok) return Fail(state, kPngErrorNotPng);
  return true;
}

bool Release(PngDecoderState* state) {
  if (state->state == kPngStateDecoded) HeapRelease(state->inflatedData);
  return Reset(state);
}

}  // namespace PngDecoder

}  // namespace vidod
