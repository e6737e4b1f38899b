// The Windows side of the PNG decoder: the source is a raw-data resource of
// the module and the result a DIB section.
#pragma once

#include <windows.h>

#include "pictures/png_decoder.h"

namespace vidod::PngDecoder {

// Finds the RT_RCDATA resource id of module and opens it (state 1).
bool OpenResource(PngDecoderState* state, HMODULE module, int id);
// A top-down DIB section of the natural format, filled; nullptr on failure.
// window's device context is used (nullptr: the screen).
HBITMAP CreateBitmap(PngDecoderState* state, HWND window);

}  // namespace vidod::PngDecoder
