// The player at any DPI: every figure of the layout is scaled by the layout
// DPI / 96 (the figures themselves at 96), fonts are made for it, and the
// controls keep which of the document's fonts they use, so that a change of
// DPI can give them the new ones.
#pragma once

#include <windows.h>

namespace vidod {

// A figure of the layout at the scale in force.
int Scaled(int figure);
// The scale in force, as a DPI (96 before the main window exists).
int LayoutDpi();
// The DPI that the system's stock fonts are made for.
int SystemDpi();
// The DPI of the monitor that holds the window (the system's on systems that
// cannot tell).
int WindowDpi(HWND window);
// The scale for the single-question window on the monitor nearest to place:
// dpi, or less when the window would not fit the work area at dpi.
int FittingLayoutDpi(int dpi, const RECT& place);
// Sets the scale and makes the document's fonts for it; returns the fonts
// that were in use, to be deleted once the controls have the new ones.
int UseLayoutDpi(int dpi, HFONT* retired);

// Which of the document's fonts a control uses.
enum class FontRole : int { kNone = 0, kSystem, kGui, kTitle, kScore, kAnswer };
// Gives the control the font and remembers it. A control of kSystem gets no
// font while the system's own is the right size, as before any scaling.
void UseFont(HWND control, FontRole role, bool redraw);
// Every control below window that was given a font gets the current one.
void RefreshFonts(HWND window);

}  // namespace vidod
