// Judging answers on the views' real controls, and the score in the header bar.
#pragma once

#include <windows.h>

#include "quiz/player_document.h"

namespace vidod {

constexpr int kScoreLabelId = 32;
constexpr int kCodeFieldId = 30;
constexpr int kSingleVerdictLabelId = 9500;
constexpr int kSingleRevealLabelId = 9501;
constexpr int kListLabelOffset = 1000;    // verdict label = answer box + 1000
constexpr int kListRevealLabelBase = 8000;  // reveal label of question n = 8000 + n

// Gives control the text unless it already shows it. Judging writes the same
// verdicts, score and code over and over, and under some platforms each
// write costs a layout of the control even when nothing changes.
void SetTextIfChanged(HWND control, const char* text);
// Recounts the solved marks; rewrites header controls 32 (" %d / %d") and 30.
void RefreshScore(PlayerDocument* document);
// Judges the single-question view's answer box against question q + 1.
void EvaluateSingleViewAnswer(PlayerDocument* document, HWND view, int question);
// Judges list view box boxId (4000 + (n - 1) x A + a).
void EvaluateListViewAnswer(PlayerDocument* document, HWND listView, int boxId);

}  // namespace vidod
