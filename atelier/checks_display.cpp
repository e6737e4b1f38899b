// The checks of vidod-make check, run again at every edit and shown where
// they belong: a mark beside the field, the remarks of the page, the
// question's row in the list and a count in the status bar.
#include <windows.h>

#include <commctrl.h>

#include "atelier/atelier_ids.h"
#include "atelier/atelier_window.h"
#include "atelier/controls.h"
#include "atelier/text_convert.h"

namespace vidod {

namespace {

constexpr COLORREF kErrorColour = RGB(190, 0, 0);
constexpr COLORREF kWarningColour = RGB(150, 90, 0);
constexpr wchar_t kErrorMark[] = L"Erreur";
constexpr wchar_t kWarningMark[] = L"Attention";
constexpr wchar_t kRemarkSeparator[] = L"\r\n";

std::wstring Counted(std::size_t count, const wchar_t* singular, const wchar_t* plural) {
  return std::to_wstring(count) + L" " + (count > 1 ? plural : singular);
}

std::wstring Summary(std::size_t errors, std::size_t warnings) {
  std::wstring text;
  if (errors) text = Counted(errors, L"erreur", L"erreurs");
  if (warnings) text += (text.empty() ? L"" : L", ") + Counted(warnings, L"avertissement", L"avertissements");
  return text;
}

void ShowStatusSummary(Atelier* atelier) {
  std::size_t errors = 0;
  for (const SourceIssue& issue : atelier->issues) errors += issue.warning ? 0 : 1;
  const std::size_t count = atelier->edited.quiz.questions.size();
  std::wstring text = Counted(count, L"question", L"questions") + L" \u00b7 ";
  const std::wstring remarks = Summary(errors, atelier->issues.size() - errors);
  text += remarks.empty() ? L"aucune remarque" : remarks;
  if (errors) text += L" \u00b7 \u00e0 corriger avant de construire";
  SendMessageW(atelier->status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace

void RecheckQuiz(Atelier* atelier) {
  atelier->issues = CheckEditedQuiz(&atelier->edited);
  ShowQuestionIssues(atelier);
  ShowQuizIssues(atelier);
  ShowCodesIssues(atelier);
  RefreshQuestionRows(atelier);
  FitQuestionList(atelier);
  ShowStatusSummary(atelier);
}

MarkLevel QuestionRemarkLevel(const Atelier* atelier, int question) {
  MarkLevel level = MarkLevel::kNone;
  for (const SourceIssue& issue : atelier->issues) {
    if (PlaceOfIssue(issue).question != question) continue;
    if (!issue.warning) return MarkLevel::kError;
    level = MarkLevel::kWarning;
  }
  return level;
}

std::wstring QuestionRemarkSummary(const Atelier* atelier, int question) {
  std::size_t errors = 0, warnings = 0;
  for (const SourceIssue& issue : atelier->issues) {
    if (PlaceOfIssue(issue).question != question) continue;
    (issue.warning ? warnings : errors) += 1;
  }
  return Summary(errors, warnings);
}

std::vector<const SourceIssue*> IssuesWhere(const Atelier* atelier, bool (*matches)(const IssuePlace&, int),
                                            int which) {
  std::vector<const SourceIssue*> found;
  for (const SourceIssue& issue : atelier->issues)
    if (matches(PlaceOfIssue(issue), which)) found.push_back(&issue);
  return found;
}

MarkLevel WorstLevel(const std::vector<const SourceIssue*>& issues) {
  MarkLevel level = MarkLevel::kNone;
  for (const SourceIssue* issue : issues) {
    if (!issue->warning) return MarkLevel::kError;
    level = MarkLevel::kWarning;
  }
  return level;
}

void SetMark(HWND mark, MarkLevel level) {
  SetWindowLongPtrW(mark, GWLP_USERDATA, static_cast<LONG_PTR>(level));
  SetWindowTextIfOther(mark, level == MarkLevel::kError     ? kErrorMark
                             : level == MarkLevel::kWarning ? kWarningMark
                                                            : L"");
  InvalidateRect(mark, nullptr, TRUE);
}

void ShowFieldMarks(Atelier* atelier, HWND page, const FieldMark* marks, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    std::vector<const SourceIssue*> onField;
    for (const SourceIssue& issue : atelier->issues) {
      const IssuePlace place = PlaceOfIssue(issue);
      if (place.onField && place.field == marks[i].field) onField.push_back(&issue);
    }
    SetMark(GetDlgItem(page, marks[i].markId), WorstLevel(onField));
  }
}

void SetRemarks(HWND box, const std::vector<const SourceIssue*>& issues) {
  const Atelier* atelier = AtelierOf(box);
  const bool twoBoxes = atelier && atelier->edited.quiz.answersPerQuestion == 2;
  std::wstring text;
  for (const SourceIssue* issue : issues) {
    if (!text.empty()) text += kRemarkSeparator;
    text += (issue->warning ? std::wstring(kWarningMark) : std::wstring(kErrorMark)) + L", " +
            WideFromUtf8(PlaceName(*issue, twoBoxes)) + L" : " + WideFromUtf8(issue->message);
  }
  SetWindowTextIfOther(box, text);
}

bool ColourMark(HWND control, HDC dc) {
  const auto level = static_cast<MarkLevel>(GetWindowLongPtrW(control, GWLP_USERDATA));
  if (level == MarkLevel::kNone) return false;
  SetTextColor(dc, level == MarkLevel::kError ? kErrorColour : kWarningColour);
  return true;
}

}  // namespace vidod
