#include "pictures/png_picture.h"

#include "common/window_text.h"
#include "pictures/picture_loader.h"

namespace vidod {

namespace {

constexpr char kMessageCaption[] = "Information";
constexpr char kDecodeFailure[] = "Error: couldn't decode PNG resource";
constexpr char kBitmapFailure[] = "Error: couldn't create bitmap";

}  // namespace

namespace PngDecoder {

bool OpenResource(PngDecoderState* state, HMODULE module, int id) {
  if (state->sourceKind != kPngSourceNone || state->state != kPngStateEmpty) {
    state->lastError = kPngErrorSourceInUse;
    return false;
  }
  state->lastError = kPngErrorNone;
  HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));
  if (!info) {
    state->lastError = kPngErrorNoResource;
    return false;
  }
  HGLOBAL loaded = LoadResource(module, info);
  const uint8_t* bytes = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
  const uint32_t size = bytes ? SizeofResource(module, info) : 0;
  if (!bytes || size == 0) {
    state->lastError = kPngErrorResourceUnloaded;
    return false;
  }
  return OpenBytes(state, bytes, size);
}

HBITMAP CreateBitmap(PngDecoderState* state, HWND window) {
  if (state->state != kPngStateDecoded) {
    state->lastError = kPngErrorWrongState;
    return nullptr;
  }
  BitmapInfo info;
  if (!BuildBitmapInfo(state, &info)) return nullptr;
  HDC dc = GetDC(window);
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(dc, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                     &bits, nullptr, 0);
  if (!section || !bits) {
    state->lastError = kPngErrorNoBitmap;
    if (section) DeleteObject(section);
    ReleaseDC(window, dc);
    return nullptr;
  }
  if (!UnfilterAndConvert(state, static_cast<uint8_t*>(bits))) {
    DeleteObject(section);
    section = nullptr;
  }
  ReleaseDC(window, dc);
  return section;
}

}  // namespace PngDecoder

HBITMAP LoadPngPicture(HMODULE module, int id, const char* type, int boxWidth, int boxHeight,
                       COLORREF background) {
  PngDecoderState state;
  PngDecoder::Reset(&state);
  if (!PngDecoder::OpenResource(&state, module, id)) return nullptr;
  if (background != kNoBackground) {
    PngDecoder::SetBackground(&state, {GetRValue(background), GetGValue(background),
                                       GetBValue(background)});
  }
  if (!PngDecoder::Decode(&state)) {
    PngDecoder::Release(&state);
    MessageBox1252(PictureMessageOwner(), kDecodeFailure, kMessageCaption, MB_OK | MB_ICONERROR);
    return nullptr;
  }
  HBITMAP section = PngDecoder::CreateBitmap(&state, nullptr);
  PngDecoder::Release(&state);
  if (!section) {
    MessageBox1252(PictureMessageOwner(), kBitmapFailure, kMessageCaption, MB_OK | MB_ICONERROR);
    return nullptr;
  }
  return FitBitmapToBox(section, boxWidth, boxHeight);
}

}  // namespace vidod
