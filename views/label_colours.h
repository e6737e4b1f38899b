// How the views paint their labels: a verdict label is filled with its
// verdict's brush, a text standing on the quiz background with that brush;
// with the system's high-contrast setting on, with the system's colours.
#pragma once

#include <windows.h>

#include "quiz/player_document.h"

namespace vidod {

// The quiz's background colour, which the views are filled with.
COLORREF ViewBackgroundColour(const PlayerDocument* document);
// The brush that the views are filled with.
HBRUSH ViewBackgroundBrush(const PlayerDocument* document);
// The brush that fills a label reading verdict; nullptr for "?", which keeps
// the platform's colours.
HBRUSH VerdictBrush(const PlayerDocument* document, const char* verdict);
// The answer to a colour request for a verdict label (the brush as the dialog
// result, 0 to leave the label to the platform).
INT_PTR ColourVerdictLabel(const PlayerDocument* document, HDC dc, HWND label);
// The answer to a colour request for a text drawn on the quiz background:
// black on a light background, white on a dark one.
INT_PTR ColourBackgroundText(const PlayerDocument* document, HDC dc);

}  // namespace vidod
