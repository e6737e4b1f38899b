// The portable header reader and fitting against what the player really
// does: the size of the bitmap the system's picture service makes of each
// JPEG, GIF and BMP file, and the size FitBitmapToBox gives.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "picture_test_support.h"
#include "pictures/fit_to_box.h"
#include "pictures/picture_header.h"
#include "pictures/picture_loader.h"

namespace vidod::testing {
namespace {

// The source tree as this process sees it: a Unix path is on drive Z: under Wine.
std::string SourcePath(const std::string& relative) {
  const std::string root = VIDOD_SOURCE_DIR;
  return (root.front() == '/' ? "Z:" + root : root) + "/" + relative;
}

std::vector<std::string> FilesIn(const std::string& folder, const char* pattern) {
  std::vector<std::string> files;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "/" + pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return files;
  do files.push_back(folder + "/" + found.cFileName);
  while (FindNextFileA(search, &found));
  FindClose(search);
  return files;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(PictureHeaderOnWindows, HeaderSizesAreThePictureServiceSizes) {
  std::vector<std::string> files;
  for (const char* folder : {"tests/win/pictures/images", "demo/drapeaux/images"})
    for (const char* pattern : {"*.jpg", "*.gif", "*.bmp"})
      for (const std::string& file : FilesIn(SourcePath(folder), pattern)) files.push_back(file);
  ASSERT_GE(files.size(), 17u);
  for (const std::string& file : files) {
    const std::vector<uint8_t> bytes = ReadBytes(file);
    ASSERT_FALSE(bytes.empty()) << file;
    PictureHeader header;
    ASSERT_EQ(ReadPictureHeader(bytes.data(), bytes.size(), &header), kPictureHeaderOk) << file;
    OwnedBitmap decoded(DecodePicture(bytes.data(), static_cast<uint32_t>(bytes.size())));
    ASSERT_NE(decoded.bitmap, nullptr) << file;
    const BitmapSize size = SizeOf(decoded.bitmap);
    EXPECT_EQ(static_cast<uint32_t>(size.width), header.width) << file;
    EXPECT_EQ(static_cast<uint32_t>(size.height), header.height) << file;
  }
}

// A spread of sizes, narrow and flat, in both views' boxes.
TEST(PictureHeaderOnWindows, FittedSizesAreTheBitmapFittingSizes) {
  const int boxes[][2] = {{640, 480}, {210, 210}};
  int compared = 0;
  for (const auto& box : boxes) {
    for (int width = 1; width <= 61; width += 6) {
      for (int height = 1; height <= 43; height += 7) {
        FittedSize fitted;
        ASSERT_TRUE(FitSizeToBox(width, height, box[0], box[1], &fitted));
        OwnedBitmap scaled(FitBitmapToBox(CreateBitmap(width, height, 1, 32, nullptr), box[0], box[1]));
        const BitmapSize size = SizeOf(scaled.bitmap);
        EXPECT_EQ(size.width, fitted.width) << width << " x " << height << " in " << box[0];
        EXPECT_EQ(size.height, fitted.height) << width << " x " << height << " in " << box[0];
        ++compared;
      }
    }
  }
  EXPECT_EQ(compared, 2 * 11 * 7);
}

}  // namespace
}  // namespace vidod::testing
