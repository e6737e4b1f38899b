#include "views/single_question_view.h"

#include "quiz/player_document.h"
#include "res/resource_ids.h"
#include "views/views.h"

namespace vidod {

namespace {

int g_currentQuestion = 0;

INT_PTR CALLBACK SingleQuestionViewProc(HWND view, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      g_currentQuestion = 0;
      return TRUE;
    case WM_CTLCOLORDLG:
      return reinterpret_cast<INT_PTR>(g_document->backgroundBrush);
    default:
      return 0;
  }
}

}  // namespace

int CurrentQuestionIndex() { return g_currentQuestion; }

void StoreCurrentAnswer(HWND singleView) {
  HWND box = GetDlgItem(singleView, kAnswerBoxId);
  if (!box) return;
  QuizDocument* quiz = g_document->quiz;
  const int slot = g_currentQuestion * quiz->answersPerQuestion;
  if (slot < 0 || slot >= kAnswerSlotCount) return;
  GetWindowTextA(box, quiz->answerSlots[slot], kTextSize);
}

HWND CreateSingleQuestionView(HINSTANCE instance, HWND mainWindow) {
  return CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_VIEW), mainWindow, SingleQuestionViewProc, 0);
}

}  // namespace vidod
