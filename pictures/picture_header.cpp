#include "pictures/picture_header.h"

#include <cstring>

#include "pictures/png_chunk.h"

namespace vidod {
namespace {

constexpr uint32_t kLargestSide = 0x7FFFFFFF;

// JPEG: the start-of-image marker, then segments, each a 0xFF lead (any
// number of them: fill bytes), a marker byte and, for all but the standalone
// markers, a big-endian length that counts itself. The frame header
// (precision, height, width, components) is the segment of any start-of-frame
// marker 0xC0 to 0xCF but for three that share the range: huffman tables
// 0xC4, the reserved 0xC8 and arithmetic conditioning 0xCC.
constexpr uint8_t kJpegLead = 0xFF;
constexpr uint8_t kJpegStartOfImage = 0xD8;
constexpr uint8_t kJpegEndOfImage = 0xD9;
constexpr uint8_t kJpegStartOfScan = 0xDA;
constexpr uint8_t kJpegTemporary = 0x01;
constexpr uint8_t kJpegFirstRestart = 0xD0;
constexpr uint8_t kJpegLastRestart = 0xD7;
constexpr uint8_t kJpegFirstFrame = 0xC0;
constexpr uint8_t kJpegLastFrame = 0xCF;
constexpr uint8_t kJpegHuffmanTables = 0xC4;
constexpr uint8_t kJpegReserved = 0xC8;
constexpr uint8_t kJpegArithmeticConditioning = 0xCC;
constexpr std::size_t kJpegLengthSize = 2;
constexpr std::size_t kJpegFrameHeight = 3;  // from the length field, after the precision
constexpr std::size_t kJpegFrameWidth = 5;
constexpr std::size_t kJpegFrameMinimumLength = 8;  // up to the component count

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr std::size_t kPngHeaderData = sizeof kPngSignature + kChunkDataOffset;
constexpr std::size_t kPngHeaderDataSize = 13;  // width, height, then five one-byte fields

// GIF: "GIF87a" or "GIF89a", then the logical screen's width and height.
constexpr char kGifSignature[] = "GIF8";
constexpr std::size_t kGifScreen = 6;

// BMP: a 14-byte file header, then the info header, which starts with its
// own size: 12 for the old core header (16-bit sides), 40 or more for the
// others (signed 32-bit sides, a negative height for rows stored top-down).
constexpr std::size_t kBmpInfoHeader = 14;
constexpr uint32_t kBmpCoreHeaderSize = 12;
constexpr uint32_t kBmpInfoHeaderSize = 40;
constexpr std::size_t kBmpSides = kBmpInfoHeader + 4;

uint32_t BigEndian16(const uint8_t* at) { return (uint32_t{at[0]} << 8) | at[1]; }
uint32_t LittleEndian16(const uint8_t* at) { return uint32_t{at[0]} | (uint32_t{at[1]} << 8); }
uint32_t LittleEndian32(const uint8_t* at) {
  return LittleEndian16(at) | (LittleEndian16(at + 2) << 16);
}

bool StartsWith(const uint8_t* bytes, std::size_t size, const void* prefix, std::size_t length) {
  return size >= length && std::memcmp(bytes, prefix, length) == 0;
}

int32_t Sides(uint64_t width, uint64_t height, PictureHeader* header) {
  if (width == 0 || height == 0) return kPictureHeaderNoSize;
  if (width > kLargestSide || height > kLargestSide) return kPictureHeaderTooLarge;
  header->width = static_cast<uint32_t>(width);
  header->height = static_cast<uint32_t>(height);
  return kPictureHeaderOk;
}

bool IsFrameMarker(uint8_t marker) {
  return marker >= kJpegFirstFrame && marker <= kJpegLastFrame && marker != kJpegHuffmanTables &&
         marker != kJpegReserved && marker != kJpegArithmeticConditioning;
}

bool IsStandaloneMarker(uint8_t marker) {
  return marker == kJpegTemporary || (marker >= kJpegFirstRestart && marker <= kJpegLastRestart);
}

int32_t ReadJpeg(const uint8_t* bytes, std::size_t size, PictureHeader* header) {
  std::size_t at = 2;  // past the start-of-image marker
  for (;;) {
    // As the usual decoders do, stray bytes between segments are passed
    // over: up to a lead, past the fill bytes, a zero after a lead being a
    // stuffed byte and no marker.
    uint8_t marker = 0;
    while (marker == 0) {
      while (at < size && bytes[at] != kJpegLead) ++at;
      while (at < size && bytes[at] == kJpegLead) ++at;
      if (at >= size) return kPictureHeaderTruncated;
      marker = bytes[at++];
    }
    if (IsStandaloneMarker(marker)) continue;
    // Entropy-coded data, the end or a second start: the frame header should
    // have come before any of them.
    if (marker == kJpegStartOfScan || marker == kJpegEndOfImage || marker == kJpegStartOfImage)
      return kPictureHeaderDamaged;
    if (size - at < kJpegLengthSize) return kPictureHeaderTruncated;
    const std::size_t length = BigEndian16(bytes + at);
    if (length < kJpegLengthSize) return kPictureHeaderDamaged;
    if (IsFrameMarker(marker)) {
      if (length < kJpegFrameMinimumLength) return kPictureHeaderDamaged;
      if (size - at < length) return kPictureHeaderTruncated;
      return Sides(BigEndian16(bytes + at + kJpegFrameWidth),
                   BigEndian16(bytes + at + kJpegFrameHeight), header);
    }
    if (size - at < length) return kPictureHeaderTruncated;
    at += length;
  }
}

// As the decoder opens a PNG: the first chunk must be a whole IHDR, and its
// fields must lie within the data whatever its length field says.
int32_t ReadPng(const uint8_t* bytes, std::size_t size, PictureHeader* header) {
  if (size < kPngHeaderData + kPngHeaderDataSize) return kPictureHeaderTruncated;
  if (size > UINT32_MAX) size = UINT32_MAX;  // the first chunk lies well inside
  uint32_t length = 0;
  if (!CompleteChunkAt(bytes, static_cast<uint32_t>(size), sizeof kPngSignature, &length))
    return kPictureHeaderTruncated;
  const uint8_t* type = bytes + sizeof kPngSignature + kChunkTypeOffset;
  // The decoder takes the first letter in either case.
  if ((type[0] & 0xDF) != 'I' || std::memcmp(type + 1, "HDR", 3) != 0) return kPictureHeaderDamaged;
  const uint8_t* fields = bytes + kPngHeaderData;
  return Sides(ReadBigEndian32(fields), ReadBigEndian32(fields + 4), header);
}

int32_t ReadGif(const uint8_t* bytes, std::size_t size, PictureHeader* header) {
  if (size < kGifScreen + 4) return kPictureHeaderTruncated;
  if (bytes[5] != 'a' || (bytes[4] != '7' && bytes[4] != '9')) return kPictureHeaderDamaged;
  return Sides(LittleEndian16(bytes + kGifScreen), LittleEndian16(bytes + kGifScreen + 2), header);
}

int32_t ReadBmp(const uint8_t* bytes, std::size_t size, PictureHeader* header) {
  if (size < kBmpInfoHeader + 4) return kPictureHeaderTruncated;
  const uint32_t headerSize = LittleEndian32(bytes + kBmpInfoHeader);
  if (headerSize == kBmpCoreHeaderSize) {
    if (size < kBmpSides + 4) return kPictureHeaderTruncated;
    return Sides(LittleEndian16(bytes + kBmpSides), LittleEndian16(bytes + kBmpSides + 2), header);
  }
  if (headerSize < kBmpInfoHeaderSize) return kPictureHeaderDamaged;
  if (size < kBmpSides + 8) return kPictureHeaderTruncated;
  const int64_t width = static_cast<int32_t>(LittleEndian32(bytes + kBmpSides));
  const int64_t height = static_cast<int32_t>(LittleEndian32(bytes + kBmpSides + 4));
  if (width < 0) return kPictureHeaderDamaged;
  return Sides(static_cast<uint64_t>(width), static_cast<uint64_t>(height < 0 ? -height : height),
               header);
}

}  // namespace

int32_t ReadPictureHeader(const uint8_t* bytes, std::size_t size, PictureHeader* header) {
  header->format = PictureHeaderFormat::kUnknown;
  header->width = 0;
  header->height = 0;
  if (bytes == nullptr) return kPictureHeaderUnknownFormat;
  const uint8_t jpegStart[2] = {kJpegLead, kJpegStartOfImage};
  if (StartsWith(bytes, size, jpegStart, sizeof jpegStart)) {
    header->format = PictureHeaderFormat::kJpeg;
    return ReadJpeg(bytes, size, header);
  }
  if (StartsWith(bytes, size, kPngSignature, sizeof kPngSignature)) {
    header->format = PictureHeaderFormat::kPng;
    return ReadPng(bytes, size, header);
  }
  if (StartsWith(bytes, size, kGifSignature, sizeof kGifSignature - 1)) {
    header->format = PictureHeaderFormat::kGif;
    return ReadGif(bytes, size, header);
  }
  if (StartsWith(bytes, size, "BM", 2)) {
    header->format = PictureHeaderFormat::kBmp;
    return ReadBmp(bytes, size, header);
  }
  return kPictureHeaderUnknownFormat;
}

}  // namespace vidod
