#include "views/label_colours.h"

#include <cstring>

#include "answers/verdict.h"
#include "common/text_buffer.h"
#include "common/window_text.h"

namespace vidod {

namespace {

constexpr COLORREF kDarkText = RGB(0, 0, 0);
constexpr COLORREF kLightText = RGB(255, 255, 255);

}  // namespace

COLORREF ViewBackgroundColour(const PlayerDocument* document) {
  const QuizDocument* quiz = document->quiz;
  return RGB(quiz->backgroundRed, quiz->backgroundGreen, quiz->backgroundBlue);
}

HBRUSH ViewBackgroundBrush(const PlayerDocument* document) {
  return document->highContrast ? GetSysColorBrush(COLOR_WINDOW) : document->backgroundBrush;
}

HBRUSH VerdictBrush(const PlayerDocument* document, const char* verdict) {
  if (std::strcmp(verdict, kVerdictAnagram) == 0) return document->anagramBrush;
  if (std::strcmp(verdict, kVerdictRight) == 0) return document->rightBrush;
  if (std::strcmp(verdict, kVerdictWrong) == 0) return document->wrongBrush;
  if (std::strcmp(verdict, kVerdictEmpty) == 0) return nullptr;
  return document->hintBrush;
}

INT_PTR ColourVerdictLabel(const PlayerDocument* document, HDC dc, HWND label) {
  char verdict[kTextSize] = "";
  GetWindowText1252(label, verdict, sizeof verdict);
  HBRUSH brush = VerdictBrush(document, verdict);
  if (!brush) return 0;
  // The word stands on the label's own colour, not on a box of the default
  // text background.
  SetBkMode(dc, TRANSPARENT);
  if (document->highContrast) {
    // The system's colours: a solved answer stands out as a selection does.
    const bool right = std::strcmp(verdict, kVerdictRight) == 0;
    SetTextColor(dc, GetSysColor(right ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(right ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  }
  return reinterpret_cast<INT_PTR>(brush);
}

INT_PTR ColourBackgroundText(const PlayerDocument* document, HDC dc) {
  if (document->highContrast)
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  else
    SetTextColor(dc, BackgroundWantsBlackText(document->quiz) ? kDarkText : kLightText);
  SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<INT_PTR>(ViewBackgroundBrush(document));
}

}  // namespace vidod
