#include <cstdint>
#include <vector>

#include "pictures/fit_to_box.h"
#include "pictures/picture_header.h"
#include "pictures/picture_loader.h"

namespace vidod {

namespace {

constexpr WORD kRawDataType = 10;  // RT_RCDATA, where the PNG route looks

// Asked for a bitmap with a side of 0, the screen-compatible bitmap that the
// fitting creates comes back 1 x 1: a very thin picture is fitted to that.
constexpr int kEmptyBitmapSide = 1;

// The size FitBitmapToBox gives a width x height bitmap.
bool FitAsBitmap(int width, int height, int boxWidth, int boxHeight, SIZE* size) {
  FittedSize fitted;
  if (!FitSizeToBox(width, height, boxWidth, boxHeight, &fitted)) return false;
  if (fitted.width == 0 || fitted.height == 0) {
    fitted.width = kEmptyBitmapSide;
    fitted.height = kEmptyBitmapSide;
  }
  *size = SIZE{fitted.width, fitted.height};
  return true;
}

// The PNG route's raw-data resource, read as it is stored (it is never
// scrambled).
bool RawDataBytes(HMODULE module, int id, const uint8_t** bytes, uint32_t* length) {
  HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(kRawDataType));
  HGLOBAL loaded = info ? LoadResource(module, info) : nullptr;
  if (!loaded) return false;
  *bytes = static_cast<const uint8_t*>(LockResource(loaded));
  *length = *bytes ? SizeofResource(module, info) : 0;
  return true;
}

bool ReadSides(const uint8_t* bytes, uint32_t size, PictureHeader* header) {
  return ReadPictureHeader(bytes, size, header) == kPictureHeaderOk;
}

}  // namespace

bool PictureSizeInBox(HMODULE module, int id, const char* type, int boxWidth, int boxHeight,
                      SIZE* size) {
  if (id <= 0 || id > 0xFFFF) return false;
  std::vector<uint8_t> plain;
  const uint8_t* bytes = nullptr;
  uint32_t length = 0;
  PictureHeader header;
  if (ReadPictureResource(module, id, type, &plain, &bytes, &length)) {
    return ReadSides(bytes, length, &header) &&
           FitAsBitmap(static_cast<int>(header.width), static_cast<int>(header.height), boxWidth,
                       boxHeight, size);
  }
  // The PNG route fits its bitmap, and LoadPicture fits the result again.
  if (!RawDataBytes(module, id, &bytes, &length)) return false;
  if (!ReadSides(bytes, length, &header) || header.format != PictureHeaderFormat::kPng)
    return false;
  SIZE once;
  return FitAsBitmap(static_cast<int>(header.width), static_cast<int>(header.height), boxWidth,
                     boxHeight, &once) &&
         FitAsBitmap(once.cx, once.cy, boxWidth, boxHeight, size);
}

}  // namespace vidod
