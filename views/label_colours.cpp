#include "views/label_colours.h"

#include <cstring>

#include "answers/verdict.h"
#include "common/text_buffer.h"

namespace vidod {

namespace {

constexpr COLORREF kDarkText = RGB(0, 0, 0);
constexpr COLORREF kLightText = RGB(255, 255, 255);

}  // namespace

COLORREF ViewBackgroundColour(const PlayerDocument* document) {
  const QuizDocument* quiz = document->quiz;
  return RGB(quiz->backgroundRed, quiz->backgroundGreen, quiz->backgroundBlue);
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
  GetWindowTextA(label, verdict, sizeof verdict);
  HBRUSH brush = VerdictBrush(document, verdict);
  if (!brush) return 0;
  // The word stands on the label's own colour, not on a box of the default
  // text background.
  SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<INT_PTR>(brush);
}

INT_PTR ColourBackgroundText(const PlayerDocument* document, HDC dc) {
  SetTextColor(dc, BackgroundWantsBlackText(document->quiz) ? kDarkText : kLightText);
  SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<INT_PTR>(document->backgroundBrush);
}

}  // namespace vidod
