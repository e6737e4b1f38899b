#include "pictures/picture_loader.h"

#include <objbase.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstdio>
#include <vector>

#include "common/window_text.h"

namespace vidod {

namespace {

constexpr char kCopyFailureFormat[] = "%s plante avec l'erreur : %d\n";
constexpr char kCopyFailureCaption[] = "Information";

// COM is initialised once for the thread, on the first picture, and balanced
// by ReleasePictureService.
bool g_comInitialised = false;
HWND g_messageOwner = nullptr;

void EnsurePictureService() {
  if (g_comInitialised) return;
  const HRESULT result = CoInitialize(nullptr);
  g_comInitialised = SUCCEEDED(result);
}

int BitmapHeight(const BITMAP& info) { return info.bmHeight < 0 ? -info.bmHeight : info.bmHeight; }

// A new screen-compatible bitmap of width x height, drawn by draw(target,
// source) with source (if any) selected into a second memory context;
// deletes source.
template <typename Draw>
HBITMAP RedrawBitmap(HBITMAP source, int width, int height, Draw draw) {
  HDC screen = GetDC(nullptr);
  HDC sourceDc = CreateCompatibleDC(screen);
  HGDIOBJ oldSource = source ? SelectObject(sourceDc, source) : nullptr;
  HDC targetDc = CreateCompatibleDC(screen);
  HBITMAP drawn = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ oldTarget = SelectObject(targetDc, drawn);
  draw(targetDc, sourceDc);
  SelectObject(targetDc, oldTarget);
  if (oldSource) SelectObject(sourceDc, oldSource);
  DeleteDC(targetDc);
  DeleteDC(sourceDc);
  if (source) DeleteObject(source);
  ReleaseDC(nullptr, screen);
  return drawn;
}

// The picture drawn on background through its own transparency (a GIF's
// transparent colour): the bitmap it hands out holds those pixels black, to
// be drawn with a mask that only drawing the picture itself applies.
HBITMAP DrawOnBackground(IPicture* picture, HBITMAP own, COLORREF background) {
  BITMAP info = {};
  OLE_XSIZE_HIMETRIC himetricWidth = 0;
  OLE_YSIZE_HIMETRIC himetricHeight = 0;
  if (!GetObjectA(own, sizeof info, &info) || FAILED(picture->get_Width(&himetricWidth)) ||
      FAILED(picture->get_Height(&himetricHeight)))
    return nullptr;
  const int width = info.bmWidth;
  const int height = BitmapHeight(info);
  HBRUSH brush = CreateSolidBrush(background);
  HBITMAP drawn = RedrawBitmap(nullptr, width, height, [&](HDC target, HDC) {
    const RECT whole = {0, 0, width, height};
    FillRect(target, &whole, brush);
    // Its source is in hundredths of millimetres, rows counted upwards.
    picture->Render(target, 0, 0, width, height, 0, himetricHeight, himetricWidth, -himetricHeight,
                    nullptr);
  });
  DeleteObject(brush);
  return drawn;
}

void ReportCopyFailure() {
  char text[128];
  std::snprintf(text, sizeof text, kCopyFailureFormat, "CopyImage", static_cast<int>(GetLastError()));
  MessageBox1252(g_messageOwner, text, kCopyFailureCaption, MB_OK | MB_ICONINFORMATION);
}

}  // namespace

void SetPictureMessageOwner(HWND owner) { g_messageOwner = owner; }

HWND PictureMessageOwner() { return g_messageOwner; }

void SwapNibbles(uint8_t* bytes, uint32_t length) {
  for (uint32_t i = 0; i < length; ++i)
    bytes[i] = static_cast<uint8_t>((bytes[i] << 4) | (bytes[i] >> 4));
}

void ReleasePictureService() {
  if (!g_comInitialised) return;
  CoUninitialize();
  g_comInitialised = false;
}

HBITMAP DecodePicture(const void* bytes, uint32_t length, COLORREF background) {
  if (!bytes || length == 0) return nullptr;
  EnsurePictureService();
  HGLOBAL block = GlobalAlloc(GMEM_FIXED, length);
  if (!block) return nullptr;
  CopyMemory(reinterpret_cast<void*>(block), bytes, length);
  IStream* stream = nullptr;
  // The stream owns the block from here and frees it when released.
  if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream)) || !stream) {
    GlobalFree(block);
    return nullptr;
  }
  IPicture* picture = nullptr;
  HBITMAP copy = nullptr;
  if (SUCCEEDED(OleLoadPicture(stream, static_cast<LONG>(length), FALSE, IID_IPicture,
                               reinterpret_cast<void**>(&picture))) &&
      picture) {
    OLE_HANDLE handle = 0;
    DWORD attributes = 0;
    // The picture's own bitmap dies with the picture: the caller gets a copy.
    if (SUCCEEDED(picture->get_Handle(&handle)) && handle) {
      HBITMAP own = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
      if (background != kNoBackground && SUCCEEDED(picture->get_Attributes(&attributes)) &&
          (attributes & PICTURE_TRANSPARENT))
        copy = DrawOnBackground(picture, own, background);
      if (!copy) {
        copy = static_cast<HBITMAP>(CopyImage(own, IMAGE_BITMAP, 0, 0, 0));
        if (!copy) ReportCopyFailure();
      }
    }
    picture->Release();
  }
  stream->Release();
  return copy;
}

HBITMAP FitBitmapToBox(HBITMAP source, int boxWidth, int boxHeight) {
  if (!source) return nullptr;
  BITMAP info = {};
  if (!GetObjectA(source, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight == 0) {
    DeleteObject(source);
    return nullptr;
  }
  const int width = info.bmWidth;
  const int height = BitmapHeight(info);
  // Extended precision from the divisions through the products: the sizes are
  // truncated, so the last bit decides some of them.
  const long double widthRatio = static_cast<long double>(boxWidth) / width;
  const long double heightRatio = static_cast<long double>(boxHeight) / height;
  const long double scale = heightRatio > widthRatio ? widthRatio : heightRatio;
  const int newWidth = static_cast<int>(width * scale);
  const int newHeight = static_cast<int>(height * scale);

  return RedrawBitmap(source, newWidth, newHeight, [&](HDC target, HDC from) {
    SetStretchBltMode(target, HALFTONE);
    SetBrushOrgEx(target, 0, 0, nullptr);
    StretchBlt(target, 0, 0, newWidth, newHeight, from, 0, 0, width, height, SRCCOPY);
  });
}

HBITMAP CentreOnBackground(HBITMAP picture, int width, int height, HBRUSH background) {
  BITMAP info = {};
  if (picture) GetObjectA(picture, sizeof info, &info);
  const int pictureHeight = BitmapHeight(info);
  return RedrawBitmap(picture, width, height, [&](HDC target, HDC from) {
    const RECT whole = {0, 0, width, height};
    FillRect(target, &whole, background);
    if (picture)
      BitBlt(target, (width - info.bmWidth) / 2, (height - pictureHeight) / 2, info.bmWidth,
             pictureHeight, from, 0, 0, SRCCOPY);
  });
}

bool ReadPictureResource(HMODULE module, int id, const char* type, std::vector<uint8_t>* plain,
                         const uint8_t** bytes, uint32_t* length) {
  HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), type);
  HGLOBAL loaded = info ? LoadResource(module, info) : nullptr;
  if (!loaded) return false;
  *bytes = static_cast<const uint8_t*>(LockResource(loaded));
  *length = *bytes ? SizeofResource(module, info) : 0;
  if (id > kScrambledPictureIdLimit && *bytes) {
    plain->assign(*bytes, *bytes + *length);
    SwapNibbles(plain->data(), *length);
    *bytes = plain->data();
  }
  return true;
}

HBITMAP LoadPicture(HMODULE module, int id, const char* type, int boxWidth, int boxHeight,
                    COLORREF background) {
  if (id <= 0 || id > 0xFFFF) return nullptr;
  std::vector<uint8_t> plain;
  const uint8_t* bytes = nullptr;
  uint32_t length = 0;
  if (!ReadPictureResource(module, id, type, &plain, &bytes, &length)) {
    return FitBitmapToBox(LoadPngPicture(module, id, type, boxWidth, boxHeight, background),
                          boxWidth, boxHeight);
  }
  return FitBitmapToBox(DecodePicture(bytes, length, background), boxWidth, boxHeight);
}

}  // namespace vidod
