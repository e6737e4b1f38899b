#include "quiz/player_document.h"

#include <new>

#include "common/layout_scale.h"

namespace vidod {

PlayerDocument* g_document = nullptr;

namespace {

constexpr int kScoreFontHeight = 25;
constexpr int kTitleFontHeight = -15;
constexpr int kAnswerFontHeight = 15;
constexpr int kAnswerFontWeight = 100;
constexpr int kUsualStockFontHeight = -11;  // for a stock font of "the default height"

HFONT MakeFont(int height, int weight, BOOL italic) {
  LOGFONTW font = {};
  font.lfHeight = height;
  font.lfWeight = weight;
  font.lfItalic = static_cast<BYTE>(italic);
  return CreateFontIndirectW(&font);
}

// A size of a stock font, which the system makes for its own DPI, at
// another: taken back to 96 DPI first, so that the scaled layout gets the
// font that the layout at 96 has, scaled with it (a system may round its
// own fonts up: 17 pixels at 144 DPI for 11 at 96).
int RescaledFontSize(int size, int layoutDpi, int systemDpi) {
  return ScaleFigure(MulDiv(size, kDesignDpi, systemDpi), layoutDpi);
}

// A stock font made again for another DPI than the system's; none at the
// system's own.
HFONT RescaledStockFont(int stock, int layoutDpi, int systemDpi) {
  if (layoutDpi == systemDpi || systemDpi <= 0) return nullptr;
  LOGFONTW font = {};
  GetObjectW(GetStockObject(stock), sizeof font, &font);
  if (font.lfHeight == 0) font.lfHeight = MulDiv(kUsualStockFontHeight, systemDpi, kDesignDpi);
  font.lfHeight = RescaledFontSize(font.lfHeight, layoutDpi, systemDpi);
  font.lfWidth = RescaledFontSize(font.lfWidth, layoutDpi, systemDpi);
  return CreateFontIndirectW(&font);
}

}  // namespace

PlayerDocument* CreatePlayerDocument() {
  PlayerDocument* document = new (std::nothrow) PlayerDocument{};
  if (!document) return nullptr;
  document->quiz = CreateQuizDocument();
  if (!document->quiz) {
    delete document;
    return nullptr;
  }
  RefreshBackgroundBrush(document);
  document->wrongBrush = CreateSolidBrush(RGB(255, 0, 0));
  document->rightBrush = CreateSolidBrush(RGB(0, 255, 0));
  document->anagramBrush = CreateSolidBrush(RGB(255, 100, 0));
  document->hintBrush = CreateSolidBrush(RGB(255, 203, 38));
  MakeScaledFonts(document, kDesignDpi, kDesignDpi, nullptr);
  return document;
}

int MakeScaledFonts(PlayerDocument* document, int layoutDpi, int systemDpi, HFONT* retired) {
  HFONT* fonts[kFontCount] = {&document->scoreFont, &document->titleFont, &document->answerFont,
                              &document->guiFont, &document->systemFont};
  int count = 0;
  for (HFONT* font : fonts) {
    if (!*font) continue;
    if (retired)
      retired[count++] = *font;
    else
      DeleteObject(*font);
    *font = nullptr;
  }
  document->scoreFont = MakeFont(ScaleFigure(kScoreFontHeight, layoutDpi), FW_NORMAL, FALSE);
  document->titleFont = MakeFont(ScaleFigure(kTitleFontHeight, layoutDpi), FW_BOLD, TRUE);
  document->answerFont = MakeFont(ScaleFigure(kAnswerFontHeight, layoutDpi), kAnswerFontWeight, FALSE);
  document->guiFont = RescaledStockFont(DEFAULT_GUI_FONT, layoutDpi, systemDpi);
  document->systemFont = RescaledStockFont(SYSTEM_FONT, layoutDpi, systemDpi);
  return count;
}

void RefreshBackgroundBrush(PlayerDocument* document) {
  if (document->backgroundBrush) DeleteObject(document->backgroundBrush);
  const QuizDocument* quiz = document->quiz;
  document->backgroundBrush =
      CreateSolidBrush(RGB(quiz->backgroundRed, quiz->backgroundGreen, quiz->backgroundBlue));
}

void DestroyPlayerDocument(PlayerDocument* document) {
  if (!document) return;
  HGDIOBJ objects[] = {document->backgroundBrush, document->wrongBrush, document->rightBrush,
                       document->anagramBrush,    document->hintBrush,  document->titleFont,
                       document->answerFont,      document->scoreFont,  document->guiFont,
                       document->systemFont};
  for (HGDIOBJ object : objects)
    if (object) DeleteObject(object);
  DestroyQuizDocument(document->quiz);
  delete document;
}

}  // namespace vidod
