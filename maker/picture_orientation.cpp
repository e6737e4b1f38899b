#include "maker/picture_orientation.h"

#include <algorithm>

namespace vidod {
namespace {

constexpr uint8_t kMarker = 0xFF;
constexpr uint8_t kStartOfImage = 0xD8;
constexpr uint8_t kStartOfScan = 0xDA;
constexpr uint8_t kEndOfImage = 0xD9;
constexpr uint8_t kApp1 = 0xE1;
constexpr uint8_t kFirstRestart = 0xD0;
constexpr uint8_t kLastRestart = 0xD7;
constexpr uint8_t kTemporary = 0x01;
constexpr char kExifHeader[] = "Exif\0\0";
constexpr std::size_t kExifHeaderSize = 6;
constexpr std::size_t kTiffHeaderSize = 8;
constexpr std::size_t kIfdEntrySize = 12;
constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kShortType = 3;
constexpr uint16_t kUpright = 1;
constexpr uint16_t kLastOrientation = 8;
constexpr std::size_t kChannels = 4;

// The EXIF orientations as turns, from 1: upright, mirrored, half turn,
// mirrored upside down, mirrored and turned a quarter anticlockwise, a
// quarter clockwise, mirrored and a quarter clockwise, a quarter
// anticlockwise.
constexpr PictureTurn kExifTurns[kLastOrientation] = {{0, false}, {0, true}, {2, false}, {2, true},
                                                      {3, true},  {1, false}, {1, true}, {3, false}};

// TIFF data ("II" little-endian or "MM" big-endian), read within its size.
struct Tiff {
  const uint8_t* bytes;
  std::size_t size;
  bool little;
  bool Read16(std::size_t at, uint16_t* value) const {
    if (at > size || size - at < 2) return false;
    *value = little ? static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8))
                    : static_cast<uint16_t>((bytes[at] << 8) | bytes[at + 1]);
    return true;
  }
  bool Read32(std::size_t at, uint32_t* value) const {
    uint16_t first = 0, second = 0;
    if (!Read16(at, &first) || !Read16(at + 2, &second)) return false;
    *value = little ? (uint32_t{second} << 16) | first : (uint32_t{first} << 16) | second;
    return true;
  }
};

// The orientation entry of the first image directory, the one that
// describes the main picture.
uint16_t OrientationInTiff(const uint8_t* bytes, std::size_t size) {
  if (size < kTiffHeaderSize) return kUpright;
  Tiff tiff = {bytes, size, bytes[0] == 'I'};
  if (!(bytes[0] == 'I' && bytes[1] == 'I') && !(bytes[0] == 'M' && bytes[1] == 'M')) return kUpright;
  uint32_t directory = 0;
  uint16_t count = 0;
  if (!tiff.Read32(4, &directory) || !tiff.Read16(directory, &count)) return kUpright;
  for (uint16_t i = 0; i < count; ++i) {
    const std::size_t entry = std::size_t{directory} + 2 + std::size_t{i} * kIfdEntrySize;
    uint16_t tag = 0, type = 0, value = 0;
    if (!tiff.Read16(entry, &tag) || !tiff.Read16(entry + 2, &type)) return kUpright;
    if (tag != kOrientationTag) continue;
    if (type != kShortType || !tiff.Read16(entry + 8, &value)) return kUpright;
    return value >= 1 && value <= kLastOrientation ? value : kUpright;
  }
  return kUpright;
}

}  // namespace

bool operator==(const PictureTurn& a, const PictureTurn& b) {
  return a.quarterTurns == b.quarterTurns && a.mirrored == b.mirrored;
}

PictureTurn TurnOfExifOrientation(uint16_t orientation) {
  return orientation >= 1 && orientation <= kLastOrientation ? kExifTurns[orientation - 1] : PictureTurn{};
}

uint16_t ReadJpegOrientation(const uint8_t* bytes, std::size_t size) {
  if (size < 2 || bytes[0] != kMarker || bytes[1] != kStartOfImage) return kUpright;
  std::size_t at = 2;
  while (at + 4 <= size) {
    if (bytes[at] != kMarker) return kUpright;
    const uint8_t marker = bytes[at + 1];
    if (marker == kMarker) {  // fill bytes before a marker
      ++at;
      continue;
    }
    if (marker == kStartOfScan || marker == kEndOfImage) return kUpright;
    if (marker == kTemporary || (marker >= kFirstRestart && marker <= kLastRestart)) {
      at += 2;
      continue;
    }
    const std::size_t length = (std::size_t{bytes[at + 2]} << 8) | bytes[at + 3];
    if (length < 2 || length > size - at - 2) return kUpright;
    const uint8_t* segment = bytes + at + 4;
    const std::size_t segmentSize = length - 2;
    if (marker == kApp1 && segmentSize > kExifHeaderSize && std::equal(segment, segment + kExifHeaderSize, kExifHeader))
      return OrientationInTiff(segment + kExifHeaderSize, segmentSize - kExifHeaderSize);
    at += 2 + length;
  }
  return kUpright;
}

PictureTurn ThenRotate(PictureTurn turn, int degrees) {
  const int quarters = ((degrees / 90) % 4 + 4) % 4;
  turn.quarterTurns = static_cast<uint8_t>((turn.quarterTurns + quarters) % 4);
  return turn;
}

RgbaPicture TurnPicture(const RgbaPicture& picture, PictureTurn turn) {
  const uint32_t w = picture.width, h = picture.height;
  RgbaPicture turned;
  turned.width = SwapsSides(turn) ? h : w;
  turned.height = SwapsSides(turn) ? w : h;
  turned.pixels.resize(picture.pixels.size());
  for (uint32_t y = 0; y < turned.height; ++y) {
    for (uint32_t x = 0; x < turned.width; ++x) {
      // The pixel of the mirrored picture that lands here, then the mirror undone.
      uint32_t sx = x, sy = y;
      switch (turn.quarterTurns % 4) {
        case 1: sx = y, sy = h - 1 - x; break;
        case 2: sx = w - 1 - x, sy = h - 1 - y; break;
        case 3: sx = w - 1 - y, sy = x; break;
        default: break;
      }
      if (turn.mirrored) sx = w - 1 - sx;
      const uint8_t* from = &picture.pixels[(std::size_t{sy} * w + sx) * kChannels];
      std::copy(from, from + kChannels, &turned.pixels[(std::size_t{y} * turned.width + x) * kChannels]);
    }
  }
  return turned;
}

}  // namespace vidod
