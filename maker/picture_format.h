// Picture files that a quiz can carry, told apart by their first bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace vidod {

enum class PictureFormat { kUnknown, kJpeg, kGif, kBmp, kPng };

PictureFormat DetectPictureFormat(const uint8_t* bytes, std::size_t size);
// kUnknown too for a file that cannot be read.
PictureFormat DetectPictureFileFormat(const std::filesystem::path& file);

}  // namespace vidod
