// The orientation reader of JPEG files on any bytes, as a JPEG with an
// EXIF segment: it stays within the input, gives a value of 1 to 8, and
// reads only what comes before the first scan, so that bytes appended
// after a cut in the scan change nothing. The turn of the value undoes
// with the inverse turn on a small picture.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "maker/picture_orientation.h"

namespace vidod {
namespace {

using fuzz::Check;

// The input as the body of an EXIF segment, and as a whole file.
int FuzzOneInput(const uint8_t* data, std::size_t size) {
  const uint16_t whole = ReadJpegOrientation(data, size);
  Check(whole >= 1 && whole <= 8, "orientation within 1 to 8");

  std::vector<uint8_t> file = {0xFF, 0xD8, 0xFF, 0xE1};
  const std::size_t length = std::min<std::size_t>(size + 8, 0xFFFF);
  file.push_back(static_cast<uint8_t>(length >> 8));
  file.push_back(static_cast<uint8_t>(length & 0xFF));
  file.insert(file.end(), {'E', 'x', 'i', 'f', 0, 0});
  file.insert(file.end(), data, data + (length - 8));
  file.insert(file.end(), {0xFF, 0xDA, 0x00, 0x02});
  const uint16_t framed = ReadJpegOrientation(file.data(), file.size());
  Check(framed >= 1 && framed <= 8, "framed orientation within 1 to 8");
  file.insert(file.end(), data, data + size);
  Check(ReadJpegOrientation(file.data(), file.size()) == framed, "nothing after the scan counts");

  // A 3 x 2 picture of distinct pixels turned and turned back is itself.
  RgbaPicture picture;
  picture.width = 3;
  picture.height = 2;
  for (uint8_t i = 0; i < 24; ++i) picture.pixels.push_back(i);
  PictureTurn turn = TurnOfExifOrientation(framed);
  PictureTurn back = turn;
  if (!back.mirrored) back.quarterTurns = static_cast<uint8_t>((4 - back.quarterTurns) % 4);
  const RgbaPicture turned = TurnPicture(picture, turn);
  Check(turned.width == (SwapsSides(turn) ? 2u : 3u), "turned width");
  Check(TurnPicture(turned, back).pixels == picture.pixels, "the inverse turn undoes the turn");
  return 0;
}

}  // namespace
}  // namespace vidod

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  return vidod::FuzzOneInput(data, size);
}
