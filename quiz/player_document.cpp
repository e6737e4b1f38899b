#include "quiz/player_document.h"

#include <new>

namespace vidod {

PlayerDocument* g_document = nullptr;

namespace {

constexpr int kScoreFontHeight = 25;
constexpr int kTitleFontHeight = -15;

HFONT MakeFont(int height, int weight, BOOL italic) {
  LOGFONTA font = {};
  font.lfHeight = height;
  font.lfWeight = weight;
  font.lfItalic = static_cast<BYTE>(italic);
  return CreateFontIndirectA(&font);
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
  document->scoreFont = MakeFont(kScoreFontHeight, FW_NORMAL, FALSE);
  document->titleFont = MakeFont(kTitleFontHeight, FW_BOLD, TRUE);
  return document;
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
                       document->answerFont,      document->scoreFont};
  for (HGDIOBJ object : objects)
    if (object) DeleteObject(object);
  DestroyQuizDocument(document->quiz);
  delete document;
}

}  // namespace vidod
