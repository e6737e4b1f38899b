// "Essayer une réponse": the author types an answer to the selected question
// and reads the verdict each of the player's views would give it, and, when
// the box accepts several answers, which of them it matched or came nearest.
#include <windows.h>

#include <commctrl.h>

#include "answers/verdict.h"
#include "maker/list_judgement.h"
#include "atelier/atelier_ids.h"
#include "atelier/atelier_window.h"
#include "atelier/controls.h"
#include "atelier/pages.h"
#include "atelier/text_convert.h"

namespace vidod {

namespace {

constexpr int kRowGap = 4;  // at 96 dots per inch: the trial's rows sit closer than the fields'
constexpr UINT kPlayerCodePage = 1252;

struct TrialRow {
  int labelId, valueId;
  const wchar_t* label;
  bool secondAnswer;  // shown in a two-answer quiz only
  bool edit;
};
constexpr TrialRow kRows[] = {
    {IDC_TRY_LABEL, IDC_TRY, L"Essa&yer une r\u00e9ponse :", false, true},
    {IDC_TRY2_LABEL, IDC_TRY2, L"Essayer la 2e case :", true, true},
    {IDC_SINGLE_VERDICT_LABEL, IDC_SINGLE_VERDICT, L"Vue question par question :", false, false},
    {IDC_LIST_VERDICT_LABEL, IDC_LIST_VERDICT, L"Vue en liste :", false, false},
    {IDC_LIST_VERDICT2_LABEL, IDC_LIST_VERDICT2, L"Vue en liste, 2e case :", true, false},
};

bool TwoAnswers(const Atelier* atelier) { return atelier->edited.quiz.answersPerQuestion == 2; }

// What the player's own boxes would hold: they take code page 1252 text, and
// a character outside it arrives as the system's stand-in.
std::string AsPlayerTyped(const std::wstring& typed) {
  if (typed.empty()) return std::string();
  const int length = WideCharToMultiByte(kPlayerCodePage, 0, typed.data(), static_cast<int>(typed.size()), nullptr, 0,
                                         nullptr, nullptr);
  std::string text(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(kPlayerCodePage, 0, typed.data(), static_cast<int>(typed.size()), &text[0], length, nullptr,
                      nullptr);
  return text;
}

std::wstring Verdict(const Atelier* atelier, int question, int box, const std::string& typed, AnswerView view) {
  const QuizSource& quiz = atelier->edited.quiz;
  const ListJudgement judgement =
      JudgeAgainstList(AcceptedAnswerList(quiz.questions[question], box), typed, view, quiz.tolerances);
  return WideFromUtf8(judgement.answerNote.empty() ? judgement.verdict
                                                   : judgement.verdict + " \u2014 " + judgement.answerNote);
}

}  // namespace

void CreateAnswerTrial(Atelier* atelier, HWND page) {
  for (const TrialRow& row : kRows) {
    AddLabel(page, row.labelId, row.label);
    if (row.edit)
      AddEdit(page, row.valueId);
    else
      AddControl(page, row.valueId, WC_STATICW, L"", SS_LEFT | SS_NOPREFIX);
  }
}

int AnswerTrialHeight(Atelier* atelier, HWND page) {
  return static_cast<int>(std::size(kRows)) * (MeasurePage(atelier, page).row + Dip(atelier, kRowGap));
}

int LayOutAnswerTrial(Atelier* atelier, HWND page, const PageMetrics& metrics, int top, int width) {
  const int left = metrics.margin;
  const int line = metrics.line;
  const int rowHeight = metrics.row;
  const int labelWidth = metrics.label;
  const bool two = TwoAnswers(atelier);
  int y = top;
  for (const TrialRow& row : kRows) {
    const bool shown = two || !row.secondAnswer;
    ShowWindow(GetDlgItem(page, row.labelId), shown ? SW_SHOW : SW_HIDE);
    ShowWindow(GetDlgItem(page, row.valueId), shown ? SW_SHOW : SW_HIDE);
    if (!shown) continue;
    const int textTop = row.edit ? y + metrics.textOffset : y;
    Place(page, row.labelId, left, textTop, labelWidth, line);
    Place(page, row.valueId, left + labelWidth, row.edit ? y : textTop, width - labelWidth,
          row.edit ? rowHeight : line);
    y += (row.edit ? rowHeight : line) + Dip(atelier, kRowGap);
  }
  return y;
}

void JudgeTrialAnswers(Atelier* atelier, HWND page) {
  const int question = atelier->current;
  const bool two = TwoAnswers(atelier);
  std::wstring single, list, list2;
  // Nothing tried yet, nothing judged: the player's "?" would read as a verdict.
  const bool tried = GetWindowTextLengthW(GetDlgItem(page, IDC_TRY)) > 0 ||
                     (two && GetWindowTextLengthW(GetDlgItem(page, IDC_TRY2)) > 0);
  if (question >= 0 && tried) {
    const std::string typed = AsPlayerTyped(WindowTextOf(GetDlgItem(page, IDC_TRY)));
    single = Verdict(atelier, question, 0, typed, AnswerView::kSingleQuestion);
    list = Verdict(atelier, question, 0, typed, AnswerView::kList);
    if (two)
      list2 = Verdict(atelier, question, 1, AsPlayerTyped(WindowTextOf(GetDlgItem(page, IDC_TRY2))), AnswerView::kList);
  }
  SetWindowTextIfOther(GetDlgItem(page, IDC_SINGLE_VERDICT), single);
  SetWindowTextIfOther(GetDlgItem(page, IDC_LIST_VERDICT), list);
  SetWindowTextIfOther(GetDlgItem(page, IDC_LIST_VERDICT2), list2);
}

void ClearAnswerTrial(Atelier* atelier, HWND page) {
  const bool wasFilling = atelier->filling;
  atelier->filling = true;
  for (int id : {IDC_TRY, IDC_TRY2}) SetWindowTextIfOther(GetDlgItem(page, id), L"");
  atelier->filling = wasFilling;
  JudgeTrialAnswers(atelier, page);
}

}  // namespace vidod
