// The questions as a list with thumbnails, in quiz order: adding, removing
// and moving them with the buttons, the keyboard and the mouse.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "atelier/atelier_ids.h"
#include "atelier/atelier_window.h"
#include "atelier/controls.h"
#include "atelier/text_convert.h"
#include "maker/quiz_toml.h"

namespace vidod {
namespace fs = std::filesystem;

namespace {

// Sizes at 96 dots per inch.
constexpr int kThumbnailWidth = 64;
constexpr int kThumbnailHeight = 48;
// Above and below each thumbnail, so that neighbouring pictures do not touch.
constexpr int kThumbnailGap = 3;
constexpr int kCellPadding = 16;  // around a cell's text, as the list draws it
constexpr int kNumberColumnExtra = 36;
constexpr int kRemarksColumnWidth = 150;
constexpr int kListSharePercent = 36;
constexpr int kMostListSharePercent = 50;
constexpr int kMinimumListWidth = 300;
constexpr int kButtonHeight = 26;
constexpr int kGap = 6;
constexpr int kColumnNumber = 0;
constexpr int kColumnAnswer = 1;
constexpr int kColumnRemarks = 2;
constexpr wchar_t kAnswerSeparator[] = L"  /  ";

struct Column {
  const wchar_t* title;
  int format;
};
constexpr Column kColumns[] = {
    {L"N\u00b0", LVCFMT_LEFT}, {L"R\u00e9ponse attendue", LVCFMT_LEFT}, {L"Remarques", LVCFMT_LEFT}};
const wchar_t* const kButtonTexts[] = {L"A&jouter des images\u2026", L"Supprimer", L"Monter", L"Descendre"};
const int kButtonIds[] = {IDC_ADD_BUTTON, IDC_REMOVE_BUTTON, IDC_UP_BUTTON, IDC_DOWN_BUTTON};

int QuestionCount(const Atelier* atelier) { return static_cast<int>(atelier->edited.quiz.questions.size()); }

std::wstring AnswerText(const Atelier* atelier, int question) {
  std::wstring text = WideFromUtf8(ShownFieldText(atelier->edited, FieldRef{QuizField::kAnswer, question}));
  if (atelier->edited.quiz.answersPerQuestion == 2)
    text += kAnswerSeparator + WideFromUtf8(ShownFieldText(atelier->edited, FieldRef{QuizField::kAnswer2, question}));
  return text;
}

void SetCell(HWND list, int row, int column, const std::wstring& text) {
  wchar_t buffer[512];
  LVITEMW item = {};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = 512;
  SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  if (text == buffer) return;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

int ListRowAt(const Atelier* atelier, POINT client) {
  POINT inList = client;
  MapWindowPoints(atelier->window, atelier->list, &inList, 1);
  LVHITTESTINFO hit = {};
  hit.pt = inList;
  const int row = ListView_HitTest(atelier->list, &hit);
  if (row >= 0) return row;
  RECT bounds;
  GetClientRect(atelier->list, &bounds);
  // Below the last row: the end of the list.
  return inList.y >= 0 && inList.y < bounds.bottom ? QuestionCount(atelier) - 1 : -1;
}

// A question chosen in the list is shown on its page, whichever page was shown.
void OnSelectionChanged(Atelier* atelier, const NMLISTVIEW* change) {
  if (!(change->uChanged & LVIF_STATE) || !(change->uNewState & LVIS_SELECTED)) return;
  if (change->iItem == atelier->current) return;
  SelectQuestion(atelier, change->iItem);
  if (GetFocus() == atelier->list) ShowPage(atelier, kQuestionPage);
}

void OnListClick(Atelier* atelier, const NMITEMACTIVATE* click) {
  if (click->iItem >= 0) ShowPage(atelier, kQuestionPage);
}

void OnListKey(Atelier* atelier, WORD key) {
  const bool control = GetKeyState(VK_CONTROL) < 0;
  if (key == VK_DELETE && !control)
    RemoveCurrentQuestion(atelier);
  else if (key == VK_INSERT)
    SendMessageW(atelier->window, WM_COMMAND, IDM_ADD_PICTURES, 0);
  else if (key == VK_RETURN)
    ShowPageForTyping(atelier, kQuestionPage);
}

void BeginDrag(Atelier* atelier, int row) {
  if (row < 0 || row >= QuestionCount(atelier)) return;
  atelier->dragFrom = row;
  SetCapture(atelier->window);
}

// The remarks column in the colour of its worst remark.
LRESULT OnCustomDraw(Atelier* atelier, NMLVCUSTOMDRAW* draw) {
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
      return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
      draw->clrText = GetSysColor(COLOR_WINDOWTEXT);
      if (draw->iSubItem == kColumnRemarks) {
        const MarkLevel level = QuestionRemarkLevel(atelier, static_cast<int>(draw->nmcd.dwItemSpec));
        if (level == MarkLevel::kError)
          draw->clrText = RGB(190, 0, 0);
        else if (level == MarkLevel::kWarning)
          draw->clrText = RGB(150, 90, 0);
      }
      return CDRF_DODEFAULT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

}  // namespace

SIZE ThumbnailBox(const Atelier* atelier) {
  return SIZE{Dip(atelier, kThumbnailWidth), Dip(atelier, kThumbnailHeight)};
}

void VisibleRows(const Atelier* atelier, int* first, int* last) {
  *first = ListView_GetTopIndex(atelier->list);
  *last = *first + ListView_GetCountPerPage(atelier->list);
}

fs::path QuestionPicture(const Atelier* atelier, int question) {
  if (question < 0 || question >= QuestionCount(atelier)) return fs::path();
  const std::string& image = atelier->edited.quiz.questions[question].image;
  return image.empty() ? fs::path() : PicturePath(atelier->edited.sourceFile, image);
}

COLORREF QuizColour(const Atelier* atelier) {
  const QuizSource& quiz = atelier->edited.quiz;
  return RGB(quiz.red, quiz.green, quiz.blue);
}

void CreateQuestionList(Atelier* atelier) {
  atelier->listLabel = AddLabel(atelier->window, IDC_LIST_LABEL, L"Question&s");
  atelier->list =
      AddControl(atelier->window, IDC_QUESTION_LIST, WC_LISTVIEWW, L"",
                 // The thumbnails' image list is the window's, replaced at every refresh.
                 WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS, WS_EX_CLIENTEDGE);
  ListView_SetExtendedListViewStyle(atelier->list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
  for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_FMT | LVCF_SUBITEM;
    column.fmt = kColumns[i].format;
    column.pszText = const_cast<wchar_t*>(kColumns[i].title);
    column.iSubItem = i;
    SendMessageW(atelier->list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
  for (int i = 0; i < 4; ++i) atelier->buttons[i] = AddButton(atelier->window, kButtonIds[i], kButtonTexts[i]);
}

namespace {

int TextWidthInList(HWND list, const std::wstring& text) {
  return static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

int RemarksColumnWidth(Atelier* atelier) {
  int widest = TextWidthInList(atelier->list, kColumns[kColumnRemarks].title);
  for (int question = 0; question < QuestionCount(atelier); ++question)
    widest = std::max(widest, TextWidthInList(atelier->list, QuestionRemarkSummary(atelier, question)));
  return std::max(Dip(atelier, kRemarksColumnWidth) / 2, widest + Dip(atelier, kCellPadding));
}

}  // namespace

namespace {

int QuestionListWidthNeeded(Atelier* atelier) {
  int widest = TextWidthInList(atelier->list, kColumns[kColumnAnswer].title);
  for (int question = 0; question < QuestionCount(atelier); ++question)
    widest = std::max(widest, TextWidthInList(atelier->list, AnswerText(atelier, question)));
  const int numberWidth = ThumbnailBox(atelier).cx + Dip(atelier, kNumberColumnExtra);
  return numberWidth + widest + Dip(atelier, kCellPadding) + RemarksColumnWidth(atelier) +
         GetSystemMetrics(SM_CXVSCROLL) + 2 * GetSystemMetrics(SM_CXEDGE) + Dip(atelier, 4);
}

}  // namespace

int QuestionListWidth(Atelier* atelier, int windowWidth) {
  const int share = windowWidth * kListSharePercent / 100;
  const int most = std::max(Dip(atelier, kMinimumListWidth), windowWidth * kMostListSharePercent / 100);
  return std::clamp(std::max(share, QuestionListWidthNeeded(atelier)), Dip(atelier, kMinimumListWidth), most);
}

void FitQuestionList(Atelier* atelier) {
  RECT shown, client;
  GetWindowRect(atelier->list, &shown);
  GetClientRect(atelier->window, &client);
  const bool remarksFit = ListView_GetColumnWidth(atelier->list, kColumnRemarks) == RemarksColumnWidth(atelier);
  if (!remarksFit || QuestionListWidth(atelier, client.right) != shown.right - shown.left) LayOutAtelier(atelier);
}

void LayOutQuestionList(Atelier* atelier, const RECT& area) {
  const int labelHeight = LineHeight(atelier->window, atelier->headingFont) + Dip(atelier, 4);
  const int buttonHeight = Dip(atelier, kButtonHeight);
  const int gap = Dip(atelier, kGap);
  const int width = area.right - area.left;
  SetWindowPos(atelier->listLabel, nullptr, area.left, area.top, width, labelHeight, SWP_NOZORDER);
  const int listTop = area.top + labelHeight;
  const int buttonTop = area.bottom - buttonHeight;
  SetWindowPos(atelier->list, nullptr, area.left, listTop, width, buttonTop - gap - listTop, SWP_NOZORDER);
  // The add button takes the room its longer text needs.
  const int addWidth = (width - 3 * gap) * 2 / 5;
  const int otherWidth = (width - 3 * gap - addWidth) / 3;
  int x = area.left;
  for (int i = 0; i < 4; ++i) {
    const int buttonWidth = i == 0 ? addWidth : otherWidth;
    SetWindowPos(atelier->buttons[i], nullptr, x, buttonTop, buttonWidth, buttonHeight, SWP_NOZORDER);
    x += buttonWidth + gap;
  }
  const int numberWidth = ThumbnailBox(atelier).cx + Dip(atelier, kNumberColumnExtra);
  const int remarksWidth = RemarksColumnWidth(atelier);
  const int scrollBar = GetSystemMetrics(SM_CXVSCROLL);
  ListView_SetColumnWidth(atelier->list, kColumnNumber, numberWidth);
  ListView_SetColumnWidth(atelier->list, kColumnRemarks, remarksWidth);
  ListView_SetColumnWidth(atelier->list, kColumnAnswer,
                          std::max(Dip(atelier, 80), width - numberWidth - remarksWidth - scrollBar - Dip(atelier, 4)));
}

namespace {

// The question's thumbnail as far as it is drawn: the quiz colour alone
// until the worker has drawn its picture, on the list's own colour above
// and below.
HBITMAP ComposedThumbnail(Atelier* atelier, int question) {
  const SIZE box = ThumbnailBox(atelier);
  const fs::path file = QuestionPicture(atelier, question);
  HBITMAP fitted = nullptr;
  if (!file.empty())
    FindFittedPicture(&atelier->thumbnailPictures, file, atelier->edited.quiz.questions[question].rotation, box,
                      QuizColour(atelier), &fitted);
  HBITMAP picture = ComposeOnColour(fitted, QuizColour(atelier), box.cx, box.cy);
  const int gap = Dip(atelier, kThumbnailGap);
  HBITMAP row = ComposeOnColour(picture, GetSysColor(COLOR_WINDOW), box.cx, box.cy + 2 * gap);
  DeleteObject(picture);
  return row;
}

}  // namespace

void RefreshThumbnails(Atelier* atelier) {
  const SIZE box = ThumbnailBox(atelier);
  HIMAGELIST images =
      ImageList_Create(box.cx, box.cy + 2 * Dip(atelier, kThumbnailGap), ILC_COLOR32, QuestionCount(atelier), 8);
  for (int question = 0; question < QuestionCount(atelier); ++question) {
    HBITMAP composed = ComposedThumbnail(atelier, question);
    ImageList_Add(images, composed, nullptr);
    DeleteObject(composed);
  }
  ListView_SetImageList(atelier->list, images, LVSIL_SMALL);
  if (atelier->thumbnails) ImageList_Destroy(atelier->thumbnails);
  atelier->thumbnails = images;
  InvalidateRect(atelier->list, nullptr, TRUE);
  QueuePictureWork(atelier);
}

void ShowThumbnail(Atelier* atelier, const PictureRequest& request) {
  for (int question = 0; question < QuestionCount(atelier); ++question) {
    if (QuestionPicture(atelier, question) != request.file ||
        atelier->edited.quiz.questions[question].rotation != request.rotation)
      continue;
    HBITMAP composed = ComposedThumbnail(atelier, question);
    ImageList_Replace(atelier->thumbnails, question, composed, nullptr);
    DeleteObject(composed);
    ListView_RedrawItems(atelier->list, question, question);
  }
}

void FillQuestionList(Atelier* atelier) {
  SendMessageW(atelier->list, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(atelier->list);
  for (int question = 0; question < QuestionCount(atelier); ++question) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = question;
    const std::wstring number = std::to_wstring(question + 1);
    item.pszText = const_cast<wchar_t*>(number.c_str());
    item.iImage = question;
    SendMessageW(atelier->list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
  RefreshThumbnails(atelier);
  RefreshQuestionRows(atelier);
  SendMessageW(atelier->list, WM_SETREDRAW, TRUE, 0);
}

void RefreshQuestionRows(Atelier* atelier) {
  for (int question = 0; question < QuestionCount(atelier); ++question) {
    SetCell(atelier->list, question, kColumnNumber, std::to_wstring(question + 1));
    SetCell(atelier->list, question, kColumnAnswer, AnswerText(atelier, question));
    SetCell(atelier->list, question, kColumnRemarks, QuestionRemarkSummary(atelier, question));
  }
}

void SelectListRow(Atelier* atelier, int question) {
  if (question < 0) return;
  ListView_SetItemState(atelier->list, question, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(atelier->list, question, FALSE);
}

LRESULT OnQuestionListNotify(Atelier* atelier, NMHDR* header) {
  switch (header->code) {
    case LVN_ITEMCHANGED:
      OnSelectionChanged(atelier, reinterpret_cast<NMLISTVIEW*>(header));
      return 0;
    case LVN_KEYDOWN:
      OnListKey(atelier, reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey);
      return 0;
    case LVN_BEGINDRAG:
      BeginDrag(atelier, reinterpret_cast<NMLISTVIEW*>(header)->iItem);
      return 0;
    case NM_CLICK:
      OnListClick(atelier, reinterpret_cast<NMITEMACTIVATE*>(header));
      return 0;
    case NM_DBLCLK:
      ShowPageForTyping(atelier, kQuestionPage);
      return 0;
    case NM_CUSTOMDRAW:
      return OnCustomDraw(atelier, reinterpret_cast<NMLVCUSTOMDRAW*>(header));
    case LVN_ENDSCROLL:
      QueuePictureWork(atelier);  // the rows now in sight first
      return 0;
    default:
      return 0;
  }
}

void OnListDragMove(Atelier* atelier, POINT client) {
  const int row = ListRowAt(atelier, client);
  ListView_SetItemState(atelier->list, -1, 0, LVIS_DROPHILITED);
  if (row >= 0) ListView_SetItemState(atelier->list, row, LVIS_DROPHILITED, LVIS_DROPHILITED);
}

void OnListDragEnd(Atelier* atelier, POINT client, bool drop) {
  const int from = atelier->dragFrom;
  atelier->dragFrom = -1;
  ListView_SetItemState(atelier->list, -1, 0, LVIS_DROPHILITED);
  if (!drop) return;
  ReleaseCapture();
  const int to = ListRowAt(atelier, client);
  if (to < 0 || to == from) return;
  EditQuiz(atelier, MoveEdit(from, to));
}

void AddPictureQuestions(Atelier* atelier, const std::vector<fs::path>& files) {
  std::vector<SkippedFile> skipped;
  const std::vector<StarterQuestion> starters = StarterQuestionsFor(files, atelier->edited.sourceFile, &skipped);
  TellSkipped(atelier, skipped);
  if (starters.empty()) return;
  const int at = atelier->current < 0 ? QuestionCount(atelier) : atelier->current + 1;
  EditQuiz(atelier, AddEdit(at, starters));
}

void RemoveCurrentQuestion(Atelier* atelier) {
  const int question = atelier->current;
  if (!atelier->open || question < 0) return;
  const std::wstring answer = WideFromUtf8(ShownFieldText(atelier->edited, FieldRef{QuizField::kAnswer, question}));
  const std::wstring text = L"Supprimer la question " + std::to_wstring(question + 1) + L" (\u00ab " + answer +
                            L" \u00bb) ? Son image reste dans son dossier ; \u00c9dition > Annuler (Ctrl+Z) la "
                            L"remet.";
  const bool fromList = GetFocus() == atelier->list;
  if (AskAuthor(atelier, text, MB_YESNO | MB_ICONQUESTION) == IDYES) EditQuiz(atelier, RemoveEdit(question));
  // Whatever the answer, the keys go back to the list (filled again after a
  // removal, on the question that took the removed one's place): the box
  // does not always give them back.
  if (fromList) SetFocus(atelier->list);
}

void MoveCurrentQuestion(Atelier* atelier, int step) {
  const int from = atelier->current;
  const int to = from + step;
  if (!atelier->open || from < 0 || to < 0 || to >= QuestionCount(atelier)) return;
  EditQuiz(atelier, MoveEdit(from, to));
}

}  // namespace vidod
