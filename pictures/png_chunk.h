// Layout of a PNG chunk: a 4-byte big-endian data length, a 4-byte type, the
// data, then a 4-byte CRC (never verified here), and the colour types of the
// header. Shared by the chunk parser, the inflater, which walks the IDAT run
// itself, and the drawing of transparent pixels.
#pragma once

#include <cstdint>

namespace vidod {

// IHDR colour types.
constexpr uint8_t kColourGrey = 0;
constexpr uint8_t kColourTruecolour = 2;
constexpr uint8_t kColourIndexed = 3;
constexpr uint8_t kColourGreyAlpha = 4;
constexpr uint8_t kColourTruecolourAlpha = 6;

constexpr uint32_t kChunkTypeOffset = 4;
constexpr uint32_t kChunkDataOffset = 8;
constexpr uint32_t kChunkCrcSize = 4;
constexpr uint32_t kChunkOverhead = kChunkDataOffset + kChunkCrcSize;

inline uint32_t ReadBigEndian32(const uint8_t* bytes) {
  return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) |
         uint32_t{bytes[3]};
}

// True when a whole chunk (header, data and CRC) starts at offset and ends
// within the source; *length receives its data length. The arithmetic stays
// in 64 bits so that a huge length field cannot wrap round.
inline bool CompleteChunkAt(const uint8_t* source, uint32_t sourceSize, uint64_t offset,
                            uint32_t* length) {
  if (offset >= sourceSize || sourceSize - offset < kChunkOverhead) return false;
  const uint32_t dataLength = ReadBigEndian32(source + offset);
  if (uint64_t{dataLength} + kChunkOverhead > sourceSize - offset) return false;
  *length = dataLength;
  return true;
}

}  // namespace vidod
