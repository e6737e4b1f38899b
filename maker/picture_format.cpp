#include "maker/picture_format.h"

#include <cstring>
#include <fstream>

namespace vidod {
namespace {

constexpr std::size_t kPictureSignatureSize = 8;  // the longest signature looked at

bool StartsWith(const uint8_t* bytes, std::size_t size, const char* signature, std::size_t length) {
  return size >= length && std::memcmp(bytes, signature, length) == 0;
}

}  // namespace

PictureFormat DetectPictureFormat(const uint8_t* bytes, std::size_t size) {
  if (StartsWith(bytes, size, "\xFF\xD8\xFF", 3)) return PictureFormat::kJpeg;
  if (StartsWith(bytes, size, "GIF87a", 6) || StartsWith(bytes, size, "GIF89a", 6)) return PictureFormat::kGif;
  if (StartsWith(bytes, size, "BM", 2)) return PictureFormat::kBmp;
  if (StartsWith(bytes, size, "\x89PNG\r\n\x1A\n", 8)) return PictureFormat::kPng;
  return PictureFormat::kUnknown;
}

PictureFormat DetectPictureFileFormat(const std::filesystem::path& file) {
  uint8_t signature[kPictureSignatureSize] = {};
  std::ifstream stream(file, std::ios::binary);
  stream.read(reinterpret_cast<char*>(signature), sizeof signature);
  return DetectPictureFormat(signature, static_cast<std::size_t>(stream.gcount()));
}

}  // namespace vidod
