// Pictures that cannot be had: missing, damaged or foreign resources, and
// ids outside what a resource name can hold. Each gives no bitmap; only the
// PNG decoder's two failures are told to the user, in a real message box.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "message_box_catcher.h"
#include "picture_resource_ids.h"
#include "picture_test_support.h"
#include "pictures/picture_loader.h"

namespace vidod::testing {
namespace {

constexpr char kPictureType[] = "IMG";
constexpr char kMessageCaption[] = "Information";
constexpr char kDecodeFailure[] = "Error: couldn't decode PNG resource";
constexpr char kBitmapFailure[] = "Error: couldn't create bitmap";
constexpr int kResourceNameLimit = 0x10000;  // integer resource names are 16 bits
constexpr int kLeakRounds = 50;

TEST(PictureFailures, EachMalformedPictureGivesNoneWithOnlyTheDecodersMessages) {
  const struct {
    int id;
    const char* message;  // nullptr: nothing is shown
    const char* what;
  } cases[] = {
      // No resource of either type under the id.
      {PICTURE_MISSING, nullptr, "missing"},
      // A PNG whose IDAT holds no zlib stream: the inflating fails.
      {PICTURE_PNG_BAD_ZLIB, kDecodeFailure, "bad zlib data"},
      // Inflates, but its first row has filter type 5: no bitmap.
      {PICTURE_PNG_FILTER5, kBitmapFailure, "filter type 5"},
      // A raw-data resource that is not a PNG is rejected on opening, silently.
      {PICTURE_RAW_NOT_PNG, nullptr, "raw data, not a PNG"},
      // Garbage as a picture: the picture service declines it.
      {PICTURE_IMG_GARBAGE, nullptr, "garbage picture"},
      // Garbage as a picture beside a good PNG: the PNG is not a fallback for
      // a picture that exists and does not decode.
      {PICTURE_GARBAGE_BESIDE_PNG, nullptr, "garbage picture beside a PNG"},
      // Id 0 is no integer resource name.
      {0, nullptr, "id 0"},
      // A negative id.
      {-PICTURE_WIDE_640X480, nullptr, "negative id"},
      // Past 16 bits: must not wrap around onto picture 10001 (a wrap onto a
      // plain picture would fail anyway, unscrambled as an id above 10000).
      {kResourceNameLimit + PICTURE_SCRAMBLED_10001, nullptr, "id past 65535"},
  };
  for (const auto& c : cases) {
    MessageBoxCatcher catcher;
    OwnedBitmap picture(LoadPicture(nullptr, c.id, kPictureType, 320, 320));
    EXPECT_EQ(picture.bitmap, nullptr) << c.what;
    if (!c.message) {
      EXPECT_TRUE(catcher.boxes().empty()) << c.what << ": " << catcher.boxes()[0].text;
      continue;
    }
    ASSERT_EQ(catcher.boxes().size(), 1u) << c.what;
    EXPECT_EQ(catcher.boxes()[0].caption, kMessageCaption) << c.what;
    EXPECT_EQ(catcher.boxes()[0].text, c.message) << c.what;
  }
}

// Every route, the silent failures included, gives back all the GDI objects
// it makes (device contexts, the decoder's DIB section, the full-size copy).
TEST(PictureFailures, FiftyRoundsOfLoadsLeaveNoGdiObjectBehind) {
  const int ids[] = {PICTURE_WIDE_640X480, PICTURE_PNG_RGB_4X2, PICTURE_PNG_ADAM7_3X3,
                     PICTURE_SCRAMBLED_10001, PICTURE_RAW_NOT_PNG, PICTURE_IMG_GARBAGE};
  const auto loadAll = [&ids](int round) {
    for (int id : ids) {
      HBITMAP picture = LoadPicture(nullptr, id, kPictureType, 210, 210);
      const bool expected = id != PICTURE_RAW_NOT_PNG && id != PICTURE_IMG_GARBAGE;
      EXPECT_EQ(picture != nullptr, expected) << "id " << id << ", round " << round;
      if (picture) DeleteObject(picture);
    }
  };
  // The first round may set up what the system keeps for the process.
  loadAll(0);
  const DWORD before = GdiObjectCount();
  for (int round = 1; round <= kLeakRounds; ++round) loadAll(round);
  const DWORD after = GdiObjectCount();
  if (before == 0) {
    GTEST_SKIP() << "the platform does not count GDI objects (GetGuiResources gives 0): "
                    "the loads were checked, the count was not";
  }
  EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace vidod::testing
