// The portable header reader and fitting against what the player really
// does: the size of the bitmap the system's picture service makes of each
// JPEG, GIF and BMP file, the size FitBitmapToBox gives, and the size of the
// bitmap LoadPicture gives, which the list view lays out from the header.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "message_box_catcher.h"
#include "picture_resource_ids.h"
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

// Both routes, the PNG route fitting twice, and pictures so thin that a
// fitted side is 0, which the platform makes a 1 x 1 bitmap (fitted again to
// the whole box on the PNG route). A damaged picture whose header reads has a
// size and no bitmap; one whose header does not read has neither.
TEST(PictureHeaderOnWindows, SizesInTheBoxAreTheSizesOfTheLoadedBitmaps) {
  MessageBoxCatcher catcher;  // the damaged PNGs report themselves
  const struct {
    int id;
    bool header, decodes;
  } pictures[] = {
      {PICTURE_WIDE_640X480, true, true},     {PICTURE_NARROW_360X480, true, true},
      {PICTURE_FLAT_100X50, true, true},      {PICTURE_PNG_RGB_4X2, true, true},
      {PICTURE_PNG_INDEXED2_3X2, true, true}, {PICTURE_PNG_GREY2_4X1, true, true},
      {PICTURE_PNG_RGBA_2X2, true, true},     {PICTURE_PNG_ADAM7_3X3, true, true},
      {PICTURE_PNG_BAD_ZLIB, true, false},    {PICTURE_PNG_FILTER5, true, false},
      {PICTURE_RAW_NOT_PNG, false, false},    {PICTURE_IMG_GARBAGE, false, false},
      {PICTURE_GARBAGE_BESIDE_PNG, false, false}, {PICTURE_JPEG_BESIDE_PNG, true, true},
      {PICTURE_MISSING, false, false},        {PICTURE_THIN_500X2, true, true},
      {PICTURE_PNG_THIN_420X1, true, true},   {PICTURE_PLAIN_10000, true, true},
      {PICTURE_SCRAMBLED_10001, true, true},
  };
  const int boxes[][2] = {{640, 480}, {210, 210}};
  for (const auto& box : boxes) {
    for (const auto& p : pictures) {
      SIZE size = {-1, -1};
      const bool read = PictureSizeInBox(nullptr, p.id, "IMG", box[0], box[1], &size);
      OwnedBitmap loaded(LoadPicture(nullptr, p.id, "IMG", box[0], box[1]));
      EXPECT_EQ(read, p.header) << p.id << " in " << box[0];
      EXPECT_EQ(loaded.bitmap != nullptr, p.decodes) << p.id << " in " << box[0];
      if (!read || !loaded.bitmap) continue;
      const BitmapSize shown = SizeOf(loaded.bitmap);
      EXPECT_EQ(size.cx, shown.width) << p.id << " in " << box[0];
      EXPECT_EQ(size.cy, shown.height) << p.id << " in " << box[0];
    }
  }
}

}  // namespace
}  // namespace vidod::testing
