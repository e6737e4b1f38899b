#include "maker/picture_reduction.h"

#include <algorithm>
#include <cmath>

#include "maker/picture_format.h"

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

}  // namespace

bool FitsViewBox(uint32_t width, uint32_t height) { return width <= kViewBoxWidth && height <= kViewBoxHeight; }

RgbaPicture ShrinkToViewBox(const RgbaPicture& picture) {
  // The player's own fitting: the smaller of the two ratios, sizes truncated.
  const double scale = std::min(static_cast<double>(kViewBoxWidth) / picture.width,
                                static_cast<double>(kViewBoxHeight) / picture.height);
  RgbaPicture reduced;
  reduced.width = std::max<uint32_t>(1, static_cast<uint32_t>(picture.width * scale));
  reduced.height = std::max<uint32_t>(1, static_cast<uint32_t>(picture.height * scale));
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

bool ReducePictureFile(const std::vector<uint8_t>& bytes, std::vector<uint8_t>* reduced, std::string* problem) {
  const PictureFormat format = DetectPictureFormat(bytes.data(), bytes.size());
  RgbaPicture picture;
  if (format == PictureFormat::kJpeg) {
    if (!DecodeJpeg(bytes, &picture, problem) || FitsViewBox(picture.width, picture.height)) return false;
    return EncodeJpeg(ShrinkToViewBox(picture), reduced, problem);
  }
  if (format == PictureFormat::kPng) {
    if (!DecodePngWithAlpha(bytes, &picture, problem) || FitsViewBox(picture.width, picture.height)) return false;
    bool transparent = false;
    for (std::size_t i = kAlpha; i < picture.pixels.size() && !transparent; i += kChannels)
      transparent = picture.pixels[i] != 0xFF;
    return EncodePng(ShrinkToViewBox(picture), transparent, reduced, problem);
  }
  *problem = "vidod-make ne réduit que les JPEG et les PNG";
  return false;
}

}  // namespace vidod
