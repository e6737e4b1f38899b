// The PNG conformance suite and random images of every format, decoded
// through the whole portable route into .bmp bytes and compared pixel for
// pixel with libpng.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "picture_test_support.h"
#include "pictures/bmp_file.h"

namespace vidod {
namespace {

using test::Bytes;

// Compares the picture with libpng's reading: colour of every pixel, and
// alpha for truecolour with alpha, the only type whose DIB keeps it.
void ExpectSameAsLibpng(const Bytes& png, const std::string& name) {
  const test::OraclePicture expected = test::DecodeWithLibpng(png);
  ASSERT_TRUE(expected.ok) << name << ": libpng refuses it";
  std::vector<uint8_t> bmp;
  ASSERT_EQ(0u, ConvertPngToBmp(png.data(), static_cast<uint32_t>(png.size()), &bmp)) << name;
  const test::BmpPicture actual = test::ReadBmp(bmp);
  ASSERT_TRUE(actual.ok) << name << ": " << actual.fault;
  ASSERT_EQ(expected.width, actual.width) << name;
  ASSERT_EQ(expected.height, actual.height) << name;
  const bool alpha = expected.colourType == 6;
  size_t mismatches = 0;
  for (size_t i = 0; i < expected.rgba.size(); i += 4) {
    const bool same = std::equal(&expected.rgba[i], &expected.rgba[i] + 3, &actual.rgba[i]) &&
                      (!alpha || expected.rgba[i + 3] == actual.rgba[i + 3]);
    if (!same && mismatches++ == 0) {
      ADD_FAILURE() << name << ": first wrong pixel at " << (i / 4) % expected.width << ", "
                    << (i / 4) / expected.width;
    }
  }
  EXPECT_EQ(0u, mismatches) << name;
}

TEST(PngSuiteTest, EveryFileHasItsOutcome) {
  // Corrupt files that must be refused, with their code. The other x files
  // (xcsn0g01, xhdn0g08) have only a wrong CRC and decode.
  const std::map<std::string, uint32_t> refused = {
      {"xc1n0g08.png", 0x2001},  // colour type 1
      {"xc9n2c08.png", 0x2001},  // colour type 9
      {"xcrn0g04.png", 0x2000},  // signature with CR bytes added
      {"xd0n2c08.png", 0x2001},  // bit depth 0
      {"xd3n2c08.png", 0x2001},  // bit depth 3
      {"xd9n2c08.png", 0x2001},  // bit depth 99
      {"xdtn0g01.png", 0x2000},  // no IDAT
      {"xlfn0g04.png", 0x2000},  // signature with LF bytes added
      {"xs1n0g01.png", 0x2000},  // signature byte 1 wrong
      {"xs2n0g01.png", 0x2000},  // signature byte 2 wrong
      {"xs4n0g01.png", 0x2000},  // signature byte 4 wrong
      {"xs7n0g01.png", 0x2000},  // signature byte 7 wrong
  };
  const std::vector<std::string> names = test::PngSuiteFiles();
  ASSERT_GE(names.size(), 170u);
  size_t decoded = 0;
  for (const std::string& name : names) {
    const Bytes png = test::ReadWholeFile(test::PngSuitePath(name));
    const auto refusal = refused.find(name);
    if (refusal != refused.end()) {
      std::vector<uint8_t> bmp;
      EXPECT_EQ(refusal->second, ConvertPngToBmp(png.data(), static_cast<uint32_t>(png.size()), &bmp))
          << name;
      continue;
    }
    ExpectSameAsLibpng(png, name);
    ++decoded;
  }
  EXPECT_EQ(names.size() - refused.size(), decoded);
}

TEST(PngSuiteTest, RandomImagesOfEveryFormatAndOddSizes) {
  const int formats[][2] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                            {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};
  const uint32_t sizes[][2] = {{1, 1}, {1, 9}, {9, 1}, {2, 3}, {3, 3}, {4, 2}, {5, 7}, {13, 6}, {33, 17}};
  uint32_t seed = 1;
  for (const auto& format : formats) {
    for (const auto& size : sizes) {
      for (bool interlaced : {false, true}) {
        const Bytes png = test::EncodeWithLibpng(size[0], size[1], format[0], format[1], interlaced, seed++);
        ASSERT_FALSE(png.empty());
        ExpectSameAsLibpng(png, "colour " + std::to_string(format[0]) + " depth " + std::to_string(format[1]) +
                                    " " + std::to_string(size[0]) + "x" + std::to_string(size[1]) +
                                    (interlaced ? " interlaced" : ""));
      }
    }
  }
}

}  // namespace
}  // namespace vidod
