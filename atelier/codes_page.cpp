// The codes page: one reward code per score, with the score beside it. The
// header bar of the player shows code k once k questions are solved.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "atelier/atelier_ids.h"
#include "atelier/atelier_window.h"
#include "atelier/controls.h"
#include "atelier/pages.h"
#include "atelier/text_convert.h"

namespace vidod {

namespace {

// Sizes at 96 dots per inch.
constexpr int kScoreColumnWidth = 70;
constexpr int kCodeColumnWidth = 220;
constexpr int kRemarkLines = 5;
constexpr int kIntroLines = 2;
constexpr int kColumnScore = 0;
constexpr int kColumnCode = 1;
constexpr int kColumnRemark = 2;

struct CodesPage {
  Atelier* atelier;
  int code = 0;  // the code in the edit box, from 0
};

CodesPage* PageOf(HWND page) { return static_cast<CodesPage*>(PageRecord(page)); }
HWND Page(const Atelier* atelier) { return atelier->pages[kCodesPage]; }

// One row per score from 1 to the question count, and for codes past it.
int RowCount(const Atelier* atelier) {
  return static_cast<int>(std::max(atelier->edited.quiz.questions.size(), atelier->edited.quiz.codes.size()));
}

std::wstring CodeText(const Atelier* atelier, int code) {
  return WideFromUtf8(ShownFieldText(atelier->edited, FieldRef{QuizField::kCode, code}));
}

std::vector<const SourceIssue*> IssuesOfCode(const Atelier* atelier, int code) {
  return IssuesWhere(
      atelier, [](const IssuePlace& place, int which) { return place.onCodes && place.code == which; }, code);
}

void SetCell(HWND list, int row, int column, const std::wstring& text) {
  LVITEMW item = {};
  item.iSubItem = column;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

void CreateControls(HWND page) {
  AddControl(page, IDC_CODES_TEXT, WC_STATICW,
             L"Le bandeau du lecteur montre le code d'un score quand le joueur a trouv\u00e9 autant de questions. "
             L"Tapez un code par score ; Entr\u00e9e passe au score suivant.",
             SS_LEFT | SS_NOPREFIX);
  AddLabel(page, IDC_CODE_LIST_LABEL, L"&Codes par score :");
  HWND list = AddControl(page, IDC_CODE_LIST, WC_LISTVIEWW, L"",
                         WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, WS_EX_CLIENTEDGE);
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP);
  const wchar_t* const titles[] = {L"Score", L"Code", L"Remarque"};
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(titles[i]);
    column.iSubItem = i;
    SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
  AddLabel(page, IDC_CODE_LABEL, L"");
  AddEdit(page, IDC_CODE);
  AddMark(page, IDC_CODE_MARK);
  AddLabel(page, IDC_CODES_REMARKS_LABEL, L"Re&marques sur les codes :");
  AddRemarksBox(page, IDC_CODES_REMARKS);
}

int LayOut(HWND page, int width, int height) {
  Atelier* atelier = AtelierOf(page);
  if (!atelier) return 0;
  const PageMetrics m = MeasurePage(atelier, page);
  const int inner = width - 2 * m.margin;
  const int remarksHeight = kRemarkLines * m.line + m.row - m.line;
  int y = m.margin;
  Place(page, IDC_CODES_TEXT, m.margin, y, inner, kIntroLines * m.line);
  y += kIntroLines * m.line + m.gap;
  const int listHeight = std::max(4 * m.row, height - y - m.margin - 4 * m.gap - m.row - 2 * m.line - remarksHeight);
  y = PlaceLabelledBox(page, m, y, width, IDC_CODE_LIST_LABEL, IDC_CODE_LIST, listHeight);
  HWND list = GetDlgItem(page, IDC_CODE_LIST);
  ListView_SetColumnWidth(list, kColumnScore, Dip(atelier, kScoreColumnWidth));
  ListView_SetColumnWidth(list, kColumnCode, Dip(atelier, kCodeColumnWidth));
  ListView_SetColumnWidth(list, kColumnRemark,
                          std::max(Dip(atelier, 100), inner - Dip(atelier, kScoreColumnWidth + kCodeColumnWidth) -
                                                          GetSystemMetrics(SM_CXVSCROLL) - m.textOffset));
  y = PlaceFieldRow(page, m, y, width, IDC_CODE_LABEL, IDC_CODE, IDC_CODE_MARK);
  return PlaceLabelledBox(page, m, y, width, IDC_CODES_REMARKS_LABEL, IDC_CODES_REMARKS,
                          std::max(remarksHeight, height - m.margin - y - m.line - m.gap / 2)) -
         m.gap + m.margin;
}

void ShowChosenCode(Atelier* atelier) {
  HWND page = Page(atelier);
  CodesPage* record = PageOf(page);
  const bool any = RowCount(atelier) > 0;
  const bool wasFilling = atelier->filling;
  atelier->filling = true;
  SetWindowTextIfOther(GetDlgItem(page, IDC_CODE_LABEL),
                       any ? L"Code du score " + std::to_wstring(record->code + 1) + L" :" : L"Code :");
  SetWindowTextIfOther(GetDlgItem(page, IDC_CODE), any ? CodeText(atelier, record->code) : L"");
  EnableWindow(GetDlgItem(page, IDC_CODE), any);
  atelier->filling = wasFilling;
  SetMark(GetDlgItem(page, IDC_CODE_MARK), WorstLevel(IssuesOfCode(atelier, record->code)));
}

void ChooseCode(Atelier* atelier, int code) {
  HWND list = GetDlgItem(Page(atelier), IDC_CODE_LIST);
  PageOf(Page(atelier))->code = code;
  ListView_SetItemState(list, code, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(list, code, FALSE);
  ShowChosenCode(atelier);
}

void OnCodeTyped(Atelier* atelier) {
  HWND page = Page(atelier);
  CodesPage* record = PageOf(page);
  const int rowsBefore = RowCount(atelier);
  const std::wstring text = WindowTextOf(GetDlgItem(page, IDC_CODE));
  if (!EditQuiz(atelier, TextEdit(FieldRef{QuizField::kCode, record->code}, Utf8FromWide(text)))) return;
  if (RowCount(atelier) != rowsBefore) {
    FillCodesPage(atelier);
    ShowCodesIssues(atelier);
  } else {
    SetCell(GetDlgItem(page, IDC_CODE_LIST), record->code, kColumnCode, text);
  }
}

void OnCommand(HWND page, int id, int code) {
  Atelier* atelier = AtelierOf(page);
  if (!atelier || atelier->filling) return;
  if (id == IDC_CODE && code == EN_KILLFOCUS) OnFieldLeft(atelier);
  if (id == IDC_CODE && code == EN_CHANGE) OnCodeTyped(atelier);
}

LRESULT OnNotify(HWND page, NMHDR* header) {
  Atelier* atelier = AtelierOf(page);
  if (!atelier || header->idFrom != IDC_CODE_LIST) return 0;
  if (header->code == LVN_ITEMCHANGED) {
    const NMLISTVIEW* change = reinterpret_cast<NMLISTVIEW*>(header);
    if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED) && change->iItem != PageOf(page)->code) {
      PageOf(page)->code = change->iItem;
      ShowChosenCode(atelier);
    }
  } else if (header->code == NM_DBLCLK ||
             (header->code == LVN_KEYDOWN && reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey == VK_RETURN)) {
    SetFocus(GetDlgItem(page, IDC_CODE));
  }
  return 0;
}

void OnDestroy(HWND page) { delete PageOf(page); }

const PageHandlers kHandlers = {CreateControls, LayOut, OnCommand, OnNotify, nullptr, nullptr, OnDestroy};

}  // namespace

HWND CreateCodesPage(Atelier* atelier) { return CreatePage(atelier->tabs, &kHandlers, new CodesPage{atelier}); }

void FillCodesPage(Atelier* atelier) {
  HWND page = Page(atelier);
  HWND list = GetDlgItem(page, IDC_CODE_LIST);
  const int rows = RowCount(atelier);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(list);
  for (int row = 0; row < rows; ++row) {
    const std::wstring score = std::to_wstring(row + 1);
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<wchar_t*>(score.c_str());
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    SetCell(list, row, kColumnCode, CodeText(atelier, row));
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  const int code = std::clamp(PageOf(page)->code, 0, std::max(0, rows - 1));
  if (rows > 0)
    ChooseCode(atelier, code);
  else
    ShowChosenCode(atelier);
}

void ShowCodesIssues(Atelier* atelier) {
  HWND page = Page(atelier);
  HWND list = GetDlgItem(page, IDC_CODE_LIST);
  const int rows = ListView_GetItemCount(list);
  for (int row = 0; row < rows; ++row) {
    std::wstring remark;
    for (const SourceIssue* issue : IssuesOfCode(atelier, row))
      remark += (remark.empty() ? L"" : L" ; ") + std::wstring(issue->warning ? L"Attention" : L"Erreur");
    const bool shown = row < static_cast<int>(atelier->edited.quiz.questions.size());
    if (!shown) remark = L"jamais montr\u00e9 (plus de codes que de questions)";
    SetCell(list, row, kColumnRemark, remark);
  }
  SetMark(GetDlgItem(page, IDC_CODE_MARK), WorstLevel(IssuesOfCode(atelier, PageOf(page)->code)));
  SetRemarks(GetDlgItem(page, IDC_CODES_REMARKS),
             IssuesWhere(
                 atelier, [](const IssuePlace& place, int) { return place.onCodes; }, 0));
}

bool CodeBoxHasFocus(Atelier* atelier) { return GetFocus() == GetDlgItem(Page(atelier), IDC_CODE); }

void NextCode(Atelier* atelier) {
  const int next = PageOf(Page(atelier))->code + 1;
  if (next >= RowCount(atelier)) return;
  ChooseCode(atelier, next);
  HWND edit = GetDlgItem(Page(atelier), IDC_CODE);
  SetFocus(edit);
  SendMessageW(edit, EM_SETSEL, 0, -1);
}

}  // namespace vidod
