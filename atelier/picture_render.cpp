#include "atelier/picture_render.h"

#include <system_error>
#include <vector>

#include "maker/file_io.h"
#include "maker/picture_check.h"
#include "maker/picture_format.h"
#include "maker/picture_reduction.h"
#include "pictures/picture_header.h"
#include "pictures/picture_loader.h"
#include "pictures/png_picture.h"

namespace vidod {
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kChannels = 4;
constexpr unsigned kOpaque = 255;

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

// A 32-bit bitmap of the pixels, transparent ones drawn on the background
// as the player draws a PNG's.
HBITMAP BitmapOfPixels(const RgbaPicture& picture, COLORREF background) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = static_cast<LONG>(picture.width);
  info.bmiHeader.biHeight = -static_cast<LONG>(picture.height);  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return nullptr;
  const unsigned ground[3] = {GetBValue(background), GetGValue(background), GetRValue(background)};
  uint8_t* out = static_cast<uint8_t*>(bits);
  const std::size_t count = std::size_t{picture.width} * picture.height;
  for (std::size_t i = 0; i < count; ++i) {
    const uint8_t* in = &picture.pixels[i * kChannels];
    const unsigned alpha = in[3];
    const unsigned colour[3] = {in[2], in[1], in[0]};
    for (int c = 0; c < 3; ++c)
      out[i * kChannels + c] =
          static_cast<uint8_t>((colour[c] * alpha + ground[c] * (kOpaque - alpha) + kOpaque / 2) / kOpaque);
    out[i * kChannels + 3] = 0;
  }
  return bitmap;
}

std::wstring KeyOf(const fs::path& file, int rotation) { return file.wstring() + L"|" + std::to_wstring(rotation); }

}  // namespace

RenderedPicture RenderPicture(const PictureRequest& request) {
  RenderedPicture rendered;
  std::vector<uint8_t> bytes;
  std::string error;
  std::error_code code;
  rendered.inspection.size = fs::file_size(request.file, code);
  if (!code) rendered.inspection.modified = fs::last_write_time(request.file, code);
  if (code || !ReadFileBytes(request.file, &bytes, &error) || bytes.empty() || bytes.size() > UINT32_MAX) {
    if (request.inspect) {
      rendered.inspected = true;
      rendered.inspection.inspection.problem = error.empty() ? "fichier illisible" : error;
    }
    return rendered;
  }
  const PictureFormat format = DetectPictureFormat(bytes.data(), bytes.size());
  // A JPEG has no transparent pixels: it is drawn the same on any colour.
  rendered.opaque = format == PictureFormat::kJpeg;
  const PictureTurn turn = PictureFileTurn(bytes, request.rotation);
  // The header's size tells how small the decoding can be; the stored
  // orientation is the file's, before its own turn.
  PictureHeader header = {};
  uint32_t minWidth = 0, minHeight = 0;
  if (ReadPictureHeader(bytes.data(), bytes.size(), &header) == kPictureHeaderOk) {
    const uint32_t w = SwapsSides(turn) ? header.height : header.width;
    const uint32_t h = SwapsSides(turn) ? header.width : header.height;
    const PictureSize fitted = FittedSize(w, h, static_cast<uint32_t>(request.box.cx),
                                          static_cast<uint32_t>(request.box.cy));
    minWidth = SwapsSides(turn) ? fitted.height : fitted.width;
    minHeight = SwapsSides(turn) ? fitted.width : fitted.height;
  }
  RgbaPicture pixels;
  if (request.inspect) {
    rendered.inspected = true;
    rendered.inspection.inspection = InspectPicture(bytes, minWidth, minHeight, &pixels);
    if (!rendered.inspection.inspection.showable) return rendered;
  }
  HBITMAP whole = nullptr;
  if (format == PictureFormat::kPng && IsUpright(turn)) {
    whole = DecodePng(bytes, request.background);
  } else {
    std::string problem;
    if (pixels.pixels.empty() && !DecodePicturePixels(bytes, minWidth, minHeight, &pixels, &problem)) return rendered;
    whole = BitmapOfPixels(TurnPicture(pixels, turn), request.background);
  }
  rendered.fitted = FitBitmapToBox(whole, request.box.cx, request.box.cy);
  return rendered;
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
    BITMAP info = {};
    GetObjectW(picture, sizeof info, &info);
    const SIZE size = {info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
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

bool FindFittedPicture(FittedPictures* cache, const fs::path& file, int rotation, SIZE box, COLORREF background,
                       HBITMAP* fitted) {
  *fitted = nullptr;
  if (cache->box.cx != box.cx || cache->box.cy != box.cy) {
    ClearFittedPictures(cache);
    cache->box = box;
  }
  if (cache->background != background) {
    for (auto entry = cache->entries.begin(); entry != cache->entries.end();) {
      if (entry->second.opaque) {
        ++entry;
        continue;
      }
      if (entry->second.fitted) DeleteObject(entry->second.fitted);
      entry = cache->entries.erase(entry);
    }
    cache->background = background;
  }
  std::error_code code;
  const fs::file_time_type written = fs::last_write_time(file, code);
  if (code) return true;  // no file: nothing to show, nothing to decode
  const std::uintmax_t size = fs::file_size(file, code);
  const auto found = cache->entries.find(KeyOf(file, rotation));
  if (found == cache->entries.end() || found->second.written != written || found->second.size != size) return false;
  *fitted = found->second.fitted;
  return true;
}

void KeepFittedPicture(FittedPictures* cache, const PictureRequest& request, const RenderedPicture& rendered,
                       HBITMAP fitted) {
  if (cache->box.cx != request.box.cx || cache->box.cy != request.box.cy ||
      (cache->background != request.background && !rendered.opaque)) {
    if (fitted) DeleteObject(fitted);
    return;
  }
  FittedPictures::Entry& entry = cache->entries[KeyOf(request.file, request.rotation)];
  if (entry.fitted) DeleteObject(entry.fitted);
  entry.written = rendered.inspection.modified;
  entry.size = rendered.inspection.size;
  entry.fitted = fitted;
  entry.opaque = rendered.opaque;
}

}  // namespace vidod
