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
  HFONT answerFont;     // made by the list view
  HFONT scoreFont;
  HFONT titleFont;
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
// Replaces the background brush with one of the document's current colour.
void RefreshBackgroundBrush(PlayerDocument* document);

// Reads "PATCH" 104 and 105 of module (nullptr: the running executable) into
// the document, shows the loader's messages and makes the background brush.
void QuizResourceLoader(PlayerDocument* document, HMODULE module);

}  // namespace vidod
