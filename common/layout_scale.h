// The player's layout is given in pixels at 96 dots per inch; on a screen of
// another DPI every figure is scaled, and the scale is kept to what the
// screen's work area holds.
#pragma once

namespace vidod {

constexpr int kDesignDpi = 96;

// figure x dpi / 96, rounded to the nearest pixel (halves away from zero):
// the figure itself at 96.
int ScaleFigure(int figure, int dpi);
// The scale for a window of width x height figures on a screen of dpi whose
// work area is workWidth x workHeight: the screen's DPI, or the largest below
// it at which the window fits. Never below 96 (or dpi, when it is lower),
// where the window was always that size.
int FittingDpi(int dpi, int width, int height, int workWidth, int workHeight);

}  // namespace vidod
