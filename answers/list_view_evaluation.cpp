#include <cstring>

#include "answers/evaluation.h"
#include "answers/list_view_controls.h"
#include "answers/play_rules.h"
#include "common/window_text.h"
#include "views/views.h"

namespace vidod {

namespace {

void ShowRevealLabel(HWND listView, int question, bool shown) {
  HWND label = ListControl(listView, kListRevealLabelBase + question);
  if (label) ShowWindow(label, shown ? SW_SHOW : SW_HIDE);
}

// The view's boxes and labels, read through the remembered controls.
class ListViewControls : public ListViewBoxes {
 public:
  explicit ListViewControls(HWND listView) : listView_(listView) {}
  void ReadBox(int box, char* text) const override {
    text[0] = '\0';
    GetWindowText1252(ListControl(listView_, kFirstListBoxId + box), text, kTextSize);
  }
  bool ShowsRight(int box) const override {
    char label[kTextSize] = "";
    GetWindowText1252(ListControl(listView_, kFirstListBoxId + kListLabelOffset + box), label, sizeof label);
    return std::strcmp(label, kVerdictRight) == 0;
  }

 private:
  HWND listView_;
};

}  // namespace

void EvaluateListViewAnswer(PlayerDocument* document, HWND listView, int boxId) {
  QuizDocument* quiz = document->quiz;
  const ListViewOutcome outcome = JudgeListViewBox(quiz, boxId - kFirstListBoxId, ListViewControls(listView));
  if (!outcome.judgement.verdict) return;
  SetTextIfChanged(ListControl(listView, boxId + kListLabelOffset), outcome.judgement.verdict);
  const int question = (boxId - kFirstListBoxId) / quiz->answersPerQuestion + 1;
  if (outcome.reveal != RevealChange::kKeep)
    ShowRevealLabel(listView, question, outcome.reveal == RevealChange::kShow);
  if (outcome.completed)
    for (int n = 1; n <= quiz->questionCount; ++n) ShowRevealLabel(listView, n, true);
  RefreshScore(document);
}

}  // namespace vidod
