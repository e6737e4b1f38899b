// The picture loader on the test executable's own resources: JPEG pictures
// through the system's picture service, PNG raw-data resources through the
// decoder, scrambled ids, and the fitting into the caller's box.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "picture_resource_ids.h"
#include "picture_test_support.h"
#include "pictures/picture_loader.h"

namespace vidod::testing {
namespace {

constexpr char kPictureType[] = "IMG";
constexpr int kJpegTolerance = 8;   // flat JPEG colours come back within this
constexpr int kBlendTolerance = 8;  // an enlarged corner pixel, next to its neighbours

struct Point {
  int x, y;
};

// Five points spread over the bitmap: the corners' neighbourhood and the middle.
std::vector<Point> SpreadPoints(BitmapSize size) {
  return {{1, 1},
          {size.width - 2, 1},
          {size.width / 2, size.height / 2},
          {1, size.height - 2},
          {size.width - 2, size.height - 2}};
}

TEST(PictureLoader, FitsJpegPicturesIntoTheBoxKeepingTheirShape) {
  const struct {
    int id;
    int boxWidth, boxHeight;
    BitmapSize fitted;
    COLORREF colour;
    const char* what;
  } cases[] = {
      {PICTURE_WIDE_640X480, 320, 320, {320, 240}, RGB(0x30, 0x60, 0xC0), "halved to the width"},
      {PICTURE_NARROW_360X480, 640, 480, {360, 480}, RGB(0xC0, 0x90, 0x20), "height already fits"},
      {PICTURE_FLAT_100X50, 400, 400, {400, 200}, RGB(0x30, 0xA0, 0x40), "enlarged four times"},
  };
  for (const auto& c : cases) {
    OwnedBitmap picture(LoadPicture(nullptr, c.id, kPictureType, c.boxWidth, c.boxHeight));
    ASSERT_NE(picture.bitmap, nullptr) << c.what;
    const BitmapSize size = SizeOf(picture.bitmap);
    EXPECT_EQ(size.width, c.fitted.width) << c.what;
    EXPECT_EQ(size.height, c.fitted.height) << c.what;
    for (const Point& p : SpreadPoints(size)) {
      const COLORREF colour = PixelAt(picture.bitmap, p.x, p.y);
      EXPECT_TRUE(ColoursClose(colour, c.colour, kJpegTolerance))
          << c.what << " at " << p.x << "," << p.y << ": 0x" << std::hex << colour;
    }
  }
}

// At the box's own size the fitting still hands back a bitmap of its own and
// deletes the one it was given.
TEST(PictureLoader, FittingAtTheSameSizeMakesANewBitmapAndDeletesTheSource) {
  HDC screen = GetDC(nullptr);
  HBITMAP source = CreateCompatibleBitmap(screen, 360, 480);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ previous = SelectObject(dc, source);
  const RECT left = {0, 0, 180, 480};
  const RECT right = {180, 0, 360, 480};
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  FillRect(dc, &left, red);
  FillRect(dc, &right, blue);
  SelectObject(dc, previous);
  DeleteObject(red);
  DeleteObject(blue);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);

  OwnedBitmap fitted(FitBitmapToBox(source, 640, 480));
  ASSERT_NE(fitted.bitmap, nullptr);
  EXPECT_NE(fitted.bitmap, source);
  EXPECT_EQ(GetObjectType(source), 0u) << "the source bitmap is still alive";
  const BitmapSize size = SizeOf(fitted.bitmap);
  EXPECT_EQ(size.width, 360);
  EXPECT_EQ(size.height, 480);
  EXPECT_EQ(PixelAt(fitted.bitmap, 10, 240), RGB(255, 0, 0));
  EXPECT_EQ(PixelAt(fitted.bitmap, 350, 240), RGB(0, 0, 255));

  EXPECT_EQ(FitBitmapToBox(nullptr, 640, 480), nullptr);
}

// No "IMG" resource of the id: the raw-data PNG of the same id is decoded,
// then fitted like any picture.
TEST(PictureLoader, TakesThePngRawDataResourceWhenThePictureTypeIsMissing) {
  OwnedBitmap picture(LoadPicture(nullptr, PICTURE_PNG_RGB_4X2, kPictureType, 320, 320));
  ASSERT_NE(picture.bitmap, nullptr);
  const BitmapSize size = SizeOf(picture.bitmap);
  EXPECT_EQ(size.width, 320);
  EXPECT_EQ(size.height, 160);
  // Enlarging in halftone mode blends neighbouring pixels everywhere but at
  // the outer corners, which keep the corner pixels' colours.
  EXPECT_TRUE(ColoursClose(PixelAt(picture.bitmap, 0, 0), RGB(255, 0, 0), kBlendTolerance));
  EXPECT_TRUE(
      ColoursClose(PixelAt(picture.bitmap, 319, 159), RGB(128, 128, 128), kBlendTolerance));
}

// Each PNG layout reaches the screen bitmap with its own colours (at the
// box of its own size, so no pixel is blended with a neighbour).
TEST(PictureLoader, PngPixelsComeThroughInEveryLayout) {
  struct Sample {
    int x, y;
    COLORREF colour;
  };
  const struct {
    int id;
    BitmapSize size;
    std::vector<Sample> samples;
    const char* what;
  } cases[] = {
      {PICTURE_PNG_RGB_4X2,
       {4, 2},
       {{0, 0, RGB(255, 0, 0)}, {1, 0, RGB(0, 255, 0)}, {2, 0, RGB(0, 0, 255)},
        {3, 0, RGB(200, 100, 50)}, {0, 1, RGB(255, 255, 255)}, {1, 1, RGB(0, 0, 0)},
        {2, 1, RGB(10, 20, 30)}, {3, 1, RGB(128, 128, 128)}},
       "truecolour, Sub and Paeth rows"},
      {PICTURE_PNG_INDEXED2_3X2,
       {3, 2},
       {{0, 0, RGB(255, 0, 0)}, {1, 0, RGB(0, 128, 0)}, {2, 0, RGB(0, 0, 255)},
        {0, 1, RGB(255, 255, 0)}, {1, 1, RGB(0, 0, 255)}, {2, 1, RGB(0, 128, 0)}},
       "2-bit palette indices, Up row"},
      {PICTURE_PNG_GREY2_4X1,
       {4, 1},
       {{0, 0, RGB(0, 0, 0)}, {1, 0, RGB(85, 85, 85)}, {2, 0, RGB(170, 170, 170)},
        {3, 0, RGB(255, 255, 255)}},
       "2-bit grey on the four-step ramp"},
      {PICTURE_PNG_RGBA_2X2,
       {2, 2},
       {{0, 0, RGB(40, 80, 120)}, {1, 0, RGB(200, 150, 100)}, {0, 1, RGB(0, 0, 0)},
        {1, 1, RGB(255, 255, 255)}},
       "alpha kept apart, colours not premultiplied"},
      {PICTURE_PNG_ADAM7_3X3,
       {3, 3},
       {{0, 0, RGB(10, 250, 0)}, {1, 0, RGB(30, 225, 30)}, {2, 0, RGB(50, 200, 60)},
        {0, 1, RGB(70, 175, 90)}, {1, 1, RGB(90, 150, 120)}, {2, 1, RGB(110, 125, 150)},
        {0, 2, RGB(130, 100, 180)}, {1, 2, RGB(150, 75, 210)}, {2, 2, RGB(170, 50, 240)}},
       "interlaced, five passes"},
  };
  for (const auto& c : cases) {
    OwnedBitmap picture(
        LoadPicture(nullptr, c.id, kPictureType, c.size.width, c.size.height));
    ASSERT_NE(picture.bitmap, nullptr) << c.what;
    const BitmapSize size = SizeOf(picture.bitmap);
    EXPECT_EQ(size.width, c.size.width) << c.what;
    EXPECT_EQ(size.height, c.size.height) << c.what;
    for (const Sample& s : c.samples) {
      EXPECT_EQ(PixelAt(picture.bitmap, s.x, s.y), s.colour)
          << c.what << " at " << s.x << "," << s.y;
    }
  }
}

// Given a background, transparent pixels are drawn on it, on the PNG route
// and through the system's picture service (a GIF's transparent colour);
// without one a PNG's keep their stored colours, as above.
TEST(PictureLoader, TransparentPixelsAreDrawnOnTheBackgroundGiven) {
  const COLORREF background = RGB(10, 200, 30);
  const struct {
    int id;
    int size;
    int x, y;
    COLORREF colour;
    const char* what;
  } points[] = {
      {PICTURE_PNG_RGBA_2X2, 2, 0, 0, RGB(40, 80, 120), "PNG, opaque"},
      {PICTURE_PNG_RGBA_2X2, 2, 1, 0, background, "PNG, alpha 0 over (200, 150, 100)"},
      {PICTURE_PNG_RGBA_2X2, 2, 0, 1, background, "PNG, alpha 0 over black"},
      {PICTURE_GIF_CLEAR_40X40, 40, 2, 2, background, "GIF, transparent corner"},
      {PICTURE_GIF_CLEAR_40X40, 40, 37, 20, background, "GIF, transparent right edge"},
      {PICTURE_GIF_CLEAR_40X40, 40, 20, 20, RGB(0x20, 0x50, 0xC0), "GIF, opaque square"},
  };
  for (const auto& p : points) {
    OwnedBitmap picture(LoadPicture(nullptr, p.id, kPictureType, p.size, p.size, background));
    ASSERT_NE(picture.bitmap, nullptr) << p.what;
    EXPECT_EQ(SizeOf(picture.bitmap).width, p.size) << p.what;
    EXPECT_EQ(PixelAt(picture.bitmap, p.x, p.y), p.colour) << p.what;
  }
}

// The raw-data route is the fallback only: an "IMG" resource of the id is
// what gets decoded.
TEST(PictureLoader, ThePictureTypeComesBeforeARawDataPngOfTheSameId) {
  OwnedBitmap picture(LoadPicture(nullptr, PICTURE_JPEG_BESIDE_PNG, kPictureType, 400, 400));
  ASSERT_NE(picture.bitmap, nullptr);
  const BitmapSize size = SizeOf(picture.bitmap);
  EXPECT_EQ(size.width, 400);  // the 100 x 50 JPEG, not the 3 x 3 PNG
  EXPECT_EQ(size.height, 200);
}

// 10000 is the last id stored as it is, 10001 the first stored scrambled.
// The unscrambling must not touch what the next load reads.
TEST(PictureLoader, Id10000IsPlainAnd10001IsUnscrambledOnEveryLoad) {
  OwnedBitmap plain(LoadPicture(nullptr, PICTURE_PLAIN_10000, kPictureType, 200, 200));
  ASSERT_NE(plain.bitmap, nullptr);
  EXPECT_EQ(SizeOf(plain.bitmap).width, 200);
  EXPECT_EQ(SizeOf(plain.bitmap).height, 150);
  EXPECT_TRUE(ColoursClose(PixelAt(plain.bitmap, 100, 75), RGB(0xA0, 0x40, 0xA0), kJpegTolerance));

  for (int load = 1; load <= 2; ++load) {
    OwnedBitmap scrambled(LoadPicture(nullptr, PICTURE_SCRAMBLED_10001, kPictureType, 200, 200));
    ASSERT_NE(scrambled.bitmap, nullptr) << "load " << load;
    EXPECT_EQ(SizeOf(scrambled.bitmap).width, 150) << "load " << load;
    EXPECT_EQ(SizeOf(scrambled.bitmap).height, 200) << "load " << load;
    EXPECT_TRUE(
        ColoursClose(PixelAt(scrambled.bitmap, 75, 100), RGB(0xC0, 0x30, 0x30), kJpegTolerance))
        << "load " << load;
  }
}

TEST(PictureLoader, SwapNibblesExchangesTheHalvesOfEachByteWithinTheLength) {
  uint8_t bytes[] = {0x12, 0xF0, 0x00, 0xFF, 0xA5, 0x34};
  SwapNibbles(bytes, 5);
  const uint8_t swapped[] = {0x21, 0x0F, 0x00, 0xFF, 0x5A, 0x34};  // the sixth is past the length
  for (size_t i = 0; i < sizeof bytes; ++i) EXPECT_EQ(bytes[i], swapped[i]) << "byte " << i;
  SwapNibbles(bytes, 0);
  EXPECT_EQ(bytes[0], 0x21);
}

}  // namespace
}  // namespace vidod::testing
