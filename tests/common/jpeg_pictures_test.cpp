// JPEGs as cameras store them, the same in the native and the Windows
// builds (both decode, encode and turn JPEG through libjpeg-turbo): turned
// upright by their orientation tag and the question's rotation, and decoded
// no larger than needed. Every picture is made here.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "maker/picture_check.h"
#include "maker/picture_codec.h"
#include "maker/picture_reduction.h"
#include "oriented_pictures.h"

namespace vidod {
namespace {

using testing::JpegOf;
using testing::OrientedJpeg;
using testing::QuartersAtMiddles;
using testing::UprightQuarters;
using testing::WholePixels;

const std::vector<int> kUpright = {0, 1, 2, 3};

TEST(PictureTurnTest, EveryOrientationAndRotationIsStoredUpright) {
  const struct {
    uint16_t orientation;
    int rotation;  // the question's, on top
    uint32_t width, height;  // upright
    bool reduce;
  } cases[] = {
      // Whole blocks: turned without decoding.
      {1, 0, 64, 32, false}, {2, 0, 64, 32, false}, {3, 0, 64, 32, false}, {4, 0, 64, 32, false},
      {5, 0, 64, 32, false}, {6, 0, 64, 32, false}, {7, 0, 64, 32, false}, {8, 0, 64, 32, false},
      // Sides that are not whole blocks: decoded, turned, written again.
      {6, 0, 60, 30, false}, {7, 0, 60, 30, false},
      // The author's quarter turn after the camera's.
      {1, 90, 64, 32, false}, {6, 270, 64, 32, false}, {2, 180, 60, 30, false},
      // Reduced: decoded at a smaller scale, turned, fitted to 640 x 480.
      {6, 0, 1600, 800, true}, {8, 90, 1200, 1600, true},
  };
  for (const auto& c : cases) {
    const std::string what = "orientation " + std::to_string(c.orientation) + " rotation " +
                             std::to_string(c.rotation) + " " + std::to_string(c.width) + "x" + std::to_string(c.height);
    const PictureTurn turn = ThenRotate(TurnOfExifOrientation(c.orientation), c.rotation);
    const std::vector<uint8_t> file = OrientedJpeg(c.width, c.height, c.orientation, c.rotation);
    // The checks give the size as shown, before the question's rotation.
    const PictureInspection inspection = InspectPicture(file);
    ASSERT_TRUE(inspection.showable) << what << inspection.problem;
    const bool rotated = c.rotation % 180 != 0;
    EXPECT_EQ(inspection.width, rotated ? c.height : c.width) << what;
    EXPECT_EQ(inspection.height, rotated ? c.width : c.height) << what;

    std::vector<uint8_t> stored;
    PictureFormat format = PictureFormat::kUnknown;
    std::string problem;
    ASSERT_EQ(PreparePictureForPlayer(file, c.rotation, c.reduce, &stored, &format, &problem),
              c.orientation == 1 && IsUpright(turn) && !c.reduce ? StoredPicture::kAsIs : StoredPicture::kRewritten)
        << what << problem;
    if (stored.empty()) stored = file;
    EXPECT_EQ(format, PictureFormat::kJpeg) << what;
    // The player ignores the tag: none is left to turn it twice elsewhere.
    EXPECT_EQ(ReadJpegOrientation(stored.data(), stored.size()), 1) << what;
    const RgbaPicture shown = WholePixels(stored);
    const PictureSize size = c.reduce ? FittedSize(c.width, c.height, kViewBoxWidth, kViewBoxHeight)
                                      : PictureSize{c.width, c.height};
    EXPECT_EQ(shown.width, size.width) << what;
    EXPECT_EQ(shown.height, size.height) << what;
    EXPECT_EQ(QuartersAtMiddles(shown), kUpright) << what;
  }
}

// A JPEG is decoded at the smallest DCT scale that still covers the size
// asked for: a thumbnail of a photo never costs its whole size.
TEST(PictureTurnTest, JpegsAreDecodedNoLargerThanNeeded) {
  const std::vector<uint8_t> photo = JpegOf(UprightQuarters(1600, 1200));
  const struct {
    uint32_t minWidth, minHeight, width, height;
  } cases[] = {{0, 0, 1600, 1200}, {640, 480, 800, 600}, {400, 300, 400, 300}, {64, 48, 200, 150}, {1000, 10, 1600, 1200}};
  for (const auto& c : cases) {
    RgbaPicture picture;
    std::string problem;
    ASSERT_TRUE(DecodePicturePixels(photo, c.minWidth, c.minHeight, &picture, &problem)) << problem;
    EXPECT_EQ(picture.width, c.width) << c.minWidth;
    EXPECT_EQ(picture.height, c.height) << c.minWidth;
  }
}

}  // namespace
}  // namespace vidod
