// Picture files that a quiz can take, told apart by their first bytes: the
// four the player shows (JPEG, GIF, BMP, PNG) and the web and phone formats
// that build stores as one of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace vidod {

enum class PictureFormat { kUnknown, kJpeg, kGif, kBmp, kPng, kWebp, kHeic, kAvif };

// Every format a quiz takes, for messages.
constexpr char kTakenPictureFormats[] = "JPEG, PNG, GIF, BMP, WebP, HEIC ou AVIF";

PictureFormat DetectPictureFormat(const uint8_t* bytes, std::size_t size);
// kUnknown too for a file that cannot be read.
PictureFormat DetectPictureFileFormat(const std::filesystem::path& file);

// JPEG, GIF, BMP or PNG: stored as they are, the player decodes them.
bool PlayerShowsFormat(PictureFormat format);
// Whether build can store a picture of the format turned: GIF and BMP are
// stored as they are.
bool BuildTurnsFormat(PictureFormat format);
// "JPEG", "WebP", "HEIC"...; "fichier" for kUnknown.
const char* PictureFormatName(PictureFormat format);

}  // namespace vidod
