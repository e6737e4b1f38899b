#include "maker/picture_format.h"

#include <cstring>
#include <fstream>

namespace vidod {
namespace {

// Enough for an ISO media file's type box with a few compatible brands.
constexpr std::size_t kPictureSignatureSize = 64;
constexpr std::size_t kBrandSize = 4;
constexpr std::size_t kFileTypeBrands = 8;      // the major brand, after the box size and "ftyp"
constexpr std::size_t kFileTypeCompatible = 16;  // after the major brand and the minor version

bool StartsWith(const uint8_t* bytes, std::size_t size, const char* signature, std::size_t length) {
  return size >= length && std::memcmp(bytes, signature, length) == 0;
}

bool BrandIs(const uint8_t* brand, const char* name) { return std::memcmp(brand, name, kBrandSize) == 0; }

// HEIF files (HEIC for HEVC pictures, AVIF for AV1 ones) open with a file
// type box listing brands; a generic "mif1" file is told by the brands that
// follow it.
PictureFormat IsoMediaFormat(const uint8_t* bytes, std::size_t size) {
  if (size < kFileTypeCompatible || std::memcmp(bytes + 4, "ftyp", 4) != 0) return PictureFormat::kUnknown;
  const std::size_t box = (std::size_t{bytes[0]} << 24) | (std::size_t{bytes[1]} << 16) |
                          (std::size_t{bytes[2]} << 8) | bytes[3];
  const std::size_t end = box < size ? box : size;
  bool heif = false;
  for (std::size_t at = kFileTypeBrands; at + kBrandSize <= end; at += at == kFileTypeBrands ? 8 : kBrandSize) {
    const uint8_t* brand = bytes + at;
    if (BrandIs(brand, "avif") || BrandIs(brand, "avis")) return PictureFormat::kAvif;
    if (BrandIs(brand, "heic") || BrandIs(brand, "heix") || BrandIs(brand, "hevc") || BrandIs(brand, "hevx") ||
        BrandIs(brand, "heim") || BrandIs(brand, "heis") || BrandIs(brand, "mif1") || BrandIs(brand, "msf1"))
      heif = true;
  }
  return heif ? PictureFormat::kHeic : PictureFormat::kUnknown;
}

}  // namespace

PictureFormat DetectPictureFormat(const uint8_t* bytes, std::size_t size) {
  if (StartsWith(bytes, size, "\xFF\xD8\xFF", 3)) return PictureFormat::kJpeg;
  if (StartsWith(bytes, size, "GIF87a", 6) || StartsWith(bytes, size, "GIF89a", 6)) return PictureFormat::kGif;
  if (StartsWith(bytes, size, "BM", 2)) return PictureFormat::kBmp;
  if (StartsWith(bytes, size, "\x89PNG\r\n\x1A\n", 8)) return PictureFormat::kPng;
  if (StartsWith(bytes, size, "RIFF", 4) && size >= 12 && std::memcmp(bytes + 8, "WEBP", 4) == 0)
    return PictureFormat::kWebp;
  return IsoMediaFormat(bytes, size);
}

PictureFormat DetectPictureFileFormat(const std::filesystem::path& file) {
  uint8_t signature[kPictureSignatureSize] = {};
  std::ifstream stream(file, std::ios::binary);
  stream.read(reinterpret_cast<char*>(signature), sizeof signature);
  return DetectPictureFormat(signature, static_cast<std::size_t>(stream.gcount()));
}

bool PlayerShowsFormat(PictureFormat format) {
  return format == PictureFormat::kJpeg || format == PictureFormat::kGif || format == PictureFormat::kBmp ||
         format == PictureFormat::kPng;
}

bool BuildTurnsFormat(PictureFormat format) {
  return format != PictureFormat::kGif && format != PictureFormat::kBmp && format != PictureFormat::kUnknown;
}

const char* PictureFormatName(PictureFormat format) {
  switch (format) {
    case PictureFormat::kJpeg: return "JPEG";
    case PictureFormat::kGif: return "GIF";
    case PictureFormat::kBmp: return "BMP";
    case PictureFormat::kPng: return "PNG";
    case PictureFormat::kWebp: return "WebP";
    case PictureFormat::kHeic: return "HEIC";
    case PictureFormat::kAvif: return "AVIF";
    case PictureFormat::kUnknown: break;
  }
  return "fichier";
}

}  // namespace vidod
