#include "maker/picture_reduction.h"

#include <algorithm>
#include <cmath>

#include "pictures/picture_header.h"

namespace vidod {
namespace {

constexpr std::size_t kChannels = 4;
constexpr std::size_t kAlpha = 3;
constexpr float kOpaque = 255.0f;

// The source pixels that cover one pixel of the reduced picture along an
// axis, and how much of each.
struct Coverage {
  uint32_t first = 0;
  std::vector<float> weights;  // summing to 1
};

std::vector<Coverage> AxisCoverage(uint32_t from, uint32_t to) {
  const double scale = static_cast<double>(from) / to;
  std::vector<Coverage> axis(to);
  for (uint32_t o = 0; o < to; ++o) {
    const double start = o * scale;
    const double end = std::min<double>((o + 1) * scale, from);
    axis[o].first = static_cast<uint32_t>(start);
    for (uint32_t i = axis[o].first; i < from && i < end; ++i) {
      const double covered = std::min<double>(end, i + 1) - std::max<double>(start, i);
      axis[o].weights.push_back(static_cast<float>(covered / scale));
    }
  }
  return axis;
}

uint8_t ToByte(float value) { return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L)); }

bool HasTransparency(const RgbaPicture& picture) {
  for (std::size_t i = kAlpha; i < picture.pixels.size(); i += kChannels)
    if (picture.pixels[i] != 0xFF) return true;
  return false;
}

bool Encode(const RgbaPicture& picture, bool png, int quality, std::vector<uint8_t>* stored,
            PictureFormat* storedFormat, std::string* problem) {
  *storedFormat = png ? PictureFormat::kPng : PictureFormat::kJpeg;
  return png ? EncodePng(picture, HasTransparency(picture), stored, problem)
             : EncodeJpeg(picture, quality, stored, problem);
}

}  // namespace

bool FitsViewBox(uint32_t width, uint32_t height) { return width <= kViewBoxWidth && height <= kViewBoxHeight; }

PictureSize FittedSize(uint32_t width, uint32_t height, uint32_t boxWidth, uint32_t boxHeight) {
  const double scale = std::min(static_cast<double>(boxWidth) / width, static_cast<double>(boxHeight) / height);
  return {std::max<uint32_t>(1, static_cast<uint32_t>(width * scale)),
          std::max<uint32_t>(1, static_cast<uint32_t>(height * scale))};
}

RgbaPicture ShrinkTo(const RgbaPicture& picture, uint32_t width, uint32_t height) {
  RgbaPicture reduced;
  reduced.width = width;
  reduced.height = height;
  const std::vector<Coverage> columns = AxisCoverage(picture.width, reduced.width);
  const std::vector<Coverage> rows = AxisCoverage(picture.height, reduced.height);

  // Colours are weighted by their alpha, so that transparent pixels lend no
  // colour to their opaque neighbours.
  std::vector<float> across(std::size_t{reduced.width} * picture.height * kChannels, 0.0f);
  for (uint32_t y = 0; y < picture.height; ++y) {
    const uint8_t* source = &picture.pixels[std::size_t{y} * picture.width * kChannels];
    float* target = &across[std::size_t{y} * reduced.width * kChannels];
    for (uint32_t o = 0; o < reduced.width; ++o) {
      for (std::size_t k = 0; k < columns[o].weights.size(); ++k) {
        const uint8_t* pixel = source + (columns[o].first + k) * kChannels;
        const float weight = columns[o].weights[k];
        const float alpha = pixel[kAlpha] / kOpaque;
        for (std::size_t c = 0; c < kAlpha; ++c) target[o * kChannels + c] += weight * alpha * pixel[c];
        target[o * kChannels + kAlpha] += weight * pixel[kAlpha];
      }
    }
  }
  reduced.pixels.assign(std::size_t{reduced.width} * reduced.height * kChannels, 0);
  std::vector<float> sum(std::size_t{reduced.width} * kChannels);
  for (uint32_t o = 0; o < reduced.height; ++o) {
    std::fill(sum.begin(), sum.end(), 0.0f);
    for (std::size_t k = 0; k < rows[o].weights.size(); ++k) {
      const float* source = &across[(rows[o].first + k) * std::size_t{reduced.width} * kChannels];
      for (std::size_t i = 0; i < sum.size(); ++i) sum[i] += rows[o].weights[k] * source[i];
    }
    uint8_t* target = &reduced.pixels[std::size_t{o} * reduced.width * kChannels];
    for (uint32_t x = 0; x < reduced.width; ++x) {
      const float alpha = sum[x * kChannels + kAlpha];
      for (std::size_t c = 0; c < kAlpha; ++c)
        target[x * kChannels + c] = alpha > 0.0f ? ToByte(sum[x * kChannels + c] * kOpaque / alpha) : 0;
      target[x * kChannels + kAlpha] = ToByte(alpha);
    }
  }
  return reduced;
}

RgbaPicture ShrinkToViewBox(const RgbaPicture& picture) {
  const PictureSize size = FittedSize(picture.width, picture.height, kViewBoxWidth, kViewBoxHeight);
  return ShrinkTo(picture, size.width, size.height);
}

PictureTurn PictureFileTurn(const std::vector<uint8_t>& bytes, int rotation) {
  const PictureTurn own = DetectPictureFormat(bytes.data(), bytes.size()) == PictureFormat::kJpeg
                              ? TurnOfExifOrientation(ReadJpegOrientation(bytes.data(), bytes.size()))
                              : PictureTurn{};
  return ThenRotate(own, rotation);
}

StoredPicture PreparePictureForPlayer(const std::vector<uint8_t>& bytes, int rotation, bool reduce,
                                      std::vector<uint8_t>* stored, PictureFormat* storedFormat,
                                      std::string* problem) {
  const PictureFormat format = DetectPictureFormat(bytes.data(), bytes.size());
  const PictureTurn turn = PictureFileTurn(bytes, rotation);
  *storedFormat = format;
  PictureHeader header = {};
  const bool sized = PlayerShowsFormat(format) && ReadPictureHeader(bytes.data(), bytes.size(), &header) == kPictureHeaderOk;
  const bool large = reduce && (!sized || !FitsViewBox(SwapsSides(turn) ? header.height : header.width,
                                                        SwapsSides(turn) ? header.width : header.height));
  const bool redrawable = format != PictureFormat::kGif && format != PictureFormat::kBmp;
  // A tag left in the stored file would turn it again wherever it is read
  // back (the Atelier, an unpacked quiz), though the player ignores it.
  const bool tagged = format == PictureFormat::kJpeg && ReadJpegOrientation(bytes.data(), bytes.size()) != 1;
  if (PlayerShowsFormat(format) && IsUpright(turn) && !tagged && (!large || !redrawable))
    return StoredPicture::kAsIs;
  if (!redrawable) {
    *problem = std::string("une image ") + PictureFormatName(format) +
               " ne peut pas être tournée à la construction : enregistrez-la en PNG";
    return StoredPicture::kFailed;
  }
  // Turned only: a JPEG whose sides are whole blocks turns without a loss.
  if (format == PictureFormat::kJpeg && !large &&
      TurnJpegLosslessly(bytes, turn.quarterTurns, turn.mirrored, stored))
    return StoredPicture::kRewritten;

  // Decoded no larger than needed: the view's box in the stored picture's
  // own orientation, when reducing.
  // The size shown is fitted from the file's own size, not the decoder's
  // scaled one, so that it is the player's to the pixel.
  uint32_t minWidth = 0, minHeight = 0;
  PictureSize shown;
  if (large && sized) {
    shown = FittedSize(SwapsSides(turn) ? header.height : header.width,
                       SwapsSides(turn) ? header.width : header.height, kViewBoxWidth, kViewBoxHeight);
    minWidth = SwapsSides(turn) ? shown.height : shown.width;
    minHeight = SwapsSides(turn) ? shown.width : shown.height;
  }
  RgbaPicture picture;
  if (!DecodePicturePixels(bytes, minWidth, minHeight, &picture, problem)) return StoredPicture::kFailed;
  picture = TurnPicture(picture, turn);
  if (large && sized)
    picture = ShrinkTo(picture, shown.width, shown.height);
  else if (reduce && !FitsViewBox(picture.width, picture.height))
    picture = ShrinkToViewBox(picture);
  const bool png = format == PictureFormat::kPng || HasTransparency(picture);
  const int quality = format == PictureFormat::kJpeg && !large ? kTurnedJpegQuality : kReducedJpegQuality;
  return Encode(picture, png, quality, stored, storedFormat, problem) ? StoredPicture::kRewritten
                                                                      : StoredPicture::kFailed;
}

}  // namespace vidod
