#include "views/single_question_view.h"

#include <commctrl.h>

#include <cstring>

#include "answers/evaluation.h"
#include "answers/verdict.h"
#include "app/accessible_names.h"
#include "app/player_shell.h"
#include "app/screen_scale.h"
#include "common/text_buffer.h"
#include "common/window_text.h"
#include "pictures/picture_loader.h"
#include "quiz/player_document.h"
#include "res/resource_ids.h"
#include "views/label_colours.h"
#include "views/progress_file.h"
#include "views/views.h"

namespace vidod {

namespace {

constexpr int kPictureId = 9907;
constexpr int kPreviousButtonId = 9906;
constexpr int kNextButtonId = 9905;
constexpr int kFirstPictureResource = 401;  // question k shows picture 401 + k
constexpr char kPictureType[] = "IMG";
constexpr wchar_t kChooserItemFormat[] = L"Image n\u00b0%d";
constexpr int kChooserItemSize = 32;
constexpr int kPictureMargin = 5;
constexpr WPARAM kSelectAllEnd = 260;
constexpr LPARAM kKeyRepeated = LPARAM{1} << 30;  // the key was already down
// The buttons say which keys step through the questions.
constexpr wchar_t kPreviousTip[] = L"Question pr\u00e9c\u00e9dente (Pg pr\u00e9c ou Alt+Gauche)";
constexpr wchar_t kNextTip[] = L"Question suivante (Pg suiv ou Alt+Droite)";

// The box, the buttons and the chooser are tab stops: Tab and Shift+Tab go
// from one to the next as in any dialog, in their order of creation.
constexpr DWORD kPictureStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | SS_CENTERIMAGE | SS_BITMAP;
constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kAnswerBoxStyle =
    WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_CENTER;
constexpr DWORD kVerdictStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | SS_CENTERIMAGE | SS_CENTER;
constexpr DWORD kRevealStyle = WS_CHILD | WS_VISIBLE | SS_CENTER;
constexpr DWORD kChooserStyle =
    WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DISABLENOSCROLL | CBS_DROPDOWNLIST;
// Posted once a choice in the chooser's list is over, whatever order the
// platform sends its notifications in: the keys go back to the answer.
constexpr UINT kAnswerAfterChoiceMessage = WM_APP + 1;

struct ControlPlace {
  int x, y, width, height;  // at 96 DPI
};
constexpr ControlPlace kPreviousPlace = {5, 490, 60, 20};
constexpr ControlPlace kAnswerBoxPlace = {170, 490, 230, 20};
constexpr ControlPlace kVerdictPlace = {410, 490, 100, 20};
constexpr ControlPlace kNextPlace = {585, 490, 60, 20};
constexpr ControlPlace kRevealPlace = {170, 540, 230, 40};
constexpr ControlPlace kChooserPlace = {170, 515, 230, 150};

struct SingleView {
  HWND window;
  HWND answerBox;
  WNDPROC answerBoxProc;  // the box's own procedure, behind the view's
  int current;            // the question shown, 0 to N - 1
  bool choosing;          // the chooser's list is open
  bool chosen;            // and an item of it was taken
};

SingleView g_view = {};

int QuestionCount() { return g_document->quiz->questionCount; }

// The slot that stands for question k's (first) answer: the one the progress
// file and the list view use for it, in two-answer quizzes as well.
// The loader keeps N x A within the slots.
char* AnswerSlot(int question) {
  QuizDocument* quiz = g_document->quiz;
  return quiz->answerSlots[question * quiz->answersPerQuestion];
}

// place in figures at 96 DPI, the window at the layout's scale.
HWND CreateControl(HWND parent, int id, const wchar_t* className, const wchar_t* text, DWORD style,
                   const ControlPlace& place) {
  return CreateWindowExW(0, className, text, style, Scaled(place.x), Scaled(place.y), Scaled(place.width),
                         Scaled(place.height), parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         g_shell.instance, nullptr);
}

void PlaceControl(HWND parent, int id, const ControlPlace& place) {
  SetWindowPos(GetDlgItem(parent, id), nullptr, Scaled(place.x), Scaled(place.y), Scaled(place.width),
               Scaled(place.height), SWP_NOZORDER | SWP_NOACTIVATE);
}

void ReadStoredAnswers() {
  QuizDocument* quiz = g_document->quiz;
  int count = quiz->questionCount * quiz->answersPerQuestion;
  if (count > kAnswerSlotCount) count = kAnswerSlotCount;
  ProgressText text;
  ReadProgressFile(&text);
  for (int i = 0; i < count; ++i) ReadNextProgressLine(&text, quiz->answerSlots[i]);
  CloseProgressFile(&text);
}

int BitmapWidth(HBITMAP bitmap) {
  BITMAP info = {};
  GetObjectA(bitmap, sizeof info, &info);
  return info.bmWidth;
}

// Takes the shown bitmap out of the picture control and deletes it.
void ReleasePicture(HWND view) {
  HWND picture = GetDlgItem(view, kPictureId);
  if (!picture) return;
  HGDIOBJ shown = reinterpret_cast<HGDIOBJ>(SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, 0));
  if (shown) DeleteObject(shown);
}

// The question's picture, fitted into the box (in pixels at the layout's scale).
void ShowPicture(SingleView* view, int question, int boxWidth, int boxHeight) {
  ReleasePicture(view->window);
  HBITMAP bitmap = LoadPicture(g_shell.quizModule, kFirstPictureResource + question, kPictureType,
                               boxWidth, boxHeight, ViewBackgroundColour(g_document));
  const int width = bitmap ? BitmapWidth(bitmap) : boxWidth;
  // A narrower picture gets a control of its own width, centred without the
  // margin. The control keeps the box's height: a flatter picture is centred
  // on the view's background, not on what the centred-image style fills in
  // (the colour of the picture's corner). A question without a picture gets
  // the background alone: a control without a bitmap paints nothing, and
  // would go on showing the question before.
  bitmap = CentreOnBackground(bitmap, width, boxHeight, g_document->backgroundBrush);
  const int margin = Scaled(kPictureMargin);
  const int x = width == boxWidth ? margin : (boxWidth - width) / 2;
  HWND picture = GetDlgItem(view->window, kPictureId);
  MoveWindow(picture, x, margin, width, boxHeight, TRUE);
  SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
  SetAccessibleName(picture, PictureName(question + 1));
}

void ShowQuestion(SingleView* view, int question) {
  ShowPicture(view, question, g_shell.pictureBoxWidth, g_shell.pictureBoxHeight);
  SendDlgItemMessageW(view->window, kQuestionChooserId, CB_SETCURSEL, view->current, 0);
  SetWindowText1252(view->answerBox, AnswerSlot(view->current));
  SetAccessibleName(view->answerBox, AnswerBoxName(view->current + 1, 1, 1));
  EvaluateSingleViewAnswer(g_document, view->window, view->current);
  // Typing goes on after the answer, as after every return of the keys
  // (setting the text puts the caret before it).
  if (GetFocus() == view->answerBox) {
    const int length = GetWindowTextLengthW(view->answerBox);
    SendMessageW(view->answerBox, EM_SETSEL, length, length);
  }
}

// The verdict shown is the one of the answer last judged, which is the one
// stored: while the box says something else it shows no verdict (a "BRAVO"
// beside a right answer the pupil is changing would be a lie until the box is
// left), and an edit that gives the stored answer back gives its verdict back.
void OnAnswerChanged(SingleView* view) {
  HWND label = GetDlgItem(view->window, kSingleVerdictLabelId);
  char typed[kTextSize] = "";
  GetWindowText1252(view->answerBox, typed, sizeof typed);
  if (std::strcmp(typed, AnswerSlot(view->current)) != 0) {
    SetTextIfChanged(label, kVerdictEmpty);
    return;
  }
  // Judged again only when this took its verdict away: a question shown
  // puts its stored answer in and judges it itself.
  char shown[kTextSize] = "";
  GetWindowText1252(label, shown, sizeof shown);
  if (std::strcmp(shown, kVerdictEmpty) == 0) EvaluateSingleViewAnswer(g_document, view->window, view->current);
}

// Leaving a question, whatever the way (the box left, Enter, a button, a key,
// the chooser): its answer is stored, judged, and saved when it changed.
void TakeAnswerIn(SingleView* view) {
  StoreCurrentAnswer(view->window);
  EvaluateSingleViewAnswer(g_document, view->window, view->current);
  SaveChangedAnswers();
}

void GoToQuestion(SingleView* view, int question) {
  TakeAnswerIn(view);
  view->current = question;
  ShowQuestion(view, view->current);
}

// One question on, or back, wrapping round at either end.
void StepQuestion(SingleView* view, int step) {
  const int count = QuestionCount();
  int next = view->current + step;
  if (next >= count) next = 0;
  if (next < 0) next = count > 0 ? count - 1 : 0;
  GoToQuestion(view, next);
  // Back where F3 and the answer keys work, ready for this question's answer.
  ReturnFocusToAnswers();
}

// The step a key asks for: Page Down and Page Up released, or Alt with the
// right or left arrow (not the repeats of a held key); 0 for any other key.
int QuestionStepOfKey(UINT message, WPARAM key, LPARAM flags) {
  if (message == WM_KEYUP) return key == VK_NEXT ? 1 : key == VK_PRIOR ? -1 : 0;
  if (flags & kKeyRepeated) return 0;
  return key == VK_RIGHT ? 1 : key == VK_LEFT ? -1 : 0;
}

// Returns true when the key is consumed.
bool OnAnswerKey(SingleView* view, UINT message, WPARAM key, LPARAM flags) {
  if (const int step = QuestionStepOfKey(message, key, flags)) {
    StepQuestion(view, step);
    // Not consumed: the platform must see that Alt went with another key,
    // or its release would open the window's system menu.
    return false;
  }
  switch (key) {
    case VK_RETURN:
      TakeAnswerIn(view);
      return true;
    case VK_F2:
      SavePlayerAnswers();
      return false;
    default:
      return false;
  }
}

LRESULT CALLBACK AnswerBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  SingleView* view = &g_view;
  const WNDPROC own = view->answerBoxProc;
  switch (message) {
    case WM_SETFOCUS:
      SendMessageW(box, EM_SETSEL, 0, kSelectAllEnd);
      break;
    case WM_KILLFOCUS:
      // Another application taking the keys does not take the answer in:
      // the player has not left the question.
      if (!FocusLeavesThePlayer(reinterpret_cast<HWND>(wParam))) TakeAnswerIn(view);
      break;
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
      if (!OnPlayerKey(message, wParam, lParam) && OnAnswerKey(view, message, wParam, lParam))
        return 1;
      break;
    case WM_CHAR:
      if (wParam == '\r' || wParam == '\t' || SelectAllOnCtrlA(box, wParam)) return 0;
      break;
    case WM_NCDESTROY:
      SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
      break;
    default:
      break;
  }
  return CallWindowProcW(own, box, message, wParam, lParam);
}

void CreateChooser(SingleView* view) {
  HWND chooser = CreateControl(view->window, kQuestionChooserId, L"combobox", L"", kChooserStyle,
                               kChooserPlace);
  UseFont(chooser, FontRole::kGui, true);
  wchar_t item[kChooserItemSize];
  for (int n = 1; n <= QuestionCount(); ++n) {
    wsprintfW(item, kChooserItemFormat, n);
    SendMessageW(chooser, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  }
  SendMessageW(chooser, CB_SETCURSEL, view->current, 0);
}

void AddTip(HWND tips, HWND view, HWND button, const wchar_t* text) {
  TOOLINFOW tool = {};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;  // understood by every version of the controls
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = view;
  tool.uId = reinterpret_cast<UINT_PTR>(button);
  tool.lpszText = const_cast<wchar_t*>(text);
  SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

// The tooltip window belongs to the view and goes with it.
void CreateButtonTips(SingleView* view) {
  HWND tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                              view->window, nullptr, g_shell.instance, nullptr);
  if (!tips) return;
  AddTip(tips, view->window, GetDlgItem(view->window, kPreviousButtonId), kPreviousTip);
  AddTip(tips, view->window, GetDlgItem(view->window, kNextButtonId), kNextTip);
}

void SetUpView(SingleView* view, HWND window) {
  *view = SingleView{window, nullptr, nullptr, 0, false, false};
  ReadStoredAnswers();

  // The picture control is created in pixels: the box is at the scale already.
  CreateWindowExW(0, L"STATIC", nullptr, kPictureStyle, Scaled(kPictureMargin), Scaled(kPictureMargin),
                  g_shell.pictureBoxWidth, g_shell.pictureBoxHeight, window,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPictureId)), g_shell.instance, nullptr);
  UseFont(CreateControl(window, kPreviousButtonId, L"BUTTON", L"<--", kButtonStyle, kPreviousPlace),
          FontRole::kSystem, true);
  view->answerBox = CreateControl(window, kAnswerBoxId, L"EDIT", WideFromCp1252(AnswerSlot(0)).c_str(),
                                  kAnswerBoxStyle, kAnswerBoxPlace);
  UseFont(view->answerBox, FontRole::kSystem, true);
  // No more than a slot and the progress file keep.
  SendMessageW(view->answerBox, EM_LIMITTEXT, kMaxTextLength, 0);
  view->answerBoxProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
      view->answerBox, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AnswerBoxProc)));
  HWND verdict = CreateControl(window, kSingleVerdictLabelId, L"STATIC", L"?", kVerdictStyle, kVerdictPlace);
  UseFont(verdict, FontRole::kSystem, true);
  AnnounceTextChanges(verdict);
  UseFont(CreateControl(window, kNextButtonId, L"BUTTON", L"-->", kButtonStyle, kNextPlace),
          FontRole::kSystem, true);
  UseFont(CreateControl(window, kSingleRevealLabelId, L"STATIC", L"", kRevealStyle, kRevealPlace),
          FontRole::kGui, true);

  view->current = 0;
  // Every solved mark, and so the score, follows the stored answers from the start.
  for (int k = 0; k < QuestionCount(); ++k) {
    SetWindowText1252(view->answerBox, AnswerSlot(k));
    EvaluateSingleViewAnswer(g_document, window, k);
  }
  SetWindowText1252(view->answerBox, AnswerSlot(view->current));
  EvaluateSingleViewAnswer(g_document, window, view->current);
  ShowQuestion(view, view->current);
  CreateChooser(view);
  CreateButtonTips(view);
}

void ChooseQuestion(SingleView* view) {
  const int chosen = static_cast<int>(
      SendDlgItemMessageW(view->window, kQuestionChooserId, CB_GETCURSEL, 0, 0));
  GoToQuestion(view, chosen >= 0 && chosen < QuestionCount() ? chosen : view->current);
}

// The chooser's notifications. Arrows in the closed chooser step through the
// questions and leave the keys there; an item taken from the open list
// (a click, or Enter) sends them back to the answer box.
void OnChooser(SingleView* view, int notification) {
  switch (notification) {
    case CBN_SELCHANGE:
      ChooseQuestion(view);
      break;
    case CBN_DROPDOWN:
      view->choosing = true;
      view->chosen = false;
      break;
    case CBN_SELENDOK:
      if (view->choosing) view->chosen = true;
      break;
    case CBN_CLOSEUP:
      if (view->chosen) PostMessageW(view->window, kAnswerAfterChoiceMessage, 0, 0);
      view->choosing = view->chosen = false;
      break;
    default:
      break;
  }
}

void OnCommand(SingleView* view, int id, int notification) {
  switch (id) {
    case kNextButtonId:
      StepQuestion(view, 1);
      break;
    case kPreviousButtonId:
      StepQuestion(view, -1);
      break;
    case kQuestionChooserId:
      OnChooser(view, notification);
      break;
    case kAnswerBoxId:
      if (notification == EN_CHANGE) OnAnswerChanged(view);
      break;
    case IDOK:
      // Enter in the closed chooser (the dialog manager's OK): back to the answer.
      if (GetFocus() == GetDlgItem(view->window, kQuestionChooserId)) ReturnFocusToAnswers();
      break;
    default:
      break;
  }
}

INT_PTR ColourStatic(HDC dc, HWND control) {
  switch (GetDlgCtrlID(control)) {
    case kSingleVerdictLabelId:
      return ColourVerdictLabel(g_document, dc, control);
    case kSingleRevealLabelId:
      return ColourBackgroundText(g_document, dc);
    default:
      return 0;
  }
}

INT_PTR CALLBACK SingleQuestionViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetUpView(&g_view, window);
      return TRUE;
    case WM_COMMAND:
      OnCommand(&g_view, LOWORD(wParam), HIWORD(wParam));
      return 0;
    case kAnswerAfterChoiceMessage:
      if (IsWindowVisible(window)) ReturnFocusToAnswers();
      return 0;
    case WM_CTLCOLORSTATIC:
      return ColourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CTLCOLORDLG:
      return reinterpret_cast<INT_PTR>(ViewBackgroundBrush(g_document));
    case WM_DESTROY:
      ReleasePicture(window);
      return 0;
    default:
      return 0;
  }
}

}  // namespace

int CurrentQuestionIndex() { return g_view.current; }

void StoreCurrentAnswer(HWND singleView) {
  HWND box = GetDlgItem(singleView, kAnswerBoxId);
  if (box) GetWindowText1252(box, AnswerSlot(g_view.current), kTextSize);
}

HWND CreateSingleQuestionView(HINSTANCE instance, HWND mainWindow) {
  return CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_VIEW), mainWindow, SingleQuestionViewProc,
                            0);
}

void RescaleSingleQuestionView(HWND singleView) {
  SingleView* view = &g_view;
  if (!singleView || view->window != singleView) return;
  const struct {
    int id;
    const ControlPlace& place;
  } controls[] = {{kPreviousButtonId, kPreviousPlace}, {kAnswerBoxId, kAnswerBoxPlace},
                  {kSingleVerdictLabelId, kVerdictPlace}, {kNextButtonId, kNextPlace},
                  {kSingleRevealLabelId, kRevealPlace},  {kQuestionChooserId, kChooserPlace}};
  for (const auto& control : controls) PlaceControl(singleView, control.id, control.place);
  // The picture is decoded again for the box of the new scale, whether or
  // not the view is shown.
  ShowPicture(view, view->current, Scaled(kSinglePictureWidth), Scaled(kSinglePictureHeight));
}

}  // namespace vidod
