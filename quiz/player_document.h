// The Windows side of the quiz document: the portable record plus the brushes,
// fonts and window handles that the windows paint with and reach each other by.
#pragma once

#include <windows.h>

#include "quiz/quiz_document.h"

namespace vidod {

struct PlayerDocument {
  QuizDocument* quiz;
  HBRUSH backgroundBrush;
  HBRUSH wrongBrush;    // labels reading "FAUX"
  HBRUSH rightBrush;    // labels reading "BRAVO"
  HBRUSH anagramBrush;  // labels reading "Anagramme"
  HBRUSH hintBrush;     // labels holding any other hint
  // The fonts, made for the layout's scale (MakeScaledFonts).
  HFONT answerFont;     // the list view's answer boxes
  HFONT scoreFont;
  HFONT titleFont;
  HFONT guiFont;     // the default GUI font; the stock one at the system's own scale
  HFONT systemFont;  // for controls given no font: none at the system's scale
  bool highContrast;  // the system's high-contrast setting: system colours
  HWND mainWindow;
  HWND headerBar;
};

// The one document of the process, published by the start-up.
extern PlayerDocument* g_document;

// The quiz document with its defaults, the verdict brushes, the background
// brush of the default colour and the two header fonts. nullptr when memory
// is exhausted.
PlayerDocument* CreatePlayerDocument();
// Deletes the brushes and fonts, then releases the question list.
void DestroyPlayerDocument(PlayerDocument* document);
// Makes the fonts for a layout at layoutDpi on a system whose stock fonts are
// made for systemDpi, deleting those made before. The controls must have
// been given the new fonts before the old ones are deleted: the old ones are
// returned through retired (at most kFontCount) and counted.
constexpr int kFontCount = 5;
int MakeScaledFonts(PlayerDocument* document, int layoutDpi, int systemDpi, HFONT* retired);
// Replaces the background brush with one of the document's current colour.
void RefreshBackgroundBrush(PlayerDocument* document);

// Reads "PATCH" 104 and 105 of module (nullptr: the running executable) into
// the document, shows the loader's messages and makes the background brush.
void QuizResourceLoader(PlayerDocument* document, HMODULE module);

}  // namespace vidod
