// Teachers' own photos: web and phone formats stored as what the player
// shows, the rotation key, a build stopped between pictures (the JPEG
// turns and scales, shared with the Windows build, are in
// tests/common/jpeg_pictures_test.cpp). Every picture is made here.
#include <gtest/gtest.h>
#include <libheif/heif.h>
#include <webp/encode.h>

#include <atomic>

#include "maker/picture_check.h"
#include "maker/picture_codec.h"
#include "maker/picture_reduction.h"
#include "maker/quiz_project.h"
#include "maker/quiz_resources.h"
#include "maker/quiz_toml.h"
#include "maker_test_support.h"
#include "oriented_pictures.h"

namespace vidod {
namespace {

using makertest::Bytes;
using makertest::ParseOrFail;
using makertest::ScratchFolder;
using makertest::Text;
using makertest::WriteFile;

using testing::JpegOf;
using testing::QuartersAtMiddles;
using testing::UprightQuarters;
using testing::WholePixels;

RgbaPicture Upright(uint32_t width, uint32_t height) { return UprightQuarters(width, height); }
std::vector<uint8_t> Jpeg(const RgbaPicture& picture) { return JpegOf(picture); }

const std::vector<int> kUpright = {0, 1, 2, 3};

std::vector<uint8_t> Webp(const RgbaPicture& picture) {
  uint8_t* output = nullptr;
  const std::size_t size = WebPEncodeLosslessRGBA(picture.pixels.data(), static_cast<int>(picture.width),
                                                  static_cast<int>(picture.height),
                                                  static_cast<int>(picture.width * 4), &output);
  std::vector<uint8_t> bytes(output, output + size);
  WebPFree(output);
  return bytes;
}

// A HEIC written by libheif's own encoder, when this machine has one.
std::vector<uint8_t> Heic(const RgbaPicture& picture) {
  heif_context* context = heif_context_alloc();
  heif_encoder* encoder = nullptr;
  heif_image* image = nullptr;
  std::vector<uint8_t> bytes;
  if (heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder).code == heif_error_Ok &&
      heif_image_create(static_cast<int>(picture.width), static_cast<int>(picture.height), heif_colorspace_RGB,
                        heif_chroma_interleaved_RGBA, &image).code == heif_error_Ok &&
      heif_image_add_plane(image, heif_channel_interleaved, static_cast<int>(picture.width),
                           static_cast<int>(picture.height), 8).code == heif_error_Ok) {
    int stride = 0;
    uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (uint32_t y = 0; y < picture.height; ++y)
      std::copy_n(&picture.pixels[std::size_t{y} * picture.width * 4], picture.width * 4, plane + y * stride);
    heif_encoder_set_lossy_quality(encoder, 90);
    heif_writer writer = {};
    writer.writer_api_version = 1;
    writer.write = [](heif_context*, const void* data, size_t size, void* into) {
      auto* out = static_cast<std::vector<uint8_t>*>(into);
      out->insert(out->end(), static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
      return heif_error{heif_error_Ok, heif_suberror_Unspecified, ""};
    };
    if (heif_context_encode_image(context, image, encoder, nullptr, nullptr).code == heif_error_Ok)
      heif_context_write(context, &writer, &bytes);
  }
  if (image) heif_image_release(image);
  if (encoder) heif_encoder_release(encoder);
  heif_context_free(context);
  return bytes;
}

// What the web and phones give is stored as a JPEG, or a PNG that keeps its
// transparency; what cannot be decoded is named with the way to a JPEG.
TEST(PictureTurnTest, WebAndPhonePicturesAreStoredAsThePlayerShowsThem) {
  RgbaPicture clear = Upright(64, 32);
  for (std::size_t i = 7; i < clear.pixels.size(); i += 8) clear.pixels[i] = 0;  // every other pixel transparent
  const std::vector<uint8_t> heic = Heic(Upright(64, 32));
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    PictureFormat stored;  // kUnknown: refused
    bool alpha;
    const char* told;  // in the problem when refused
  } cases[] = {
      {"WebP", Webp(Upright(64, 32)), PictureFormat::kJpeg, false, nullptr},
      {"WebP with alpha", Webp(clear), PictureFormat::kPng, true, nullptr},
      {"HEIC", heic, heic.empty() ? PictureFormat::kUnknown : PictureFormat::kJpeg, false, "HEIC"},
      // An iPhone photo cut short: its brands say HEIC, nothing decodes.
      {"broken HEIC", Bytes(std::string("\0\0\0\x18" "ftypheic\0\0\0\0mif1heic", 24) + std::string(200, 'x')),
       PictureFormat::kUnknown, false, "Le plus compatible"},
      {"broken WebP", Bytes(std::string("RIFF\x20\0\0\0WEBPVP8 ", 16) + std::string(20, '\x01')),
       PictureFormat::kUnknown, false, "en JPEG"},
  };
  for (const auto& c : cases) {
    if (c.bytes.empty()) continue;  // no HEVC encoder here to make one
    const PictureInspection inspection = InspectPicture(c.bytes);
    std::vector<uint8_t> stored;
    PictureFormat format = PictureFormat::kUnknown;
    std::string problem;
    const StoredPicture result = PreparePictureForPlayer(c.bytes, 0, true, &stored, &format, &problem);
    if (c.stored == PictureFormat::kUnknown) {
      EXPECT_FALSE(inspection.showable) << c.name;
      EXPECT_NE(inspection.problem.find(c.told), std::string::npos) << c.name << ": " << inspection.problem;
      EXPECT_EQ(result, StoredPicture::kFailed) << c.name;
      continue;
    }
    ASSERT_TRUE(inspection.showable) << c.name << inspection.problem;
    EXPECT_EQ(inspection.width, 64u) << c.name;
    ASSERT_EQ(result, StoredPicture::kRewritten) << c.name << problem;
    EXPECT_EQ(format, c.stored) << c.name;
    EXPECT_EQ(DetectPictureFormat(stored.data(), stored.size()), c.stored) << c.name;
    const RgbaPicture shown = WholePixels(stored);
    ASSERT_FALSE(shown.pixels.empty()) << c.name;
    EXPECT_EQ(shown.pixels[7], c.alpha ? 0 : 255) << c.name;
    EXPECT_EQ(QuartersAtMiddles(shown), kUpright) << c.name;
  }
}

// The rotation key: read, checked and written back.
TEST(PictureTurnTest, TheRotationKeyTakesQuarterTurns) {
  ScratchFolder folder;
  WriteFile(folder.path() / "photo.jpg", Text(Jpeg(Upright(64, 32))));
  const struct {
    const char* value;
    int rotation;  // -1: refused
  } cases[] = {{"90", 90}, {"270", 270}, {"0", 0}, {"45", -1}, {"-90", -1}, {"\"90\"", -1}, {"90.0", -1}};
  for (const auto& c : cases) {
    const std::string source =
        std::string("[[question]]\nreponse = \"Loire\"\nimage = \"photo.jpg\"\nrotation = ") + c.value + "\n";
    QuizSource quiz;
    std::vector<SourceIssue> issues;
    ParseQuizSource(source, folder.path() / "quiz.toml", &quiz, &issues);
    EXPECT_EQ(HasErrors(issues), c.rotation < 0) << c.value;
    if (c.rotation < 0) continue;
    EXPECT_EQ(quiz.questions[0].rotation, c.rotation) << c.value;
    EXPECT_EQ(ParseOrFail(WriteQuizSource(quiz, {}), folder.path()).questions[0].rotation, c.rotation) << c.value;
  }
  // A quarter turn exchanges the sides the checks compare with the view.
  QuizSource tall = ParseOrFail("[[question]]\nreponse = \"Loire\"\nimage = \"photo.jpg\"\n", folder.path());
  WriteFile(folder.path() / "photo.jpg", Text(Jpeg(Upright(600, 700))));
  const auto warnsOfSize = [&](int rotation) {
    tall.questions[0].rotation = rotation;
    for (const SourceIssue& issue : CheckQuiz(tall, folder.path() / "quiz.toml", nullptr))
      if (issue.key == "image" && issue.message.find("pixels") != std::string::npos) return true;
    return false;
  };
  EXPECT_FALSE(warnsOfSize(0));  // 600 x 700 is not four views' worth
  tall.reducePictures = false;
  WriteFile(folder.path() / "photo.jpg", Text(Jpeg(Upright(2000, 1000))));
  EXPECT_TRUE(warnsOfSize(90));
  // GIF cannot be redrawn: turning one is refused before build.
  WriteFile(folder.path() / "photo.jpg", makertest::kGifBytes);
  tall.questions[0].rotation = 90;
  const std::vector<SourceIssue> issues = CheckQuiz(tall, folder.path() / "quiz.toml", nullptr);
  EXPECT_TRUE(HasErrors(issues));
}

// A build tells its progress picture by picture and stops between two
// pictures when cancelled.
TEST(PictureTurnTest, ABuildStopsBetweenPicturesWhenCancelled) {
  ScratchFolder folder;
  std::string source = "titre = \"Photos\"\nreduire_images = true\n";
  for (int i = 0; i < 3; ++i) {
    WriteFile(folder.path() / ("p" + std::to_string(i) + ".jpg"), Text(Jpeg(Upright(1280, 960))));
    source += "[[question]]\nreponse = \"P" + std::to_string(i) + "\"\nimage = \"p" + std::to_string(i) + ".jpg\"\n";
  }
  const QuizSource quiz = ParseOrFail(source, folder.path());
  std::atomic<bool> cancel{false};
  bool stopAtOne = true;
  std::vector<std::size_t> seen;
  BuildProgress progress;
  progress.cancel = &cancel;
  progress.onPicture = [&](std::size_t done, std::size_t total) {
    seen.push_back(done);
    EXPECT_EQ(total, 3u);
    if (done == 1 && seen.size() == 2 && stopAtOne) cancel = true;
  };
  std::vector<ResourceEntry> entries;
  std::string error;
  EXPECT_FALSE(MakeQuizResources(quiz, folder.path() / "quiz.toml", true, &entries, &error, &progress));
  EXPECT_EQ(error, kBuildCancelled);
  EXPECT_EQ(seen, (std::vector<std::size_t>{0, 1}));
  cancel = false;
  stopAtOne = false;
  seen.clear();
  ASSERT_TRUE(MakeQuizResources(quiz, folder.path() / "quiz.toml", true, &entries, &error, &progress)) << error;
  EXPECT_EQ(seen, (std::vector<std::size_t>{0, 1, 2, 3}));
  for (std::size_t i = 2; i < entries.size(); ++i) EXPECT_LT(entries[i].data.size(), 100000u);
}

}  // namespace
}  // namespace vidod
