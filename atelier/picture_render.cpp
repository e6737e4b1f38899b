#include "atelier/picture_render.h"

#include <system_error>
#include <vector>

#include "maker/file_io.h"
#include "maker/picture_format.h"
#include "pictures/picture_loader.h"
#include "pictures/png_picture.h"

namespace vidod {
namespace fs = std::filesystem;

namespace {

HBITMAP DecodePng(const std::vector<uint8_t>& bytes, COLORREF background) {
  PngDecoderState state;
  PngDecoder::Reset(&state);
  HBITMAP bitmap = nullptr;
  const PngBackground colour = {GetRValue(background), GetGValue(background), GetBValue(background)};
  if (PngDecoder::OpenBytes(&state, bytes.data(), static_cast<uint32_t>(bytes.size())) &&
      PngDecoder::SetBackground(&state, colour) && PngDecoder::Decode(&state))
    bitmap = PngDecoder::CreateBitmap(&state, nullptr);
  PngDecoder::Release(&state);
  return bitmap;
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info = {};
  GetObjectW(bitmap, sizeof info, &info);
  return SIZE{info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
}

}  // namespace

HBITMAP DecodePictureFile(const fs::path& file, COLORREF background) {
  std::vector<uint8_t> bytes;
  std::string error;
  if (!ReadFileBytes(file, &bytes, &error) || bytes.empty() || bytes.size() > UINT32_MAX) return nullptr;
  switch (DetectPictureFormat(bytes.data(), bytes.size())) {
    case PictureFormat::kPng:
      return DecodePng(bytes, background);
    case PictureFormat::kJpeg:
    case PictureFormat::kGif:
    case PictureFormat::kBmp:
      return DecodePicture(bytes.data(), static_cast<uint32_t>(bytes.size()));
    case PictureFormat::kUnknown:
      break;
  }
  return nullptr;
}

HBITMAP ComposeOnColour(HBITMAP picture, COLORREF colour, int width, int height) {
  HDC screen = GetDC(nullptr);
  HDC target = CreateCompatibleDC(screen);
  HBITMAP composed = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ oldTarget = SelectObject(target, composed);
  HBRUSH background = CreateSolidBrush(colour);
  const RECT all = {0, 0, width, height};
  FillRect(target, &all, background);
  DeleteObject(background);
  if (picture) {
    const SIZE size = BitmapSize(picture);
    HDC source = CreateCompatibleDC(screen);
    HGDIOBJ oldSource = SelectObject(source, picture);
    BitBlt(target, (width - size.cx) / 2, (height - size.cy) / 2, size.cx, size.cy, source, 0, 0, SRCCOPY);
    SelectObject(source, oldSource);
    DeleteDC(source);
  }
  SelectObject(target, oldTarget);
  DeleteDC(target);
  ReleaseDC(nullptr, screen);
  return composed;
}

void ClearFittedPictures(FittedPictures* cache) {
  for (auto& [name, entry] : cache->entries)
    if (entry.fitted) DeleteObject(entry.fitted);
  cache->entries.clear();
}

HBITMAP FittedPicture(FittedPictures* cache, const fs::path& file, SIZE box, COLORREF background) {
  if (cache->box.cx != box.cx || cache->box.cy != box.cy || cache->background != background) {
    ClearFittedPictures(cache);
    cache->box = box;
    cache->background = background;
  }
  std::error_code code;
  const fs::file_time_type written = fs::last_write_time(file, code);
  if (code) return nullptr;
  auto found = cache->entries.find(file.wstring());
  if (found != cache->entries.end() && found->second.written == written) return found->second.fitted;
  if (found != cache->entries.end() && found->second.fitted) DeleteObject(found->second.fitted);
  FittedPictures::Entry entry;
  entry.written = written;
  entry.fitted = FitBitmapToBox(DecodePictureFile(file, background), box.cx, box.cy);
  cache->entries[file.wstring()] = entry;
  return entry.fitted;
}

}  // namespace vidod
