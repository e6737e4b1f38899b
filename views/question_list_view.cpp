#include "quiz/player_document.h"
#include "res/resource_ids.h"
#include "views/views.h"

namespace vidod {

namespace {

INT_PTR CALLBACK QuestionListViewProc(HWND view, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_CTLCOLORDLG:
      return reinterpret_cast<INT_PTR>(g_document->backgroundBrush);
    default:
      return 0;
  }
}

}  // namespace

void StoreListBoxesInSlots(HWND listView) {
  QuizDocument* quiz = g_document->quiz;
  int count = quiz->questionCount * quiz->answersPerQuestion;
  if (count > kAnswerSlotCount) count = kAnswerSlotCount;
  for (int i = 1; i <= count; ++i) {
    HWND box = GetDlgItem(listView, kFirstListBoxId - 1 + i);
    if (box) GetWindowTextA(box, quiz->answerSlots[i - 1], kTextSize);
  }
}

HWND CreateQuestionListView(HINSTANCE instance, HWND mainWindow) {
  return CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_VIEW), mainWindow, QuestionListViewProc, 0);
}

}  // namespace vidod
