// Picture sizes read from headers alone, and fitted into a box: made-up
// headers of each format, damaged ones, and the PNG suite against the PNG
// decoder. (Real JPEG, GIF and BMP files are compared with the system's
// picture service in the Windows tests.)
#include "pictures/picture_header.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "picture_test_support.h"
#include "pictures/fit_to_box.h"
#include "pictures/png_decoder.h"

namespace vidod {
namespace {

using test::Bytes;

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// A JPEG segment: lead, marker, length (counting itself), then the data.
Bytes Segment(uint8_t marker, const Bytes& data) {
  const size_t length = data.size() + 2;
  return Join({{0xFF, marker, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)}, data});
}
// Frame header data: precision, height, width, one component.
Bytes FrameData(uint16_t width, uint16_t height) {
  return {8, static_cast<uint8_t>(height >> 8), static_cast<uint8_t>(height), static_cast<uint8_t>(width >> 8),
          static_cast<uint8_t>(width), 1, 1, 0x11, 0};
}
const Bytes kStartOfImage = {0xFF, 0xD8};
const Bytes kApp0 = Segment(0xE0, {'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
Bytes Jpeg(uint8_t frameMarker, uint16_t width, uint16_t height) {
  return Join({kStartOfImage, kApp0, Segment(frameMarker, FrameData(width, height)), {0xFF, 0xD9}});
}

Bytes Png(uint32_t width, uint32_t height) {
  return test::AssemblePng({{"IHDR", test::IhdrData(width, height, 8, 2)}, {"IEND", {}}});
}

Bytes Gif(const char* version, uint16_t width, uint16_t height) {
  Bytes gif(version, version + 6);
  for (uint16_t side : {width, height}) {
    gif.push_back(static_cast<uint8_t>(side));
    gif.push_back(static_cast<uint8_t>(side >> 8));
  }
  return Join({gif, {0, 0, 0, 0x3B}});
}

void PutLittle32(Bytes* bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) (*bytes)[at + i] = static_cast<uint8_t>(value >> (8 * i));
}
// A file header and an info header of headerSize bytes; the sides are
// written as 16-bit fields in the old 12-byte header, as 32-bit ones else.
Bytes Bmp(uint32_t headerSize, int32_t width, int32_t height) {
  Bytes bmp(14 + headerSize, 0);
  bmp[0] = 'B';
  bmp[1] = 'M';
  PutLittle32(&bmp, 14, headerSize);
  if (headerSize == 12) {
    bmp[18] = static_cast<uint8_t>(width);
    bmp[19] = static_cast<uint8_t>(width >> 8);
    bmp[20] = static_cast<uint8_t>(height);
    bmp[21] = static_cast<uint8_t>(height >> 8);
  } else {
    PutLittle32(&bmp, 18, static_cast<uint32_t>(width));
    PutLittle32(&bmp, 22, static_cast<uint32_t>(height));
  }
  return bmp;
}

Bytes Cut(Bytes bytes, size_t size) {
  bytes.resize(size);
  return bytes;
}

int32_t Read(const Bytes& bytes, PictureHeader* header) {
  // An exact-size copy, so that the sanitizers see any read past the end.
  const std::vector<uint8_t> copy(bytes);
  return ReadPictureHeader(copy.empty() ? nullptr : copy.data(), copy.size(), header);
}

TEST(PictureHeaderTest, ReadsTheSizeOfEachFormat) {
  const Bytes appAndTables = Join({kStartOfImage, kApp0, Segment(0xE1, Bytes(40, 'x')), Segment(0xFE, {'c'}),
                                   Segment(0xDB, Bytes(65, 1)), Segment(0xC4, Bytes(20, 2)),
                                   Segment(0xCC, {0, 1}), Segment(0xC8, {}), Segment(0xC2, FrameData(321, 123))});
  const struct {
    const char* name;
    Bytes bytes;
    PictureHeaderFormat format;
    uint32_t width, height;
  } cases[] = {
      {"baseline JPEG", Jpeg(0xC0, 640, 480), PictureHeaderFormat::kJpeg, 640, 480},
      // application, comment, table segments and the three markers of the
      // frame range that are no frames, all skipped by their lengths
      {"progressive JPEG after other segments", appAndTables, PictureHeaderFormat::kJpeg, 321, 123},
      // fill bytes before a marker, standalone markers without a length, and
      // stray bytes between segments (a stuffed zero among them), passed over
      // as the decoders do
      {"JPEG with fill bytes, restart markers and stray bytes",
       Join({kStartOfImage, {0xFF, 0xFF, 0xFF, 0xD0, 0xFF, 0x01, 0x00, 0x12, 0xFF, 0x00},
             Segment(0xC1, FrameData(65535, 1))}),
       PictureHeaderFormat::kJpeg, 65535, 1},
      {"PNG", Png(5, 4), PictureHeaderFormat::kPng, 5, 4},
      {"PNG with the largest sides", Png(0x7FFFFFFF, 0x7FFFFFFF), PictureHeaderFormat::kPng, 0x7FFFFFFF, 0x7FFFFFFF},
      // the decoder takes the first letter of the type in either case
      {"PNG with iHDR", test::AssemblePng({{"iHDR", test::IhdrData(7, 3, 8, 2)}}), PictureHeaderFormat::kPng, 7, 3},
      {"GIF87a", Gif("GIF87a", 300, 200), PictureHeaderFormat::kGif, 300, 200},
      {"GIF89a", Gif("GIF89a", 1, 65535), PictureHeaderFormat::kGif, 1, 65535},
      {"BMP core header", Bmp(12, 513, 257), PictureHeaderFormat::kBmp, 513, 257},
      {"BMP info header, rows bottom-up", Bmp(40, 70000, 3), PictureHeaderFormat::kBmp, 70000, 3},
      {"BMP version 5 header, rows top-down", Bmp(124, 12, -34), PictureHeaderFormat::kBmp, 12, 34},
  };
  for (const auto& c : cases) {
    PictureHeader header;
    EXPECT_EQ(kPictureHeaderOk, Read(c.bytes, &header)) << c.name;
    EXPECT_EQ(c.format, header.format) << c.name;
    EXPECT_EQ(c.width, header.width) << c.name;
    EXPECT_EQ(c.height, header.height) << c.name;
    // Every shorter prefix lacks the size: never read as a size, never past its end.
    for (size_t size = 0; size < c.bytes.size(); ++size) {
      const int32_t result = Read(Cut(c.bytes, size), &header);
      if (result == kPictureHeaderOk) {
        EXPECT_EQ(c.width, header.width) << c.name << " cut to " << size;
      } else {
        EXPECT_TRUE(result == kPictureHeaderTruncated || result == kPictureHeaderUnknownFormat)
            << c.name << " cut to " << size << ": " << result;
        EXPECT_EQ(0u, header.width + header.height) << c.name << " cut to " << size;
      }
    }
  }
}

TEST(PictureHeaderTest, DamagedHeadersAreRefused) {
  Bytes pngWithHugeLength = Png(5, 4);
  pngWithHugeLength[8] = 0x7F;  // IHDR length field: far past the end
  const struct {
    const char* name;
    Bytes bytes;
    int32_t result;
  } cases[] = {
      // no data at all
      {"empty", {}, kPictureHeaderUnknownFormat},
      // a text file
      {"text", {'G', 'I', 'F', ' ', 'i', 's', ' ', 'a'}, kPictureHeaderUnknownFormat},
      // the start-of-image marker and nothing after it
      {"JPEG start only", kStartOfImage, kPictureHeaderTruncated},
      // stray bytes and a stuffed zero, passed over up to the end
      {"JPEG with no marker after its start", Join({kStartOfImage, {0x00, 0xE0, 0xFF, 0x00, 0, 4}}),
       kPictureHeaderTruncated},
      // a length field below its own two bytes: would never advance
      {"JPEG segment length 1", Join({kStartOfImage, {0xFF, 0xE0, 0, 1, 0xFF, 0xC0}}), kPictureHeaderDamaged},
      // a segment whose length runs past the end
      {"JPEG segment past the end", Join({kStartOfImage, {0xFF, 0xE0, 0x10, 0, 1, 2, 3}}), kPictureHeaderTruncated},
      // entropy-coded data before any frame header
      {"JPEG scan before the frame", Join({kStartOfImage, Segment(0xDA, {1, 1, 0, 0, 0x3F, 0})}),
       kPictureHeaderDamaged},
      // the end of the image before any frame header
      {"JPEG end before the frame", Join({kStartOfImage, kApp0, {0xFF, 0xD9}}), kPictureHeaderDamaged},
      // a second start-of-image marker
      {"JPEG started twice", Join({kStartOfImage, kStartOfImage, Segment(0xC0, FrameData(8, 8))}),
       kPictureHeaderDamaged},
      // a frame header too short to hold the sides
      {"JPEG frame of length 7", Join({kStartOfImage, Segment(0xC0, {8, 0, 8, 0, 8})}), kPictureHeaderDamaged},
      // a frame header whose declared length passes the end
      {"JPEG frame cut", Cut(Jpeg(0xC0, 8, 8), 2 + kApp0.size() + 10), kPictureHeaderTruncated},
      // fill bytes up to the end
      {"JPEG ending in fill bytes", Join({kStartOfImage, {0xFF, 0xFF, 0xFF}}), kPictureHeaderTruncated},
      // width 0
      {"JPEG width 0", Jpeg(0xC0, 0, 8), kPictureHeaderNoSize},
      // height 0, left to a later line-count segment
      {"JPEG height 0", Jpeg(0xC0, 8, 0), kPictureHeaderNoSize},
      // the signature alone
      {"PNG signature only", Cut(Png(5, 4), 8), kPictureHeaderTruncated},
      // the first chunk is not IHDR
      {"PNG first chunk gAMA", test::AssemblePng({{"gAMA", Bytes(13, 0)}, {"IHDR", test::IhdrData(5, 4, 8, 2)}}),
       kPictureHeaderDamaged},
      // an IHDR of length 0: its fields lie past the end
      {"PNG empty IHDR", test::AssemblePng({{"IHDR", {}}}), kPictureHeaderTruncated},
      // an IHDR whose length field passes the end of the file
      {"PNG IHDR length past the end", pngWithHugeLength, kPictureHeaderTruncated},
      // width 0, which the decoder refuses too
      {"PNG width 0", Png(0, 4), kPictureHeaderNoSize},
      // a side past what a signed 32-bit field holds
      {"PNG height 2^31", Png(5, 0x80000000), kPictureHeaderTooLarge},
      // neither 87a nor 89a
      {"GIF version 88b", Gif("GIF88b", 10, 10), kPictureHeaderDamaged},
      // the logical screen cut
      {"GIF cut in the screen", Cut(Gif("GIF89a", 10, 10), 9), kPictureHeaderTruncated},
      // height 0
      {"GIF height 0", Gif("GIF89a", 10, 0), kPictureHeaderNoSize},
      // the file header without the info header's size
      {"BMP cut before its header size", Cut(Bmp(40, 1, 1), 17), kPictureHeaderTruncated},
      // an info header size that no version has
      {"BMP header size 20", Bmp(20, 1, 1), kPictureHeaderDamaged},
      // the info header cut before its height
      {"BMP info header cut", Cut(Bmp(40, 1, 1), 24), kPictureHeaderTruncated},
      // the core header cut before its height
      {"BMP core header cut", Cut(Bmp(12, 1, 1), 20), kPictureHeaderTruncated},
      // a negative width has no meaning
      {"BMP width -5", Bmp(40, -5, 5), kPictureHeaderDamaged},
      // the most negative height: its size does not fit a signed side
      {"BMP height -2^31", Bmp(40, 5, INT32_MIN), kPictureHeaderTooLarge},
      // width 0
      {"BMP width 0", Bmp(40, 0, 5), kPictureHeaderNoSize},
  };
  for (const auto& c : cases) {
    PictureHeader header;
    EXPECT_EQ(c.result, Read(c.bytes, &header)) << c.name;
    EXPECT_EQ(0u, header.width + header.height) << c.name;
  }
}

// Wherever the PNG decoder opens a file of the suite, the header gives the
// decoder's size; wherever the header is refused, so is the file.
TEST(PictureHeaderTest, PngSuiteSizesAreTheDecodersSizes) {
  const std::vector<std::string> names = test::PngSuiteFiles();
  ASSERT_FALSE(names.empty());
  for (const std::string& name : names) {
    const Bytes file = test::ReadWholeFile(test::PngSuitePath(name));
    PictureHeader header;
    const int32_t result = Read(file, &header);
    PngDecoderState state;
    PngDecoder::Reset(&state);
    const bool opened = PngDecoder::OpenBytes(&state, file.data(), static_cast<uint32_t>(file.size()));
    if (opened) {
      EXPECT_EQ(kPictureHeaderOk, result) << name;
      EXPECT_EQ(state.width, header.width) << name;
      EXPECT_EQ(state.height, header.height) << name;
    }
    if (result != kPictureHeaderOk) {
      EXPECT_FALSE(opened) << name;
    }
    PngDecoder::Release(&state);
  }
}

TEST(FitSizeToBoxTest, SmallerRatioTruncated) {
  const struct {
    int width, height, boxWidth, boxHeight;
    int fittedWidth, fittedHeight;
  } cases[] = {
      {640, 480, 320, 320, 320, 240},  // width ratio 0.5 is the smaller
      {360, 480, 640, 480, 360, 480},  // height ratio 1: same size
      {100, 50, 400, 400, 400, 200},   // enlarged
      {3, 7, 210, 210, 90, 210},       // 90 exactly, not 89.99...
      {7, 3, 640, 480, 640, 274},      // 274.28 truncated
      {1000, 1, 210, 210, 210, 0},     // no lower bound of one pixel
      {1, 1, 0, 0, 0, 0},              // an empty box
  };
  for (const auto& c : cases) {
    FittedSize fitted = {-1, -1};
    ASSERT_TRUE(FitSizeToBox(c.width, c.height, c.boxWidth, c.boxHeight, &fitted));
    EXPECT_EQ(c.fittedWidth, fitted.width) << c.width << " x " << c.height;
    EXPECT_EQ(c.fittedHeight, fitted.height) << c.width << " x " << c.height;
  }
  FittedSize fitted;
  EXPECT_FALSE(FitSizeToBox(0, 5, 210, 210, &fitted));
  EXPECT_FALSE(FitSizeToBox(5, -5, 210, 210, &fitted));
}

}  // namespace
}  // namespace vidod
