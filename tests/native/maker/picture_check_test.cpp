#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "maker/picture_check.h"
#include "maker/picture_reduction.h"
#include "maker_test_support.h"
#include "pictures/png_decoder.h"

namespace vidod {
namespace {

using makertest::Bytes;
using makertest::ReadFile;

const std::string kSuite = std::string(VIDOD_SHARED_DIR) + "/pngsuite/";
const std::string kDemoImages = std::string(VIDOD_SOURCE_DIR) + "/demo/drapeaux/images/";

// Start of image, an application segment, then a baseline frame header:
// precision 8, height, width, one component.
std::string JpegHeader(uint16_t width, uint16_t height) {
  std::string jpeg("\xFF\xD8\xFF\xE0\x00\x04\x4A\x46", 8);
  jpeg += std::string("\xFF\xC0\x00\x0B\x08", 5);
  jpeg += static_cast<char>(height >> 8);
  jpeg += static_cast<char>(height & 0xFF);
  jpeg += static_cast<char>(width >> 8);
  jpeg += static_cast<char>(width & 0xFF);
  jpeg += std::string("\x01\x01\x11\x00", 4);
  return jpeg;
}

std::string Little32(uint32_t value) {
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
  return bytes;
}

// A 24-bit bottom-up BMP of the given size with all its pixel rows.
std::string Bmp(int32_t width, int32_t height, uint16_t bitCount = 24, std::size_t cutPixels = 0) {
  const uint32_t stride = (static_cast<uint32_t>(width) * bitCount + 31) / 32 * 4;
  const uint32_t pixels = stride * static_cast<uint32_t>(height < 0 ? -height : height);
  std::string bmp = "BM" + Little32(54 + pixels) + Little32(0) + Little32(54);
  bmp += Little32(40) + Little32(static_cast<uint32_t>(width)) + Little32(static_cast<uint32_t>(height));
  bmp += std::string("\x01\x00", 2) + static_cast<char>(bitCount) + '\0' + Little32(0) + Little32(pixels);
  bmp += Little32(0) + Little32(0) + Little32(0) + Little32(0);
  bmp += std::string(pixels - cutPixels, '\x7F');
  return bmp;
}

// Signature, an IHDR of an 8-bit truecolour picture with alpha, an empty
// IDAT, IEND.
std::string PngHeaderOnly(uint32_t width, uint32_t height) {
  std::string png("\x89PNG\r\n\x1A\n\x00\x00\x00\x0DIHDR", 16);
  for (uint32_t side : {width, height})
    for (int shift = 24; shift >= 0; shift -= 8) png += static_cast<char>((side >> shift) & 0xFF);
  png += std::string("\x08\x06\x00\x00\x00", 5) + std::string(4, '\0');
  return png + std::string("\x00\x00\x00\x00IDAT\x35\xAF\x06\x1E", 12) +
         std::string("\x00\x00\x00\x00IEND\xAE\x42\x60\x82", 12);
}

TEST(PictureCheckTest, ShowablePicturesGiveTheirSize) {
  struct Showable {
    std::string bytes;
    PictureFormat format;
    uint32_t width, height;
  };
  const Showable cases[] = {
      {ReadFile(kDemoImages + "01-france.jpg"), PictureFormat::kJpeg, 600, 400},
      {makertest::JpegOfSize(700, 500), PictureFormat::kJpeg, 700, 500},
      {ReadFile(kDemoImages + "12-suisse.png"), PictureFormat::kPng, 400, 400},
      {ReadFile(kSuite + "basi0g02.png"), PictureFormat::kPng, 32, 32},
      {makertest::kGifBytes, PictureFormat::kGif, 1, 1},
      {Bmp(3, 2), PictureFormat::kBmp, 3, 2},
      {Bmp(5, -4, 8), PictureFormat::kBmp, 5, 4},
  };
  for (const Showable& showable : cases) {
    const PictureInspection inspection = InspectPicture(Bytes(showable.bytes));
    EXPECT_TRUE(inspection.showable) << inspection.problem;
    EXPECT_EQ(inspection.format, showable.format);
    EXPECT_EQ(inspection.width, showable.width);
    EXPECT_EQ(inspection.height, showable.height);
  }
}

TEST(PictureCheckTest, PicturesThePlayerCannotShowAreTold) {
  struct Refused {
    std::string bytes;
    const char* expected;  // part of the problem
    uint32_t pngError;
  };
  std::string jpegWithoutFrame("\xFF\xD8\xFF\xE0\x00\x04\x4A\x46\xFF\xD9", 10);
  std::string jpegCut = JpegHeader(10, 10).substr(0, 12);
  std::string jpegZeroWidth = JpegHeader(0, 10);
  std::string jpegGarbage("\xFF\xD8\xFF\xE0\x00\x04\x4A\x46\x12\x34", 10);
  std::string bmpOddHeader = Bmp(3, 2);
  bmpOddHeader[14] = 20;
  const std::string demoJpeg = ReadFile(kDemoImages + "01-france.jpg");
  const std::string demoPng = ReadFile(kDemoImages + "12-suisse.png");
  const Refused cases[] = {
      // A JPEG that ends before any frame header.
      {jpegWithoutFrame, "JPEG endommagé", 0},
      // A JPEG cut inside its frame header.
      {jpegCut, "JPEG tronqué : le fichier s'arrête avant la taille de l'image", 0},
      // A frame header without a width.
      {jpegZeroWidth, "largeur ou de hauteur nulle", 0},
      // Bytes that are no segment after the first one, up to the end.
      {jpegGarbage, "s'arrête avant la taille", 0},
      // A whole header, then the image data stops halfway: shown empty.
      {demoJpeg.substr(0, demoJpeg.size() / 2), "JPEG tronqué ou endommagé", 0},
      // A GIF cut inside its screen descriptor ...
      {"GIF89a\x10", "GIF tronqué", 0},
      // ... or inside its picture.
      {makertest::kGifBytes.substr(0, 30), "s'arrête avant la fin de son image", 0},
      // Whole blocks, but the first code after the clear code is one not yet
      // defined: the picture cannot be drawn.
      {makertest::kGifBytes.substr(0, 28) + std::string("\x7C\x01\x00\x3B", 4), "GIF endommagé", 0},
      // A GIF of width 0.
      {std::string("GIF87a\x00\x00\x10\x00\x00\x00\x00", 13), "largeur ou de hauteur nulle", 0},
      // A BMP cut inside its header.
      {Bmp(3, 2).substr(0, 30), "BMP tronqué", 0},
      // A BMP header of a size no version has.
      {bmpOddHeader, "en-tête est mal formé", 0},
      // A BMP of 7 bits per pixel.
      {Bmp(3, 2, 7), "7 bits par pixel", 0},
      // A BMP whose rows stop early.
      {Bmp(30, 20, 24, 10), "BMP tronqué : ses pixels", 0},
      // A BMP of width 0.
      {Bmp(0, 2), "largeur ou de hauteur nulle", 0},
      // PNG colour type 9, which no PNG has: the player's decoder says 0x2001.
      {ReadFile(kSuite + "xc9n2c08.png"), "forme que le lecteur ne sait pas lire", kPngErrorUnsupported},
      // A PNG cut halfway.
      {demoPng.substr(0, demoPng.size() / 2), "PNG endommagé ou tronqué", kPngErrorNotPng},
      // A PNG past the player's size limit, refused before it is decoded.
      {PngHeaderOnly(10000, 10000), "PNG de 10000 × 10000 pixels : le lecteur refuse les PNG de plus de 64 millions",
       kPngErrorTooLarge},
      // A PNG signature with one byte wrong is no PNG at all.
      {ReadFile(kSuite + "xcrn0g04.png"), "format d'image non reconnu", 0},
      // A PNG whose image data is missing.
      {ReadFile(kSuite + "xdtn0g01.png"), "PNG endommagé", kPngErrorNotPng},
      // Neither format.
      {"Bonjour", "format d'image non reconnu", 0},
  };
  for (const Refused& refused : cases) {
    const PictureInspection inspection = InspectPicture(Bytes(refused.bytes));
    EXPECT_FALSE(inspection.showable) << refused.expected;
    EXPECT_EQ(inspection.problem.find("0x"), std::string::npos) << inspection.problem;
    EXPECT_NE(inspection.problem.find(refused.expected), std::string::npos)
        << refused.expected << " / " << inspection.problem;
    EXPECT_EQ(inspection.pngError, refused.pngError) << refused.expected;
  }
}

TEST(PictureCheckTest, PngErrorsAreNamedByTheirCode) {
  EXPECT_EQ(DescribePngError(kPngErrorUnsupported).rfind("0x2001 (", 0), 0u);
  EXPECT_EQ(DescribePngError(0x1234), "0x1234 (code inconnu)");
}

}  // namespace
}  // namespace vidod

namespace vidod {
namespace {

// Transparent pixels lend no colour to the opaque ones they are averaged
// with: a red line on a transparent green ground stays red, half covered.
TEST(PictureReductionTest, TransparentPixelsLendNoColour) {
  RgbaPicture line;
  line.width = 1280;
  line.height = 2;
  for (uint32_t i = 0; i < line.width * line.height; ++i) {
    const bool red = i % 2 == 0;
    line.pixels.insert(line.pixels.end(), {static_cast<uint8_t>(red ? 255 : 0), static_cast<uint8_t>(red ? 0 : 255), 0,
                                           static_cast<uint8_t>(red ? 255 : 0)});
  }
  const RgbaPicture reduced = ShrinkToViewBox(line);
  ASSERT_EQ(reduced.width, 640u);
  ASSERT_EQ(reduced.height, 1u);
  for (uint32_t x = 0; x < reduced.width; ++x) {
    const uint8_t* pixel = &reduced.pixels[x * 4];
    EXPECT_EQ(pixel[0], 255) << x;
    EXPECT_EQ(pixel[1], 0) << x;
    EXPECT_EQ(pixel[3], 128) << x;
  }
}

}  // namespace
}  // namespace vidod
