#include <cstdlib>
#include <cstring>
#include <vector>

#include "answers/evaluation.h"
#include "answers/list_view_controls.h"
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
#include "views/single_question_view.h"
#include "views/views.h"

namespace vidod {

namespace {

constexpr int kColumns = 3;
constexpr int kFirstPictureControlId = 9901;  // 9900 + n
constexpr int kFirstPictureResource = 401;    // question n shows picture 400 + n
constexpr char kPictureType[] = "IMG";
constexpr int kNumberLabelId = 153;
constexpr int kCaptionId = 156;
constexpr wchar_t kNumberFormat[] = L"%d.";
constexpr int kNumberTextSize = 16;

// The layout, in pixels of the content at 96 DPI.
constexpr int kFirstRowTop = 5;
constexpr int kColumnGap = 30;
constexpr int kSingleAnswerLeft = 46;
constexpr int kPairAnswerLeft = 106;
constexpr int kNarrowing = 20;         // boxes without pictures are this much narrower
constexpr int kPictureGap = 10;        // below the tallest picture of a row
constexpr int kBoxHeight = 20;
constexpr int kBoxStep = 19;          // the line under a box: their borders overlap
constexpr int kPairLabelWidth = 60;
constexpr int kPairBoxShortening = 59;
constexpr int kNumberOffset = 28;
constexpr int kNumberWidth = 27;
constexpr int kNumberHeight = 17;
constexpr int kTextDrop = 2;           // number label and first caption below the line top
constexpr int kCaptionX[2] = {4, 3};
constexpr int kCaptionY[2] = {2, 22};
constexpr int kCaptionWidth = 95;
constexpr int kCaptionHeight = 20;
constexpr int kRevealDrop = 46;
constexpr int kRevealHeight = 65;
constexpr int kRowHeight = 60;
constexpr int kRevealRowHeight = 140;
constexpr int kContentExtra = 110;
constexpr int kSingleAnswerMargin = 20;
constexpr int kPairAnswerMargin = 80;
constexpr int kRevealQuizType = 1;     // reveal labels exist above this type

// Scrolling.
constexpr int kScrollDown = 500;
constexpr int kScrollUp = 501;
constexpr int kScrollToTarget = 502;
// Posted to the view when what is in sight may have changed.
constexpr UINT kDecodeInSightMessage = WM_APP + 1;
constexpr int kWheelStep = 50;         // per notch of the wheel
constexpr int kLineStepExtra = 50;     // a vertical line is a picture and its boxes
constexpr int kTabTargetExtra = 100;
constexpr WPARAM kSelectAllEnd = 260;
constexpr SHORT kKeyHeld = static_cast<SHORT>(0x8000);

// A click on a picture answers its question: the picture tells the view.
constexpr DWORD kPictureStyle =
    WS_CHILD | WS_VISIBLE | WS_BORDER | SS_CENTERIMAGE | SS_BITMAP | SS_NOTIFY;
constexpr DWORD kCaptionStyle = WS_CHILD | WS_VISIBLE | SS_LEFT;
constexpr DWORD kNumberStyle = WS_CHILD | WS_VISIBLE | SS_RIGHT;
constexpr DWORD kAnswerBoxStyle =
    WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_CENTER;
constexpr DWORD kVerdictStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | SS_CENTERIMAGE | SS_CENTER;
constexpr DWORD kRevealStyle = WS_CHILD | WS_VISIBLE | SS_CENTER;

// A question's picture is decoded when its question first comes into sight:
// until then its control, laid out from the picture's header, stands empty.
struct QuestionPicture {
  RECT reach;    // picture and first answer box, in content pixels
  bool decoded;  // looked up once: a failure is not retried (nor told again)
};

struct ListView {
  HWND window;
  WNDPROC boxProc;  // the boxes' own procedure, the same for all of them
  int contentWidth;
  int contentHeight;
  int scrollTarget;    // the vertical position that scroll code 502 goes to
  int wheelRemainder;  // wheel distance short of a whole notch
  HWND focusedBox;     // the box that last had the keyboard focus
  bool laidOut;
  bool decodeAsked;  // a kDecodeInSightMessage waits in the queue
  std::vector<QuestionPicture> pictures;  // question n at n - 1; empty without pictures
  SIZE pictureBox;  // the box the layout was made for: the pictures are fitted to it
  // Every control of the layout in its order of creation. While the layout is
  // made again for a new scale, each step moves the control it created.
  std::vector<HWND> created;
  bool relayingOut;
  std::size_t nextCreated;
  bool settingBars;  // the bars are being fitted: a bar shown or hidden resizes the view
};

ListView g_view = {};

void AskForPicturesInSight(ListView* view);

// The sizes of one row's pictures, read when the row begins; those of
// questions past the last count for the row's height and are not shown.
struct RowPictures {
  SIZE sizes[kColumns];
  int tallest;
};

// Where one question's answers stand.
struct QuestionPlace {
  int question;    // n, from 1
  int left;        // X
  int lineTop;     // Y
  int boxWidth;    // B
  int labelWidth;  // L
};

struct Layout {
  int boxWidth;      // W
  int boxHeight;     // H
  int perQuestion;   // A
  bool pictures;
  bool reveals;
  int rowTop;        // T
  int pictureBlock;  // P: 0 without pictures
  RowPictures row;
};

int AnswerBoxCount() {
  const QuizDocument* quiz = g_document->quiz;
  const int count = quiz->questionCount * quiz->answersPerQuestion;
  return count > kAnswerSlotCount ? kAnswerSlotCount : count;
}

// Creates a control of the layout (in pixels at the layout's scale), or
// moves the one this step created when the layout is made again.
HWND CreateControl(ListView* view, int id, const wchar_t* className, const wchar_t* text, DWORD style,
                   int x, int y, int width, int height) {
  if (view->relayingOut) {
    HWND control = view->nextCreated < view->created.size() ? view->created[view->nextCreated++] : nullptr;
    if (control) SetWindowPos(control, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    return control;
  }
  HWND control = CreateWindowExW(0, className, text, style, x, y, width, height, view->window,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_shell.instance, nullptr);
  view->created.push_back(control);
  return control;
}

SCROLLINFO ReadScrollInfo(HWND window, int bar) {
  SCROLLINFO info = {};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  GetScrollInfo(window, bar, &info);
  return info;
}

// Moves the children with the scroll position. The platform may refuse to
// scroll a window that is not on the screen (Wine does, for a hidden view):
// the children are then moved one by one, so that the contents always stand
// where the bars say.
void MoveContents(HWND window, int dx, int dy) {
  if (ScrollWindow(window, dx, dy, nullptr, nullptr)) return;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT place;
    GetWindowRect(child, &place);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
    SetWindowPos(child, nullptr, place.left + dx, place.top + dy, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// Moves the bar to position (kept within its range) and the contents with it.
void ScrollTo(HWND window, int bar, const SCROLLINFO& info, int position) {
  if (position > info.nMax) position = info.nMax;
  if (position < info.nMin) position = info.nMin;
  SetScrollPos(window, bar, position, TRUE);
  const int moved = info.nPos - GetScrollPos(window, bar);
  if (moved == 0) return;
  if (bar == SB_VERT)
    MoveContents(window, 0, moved);
  else
    MoveContents(window, moved, 0);
  AskForPicturesInSight(&g_view);
}

// The box's place in the view's client area.
RECT PlaceInView(const ListView* view, HWND box) {
  RECT place;
  GetWindowRect(box, &place);
  MapWindowPoints(nullptr, view->window, reinterpret_cast<POINT*>(&place), 2);
  return place;
}

// A box that is not wholly in sight is brought into it: vertically with room
// above it for its question's picture where the view is tall enough (scroll
// code 502), sideways with its number label.
void ScrollIntoSight(ListView* view, HWND box) {
  RECT client;
  GetClientRect(view->window, &client);
  const RECT place = PlaceInView(view, box);
  if (place.top < 0 || place.bottom > client.bottom) {
    // In content pixels, whatever the scroll position.
    const int top = GetScrollPos(view->window, SB_VERT) + place.top;
    const int bottom = top + (place.bottom - place.top);
    int target = top - g_shell.pictureBoxHeight - Scaled(kTabTargetExtra);
    if (bottom - target > client.bottom) target = bottom - client.bottom;
    view->scrollTarget = target;
    SendMessageW(view->window, WM_VSCROLL, kScrollToTarget, 0);
  }
  const int label = place.left - Scaled(kNumberOffset);
  if (label < 0 || place.right > client.right) {
    const SCROLLINFO info = ReadScrollInfo(view->window, SB_HORZ);
    // The right edge at the view's right edge, or the label at its left edge
    // when the box stands before the view or is wider than it.
    int target = info.nPos + place.right - client.right;
    if (label < 0 || target > info.nPos + label) target = info.nPos + label;
    ScrollTo(view->window, SB_HORZ, info, target);
  }
}

bool WhollyInSight(const ListView* view, HWND box) {
  RECT client;
  GetClientRect(view->window, &client);
  const RECT place = PlaceInView(view, box);
  return place.left >= 0 && place.top >= 0 && place.right <= client.right &&
         place.bottom <= client.bottom;
}

// The box wholly in sight nearest to place: on the nearest line first, then
// the nearest along it. None when no box is wholly in sight.
HWND NearestBoxInSight(const ListView* view, const RECT& place) {
  HWND nearest = nullptr;
  long bestRows = 0, bestColumns = 0;
  const int count = AnswerBoxCount();
  for (int i = 0; i < count; ++i) {
    HWND box = ListControl(view->window, kFirstListBoxId + i);
    if (!box || !WhollyInSight(view, box)) continue;
    const RECT other = PlaceInView(view, box);
    const long rows = std::labs(other.top - place.top);
    const long columns = std::labs(other.left - place.left);
    if (!nearest || rows < bestRows || (rows == bestRows && columns < bestColumns)) {
      nearest = box;
      bestRows = rows;
      bestColumns = columns;
    }
  }
  return nearest;
}

// The box of this view that has the keyboard focus, if one has.
HWND FocusedBox(const ListView* view) {
  HWND focus = GetFocus();
  if (!focus || GetParent(focus) != view->window) return nullptr;
  const int index = GetDlgCtrlID(focus) - kFirstListBoxId;
  return index >= 0 && index < AnswerBoxCount() ? focus : nullptr;
}

// Once the player has moved the view (keys, wheel, bars, a new size), the
// focus follows it when its box has left the sight: typing goes on in a box
// the player sees, the nearest one, not in the one scrolled away.
void FocusFollowsView(ListView* view) {
  HWND box = FocusedBox(view);
  if (!box || WhollyInSight(view, box)) return;
  HWND nearest = NearestBoxInSight(view, PlaceInView(view, box));
  if (nearest) FocusAtEnd(nearest);
}

// Tab and Shift+Tab cycle through every answer box, second answers included;
// the box that receives the focus is brought into sight.
void MoveToNextBox(ListView* view, HWND box) {
  const int count = AnswerBoxCount();
  if (count <= 0) return;
  const int id = GetDlgCtrlID(box);
  const int step = (GetKeyState(VK_SHIFT) & kKeyHeld) ? -1 : 1;
  int next = (id - kFirstListBoxId + step) % count;
  if (next < 0) next += count;
  HWND target = ListControl(view->window, kFirstListBoxId + next);
  ScrollIntoSight(view, target);
  SetFocus(target);
}

// F1: the box's answer goes into every box whose label is not "BRAVO"; each
// box it passes through is judged as the focus leaves it.
void CopyAnswerToUnsolved(HWND box) {
  HWND view = GetParent(box);
  // Copied as typed, letters outside the code page included.
  wchar_t answer[kTextSize] = L"";
  GetWindowTextW(box, answer, kTextSize);
  const int count = AnswerBoxCount();
  // One save for the whole copy, not one per box judged.
  HoldSaves();
  for (int i = 0; i < count; ++i) {
    char verdict[kTextSize] = "";
    GetWindowText1252(ListControl(view, kFirstListBoxId + kListLabelOffset + i), verdict,
                      sizeof verdict);
    if (std::strcmp(verdict, kVerdictRight) == 0) continue;
    HWND target = ListControl(view, kFirstListBoxId + i);
    SetWindowTextW(target, answer);
    SetFocus(target);
  }
  ScrollIntoSight(&g_view, box);
  FocusAtEnd(box);
  ReleaseSaves();
}

// The list view's judgements save the answers as they change.
void JudgeBox(ListView* view, HWND box) {
  EvaluateListViewAnswer(g_document, view->window, GetDlgCtrlID(box));
  SaveChangedAnswers();
}

// Characters (Backspace, Ctrl+V and the like come as characters too), and
// Delete, which edits without one. Not the modifiers, the function keys or
// the page keys, which keep the focus in sight their own way.
bool MayChangeText(UINT message, WPARAM key) {
  return message == WM_CHAR || key == VK_DELETE;
}

// Returns true when the key is consumed.
bool OnBoxKey(ListView* view, HWND box, WPARAM key) {
  switch (key) {
    case VK_RETURN:
      JudgeBox(view, box);
      return true;
    case VK_TAB:
      MoveToNextBox(view, box);
      return false;
    case VK_PRIOR:
    case VK_UP:
      SendMessageW(view->window, WM_VSCROLL, SB_PAGEUP, 0);
      return false;
    case VK_NEXT:
    case VK_DOWN:
      SendMessageW(view->window, WM_VSCROLL, SB_PAGEDOWN, 0);
      return false;
    case VK_F1:
      CopyAnswerToUnsolved(box);
      return false;
    case VK_F2:
      SavePlayerAnswers();
      return false;
    default:
      return false;
  }
}

LRESULT CALLBACK AnswerBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  ListView* view = &g_view;
  const WNDPROC own = view->boxProc;
  switch (message) {
    case WM_SETFOCUS:
      view->focusedBox = box;
      SendMessageW(box, EM_SETSEL, 0, kSelectAllEnd);
      break;
    case WM_KILLFOCUS:
      // Another application taking the keys is not leaving the box.
      if (!FocusLeavesThePlayer(reinterpret_cast<HWND>(wParam))) JudgeBox(view, box);
      break;
    case WM_KEYDOWN:
    case WM_CHAR:
      if (message == WM_CHAR && (wParam == '\r' || wParam == '\t' || SelectAllOnCtrlA(box, wParam)))
        return 0;
      // A key that may change the text shows the box first, should the
      // focus not have found a box in sight when the view moved (a view too
      // small for any whole box).
      if (MayChangeText(message, wParam) && !WhollyInSight(view, box)) ScrollIntoSight(view, box);
      break;
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
      if (!OnPlayerKey(message, wParam, lParam) && OnBoxKey(view, box, wParam)) return 1;
      break;
    case WM_MOUSEWHEEL:
      // The box's own procedure would keep the wheel: the view scrolls.
      return SendMessageW(view->window, message, wParam, lParam);
    case WM_NCDESTROY:
      SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
      break;
    default:
      break;
  }
  return CallWindowProcW(own, box, message, wParam, lParam);
}

void ReplaceBoxProcedure(ListView* view, HWND box) {
  const WNDPROC own = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AnswerBoxProc)));
  if (!view->boxProc) view->boxProc = own;
}

// Questions n, n + 1 and n + 2, whether or not they exist, sized as their
// fitted bitmaps will be; a picture whose header cannot be read counts as W
// wide and 0 high, as one that does not load.
void ReadRowPictureSizes(RowPictures* row, int firstQuestion, int boxWidth, int boxHeight) {
  row->tallest = 0;
  for (int column = 0; column < kColumns; ++column) {
    SIZE& size = row->sizes[column];
    if (!PictureSizeInBox(g_shell.quizModule, kFirstPictureResource - 1 + firstQuestion + column,
                          kPictureType, boxWidth, boxHeight, &size)) {
      size = SIZE{boxWidth, 0};
    }
    if (size.cy > row->tallest) row->tallest = size.cy;
  }
}

void CreatePictureControl(ListView* view, Layout* layout, int question, int column, int left) {
  if (column == 0) ReadRowPictureSizes(&layout->row, question, layout->boxWidth, layout->boxHeight);
  const SIZE size = layout->row.sizes[column];
  layout->pictureBlock = layout->row.tallest + Scaled(kPictureGap);
  const int x = left + (layout->boxWidth - size.cx) / 2;
  const int y = layout->rowTop + (layout->row.tallest - size.cy) / 2;
  HWND picture = CreateControl(view, kFirstPictureControlId - 1 + question, L"STATIC", nullptr, kPictureStyle, x,
                               y, size.cx, size.cy);
  if (!view->relayingOut) SetAccessibleName(picture, PictureName(question));
  view->pictures[question - 1].reach = RECT{x, y, x + size.cx, y + size.cy};
}

// The first answer box joins the picture's reach, so that a picture of no
// height still comes into sight with its row.
void ExtendPictureReach(ListView* view, int question, int left, int top, int width) {
  RECT box = {left, top, left + width, top + Scaled(kBoxHeight)};
  RECT& reach = view->pictures[question - 1].reach;
  UnionRect(&reach, &reach, &box);
}

// The pictures are decoded once the message that moved or showed the view is
// over: a picture that fails shows its message on a view in a settled state,
// not halfway through a switch or a scroll.
void AskForPicturesInSight(ListView* view) {
  if (view->decodeAsked || !view->laidOut || view->pictures.empty()) return;
  view->decodeAsked = PostMessageW(view->window, kDecodeInSightMessage, 0, 0) != FALSE;
}

// Decodes the picture of every question in sight that has not been looked up
// yet. Nothing is in sight while the view is hidden.
void DecodePicturesInSight(ListView* view) {
  if (!view->laidOut || view->pictures.empty() || !IsWindowVisible(view->window)) return;
  RECT sight;
  GetClientRect(view->window, &sight);
  OffsetRect(&sight, GetScrollPos(view->window, SB_HORZ), GetScrollPos(view->window, SB_VERT));
  const int count = static_cast<int>(view->pictures.size());
  for (int n = 1; n <= count; ++n) {
    QuestionPicture& picture = view->pictures[n - 1];
    RECT common;
    if (picture.decoded || !IntersectRect(&common, &picture.reach, &sight)) continue;
    picture.decoded = true;
    HBITMAP bitmap = LoadPicture(g_shell.quizModule, kFirstPictureResource - 1 + n, kPictureType,
                                 view->pictureBox.cx, view->pictureBox.cy,
                                 ViewBackgroundColour(g_document));
    HWND control = GetDlgItem(view->window, kFirstPictureControlId - 1 + n);
    // A picture laid out from its header whose data does not decode: an
    // empty box of the background, not whatever was drawn there before.
    if (!bitmap) {
      RECT inside;
      GetClientRect(control, &inside);
      if (inside.right <= 0 || inside.bottom <= 0) continue;
      bitmap = CentreOnBackground(nullptr, inside.right, inside.bottom, g_document->backgroundBrush);
    }
    HGDIOBJ previous = reinterpret_cast<HGDIOBJ>(
        SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    if (previous) DeleteObject(previous);
  }
}

HWND CreateAnswerBox(ListView* view, int id, const char* answer, int x, int y, int width) {
  HWND box = CreateControl(view, id, L"Edit", WideFromCp1252(answer).c_str(), kAnswerBoxStyle, x, y, width,
                           Scaled(kBoxHeight));
  if (view->relayingOut) return box;
  RememberListControl(view->window, id, box);
  UseFont(box, FontRole::kAnswer, false);
  // No more than a slot and the progress file keep.
  SendMessageW(box, EM_LIMITTEXT, kMaxTextLength, 0);
  return box;
}

HWND CreateVerdictLabel(ListView* view, int id, int x, int y, int width, FontRole font) {
  HWND label = CreateControl(view, id, L"Static", WideFromCp1252(kVerdictEmpty).c_str(), kVerdictStyle, x, y, width,
                             Scaled(kBoxHeight));
  if (view->relayingOut) return label;
  RememberListControl(view->window, id, label);
  UseFont(label, font, true);
  AnnounceTextChanges(label);
  return label;
}

void CreateAnswers(ListView* view, const Layout* layout, const QuestionPlace& place,
                   ProgressText* text) {
  char answer[kTextSize] = "";
  for (int a = 1; a <= layout->perQuestion; ++a) {
    if (!view->relayingOut) ReadNextProgressLine(text, answer);
    const int id = kFirstListBoxId + (place.question - 1) * layout->perQuestion + (a - 1);
    if (layout->perQuestion == 1) {
      HWND box = CreateAnswerBox(view, id, answer, place.left, place.lineTop, place.boxWidth);
      CreateVerdictLabel(view, id + kListLabelOffset, place.left, place.lineTop + Scaled(kBoxStep),
                         place.labelWidth, FontRole::kSystem);
      if (view->relayingOut) continue;
      EvaluateListViewAnswer(g_document, view->window, id);
      ReplaceBoxProcedure(view, box);
    } else {
      const int y = place.lineTop + Scaled(kBoxStep) * (a - 1);
      HWND box = CreateAnswerBox(view, id, answer, place.left, y, place.boxWidth - Scaled(kPairBoxShortening));
      CreateVerdictLabel(view, id + kListLabelOffset, place.left + place.boxWidth - Scaled(kPairLabelWidth), y,
                         Scaled(kPairLabelWidth), FontRole::kGui);
      if (view->relayingOut) continue;
      ReplaceBoxProcedure(view, box);
      EvaluateListViewAnswer(g_document, view->window, id);
    }
    SetAccessibleName(ListControl(view->window, id), AnswerBoxName(place.question, a, layout->perQuestion));
  }
}

void CreateRevealLabel(ListView* view, const Layout* layout, const QuestionPlace& place) {
  HWND label = CreateControl(view, kListRevealLabelBase + place.question, L"Static", L"", kRevealStyle,
                             place.left, place.lineTop + Scaled(kRevealDrop), layout->boxWidth,
                             Scaled(kRevealHeight));
  if (view->relayingOut) return;
  RememberListControl(view->window, kListRevealLabelBase + place.question, label);
  UseFont(label, FontRole::kGui, true);
  const QuestionEntry* entry = QuestionAt(g_document->quiz, place.question - 1);
  if (entry) SetWindowText1252(label, entry->revealText);
  ShowWindow(label, SW_HIDE);
}

void LayOutQuestion(ListView* view, Layout* layout, int question, ProgressText* text) {
  const QuizDocument* quiz = g_document->quiz;
  const int column = (question - 1) % kColumns;
  const int pitch = layout->boxWidth + Scaled(kColumnGap);
  QuestionPlace place = {};
  place.question = question;
  place.left = column * pitch + Scaled(layout->perQuestion == 2 ? kPairAnswerLeft : kSingleAnswerLeft);
  place.boxWidth = place.labelWidth = layout->boxWidth - Scaled(kNarrowing);
  if (layout->pictures) {
    place.boxWidth = place.labelWidth = layout->boxWidth;
    CreatePictureControl(view, layout, question, column, place.left);
  }
  place.lineTop = layout->rowTop + layout->pictureBlock;
  if (layout->pictures) {
    const int boxWidth =
        layout->perQuestion == 2 ? place.boxWidth - Scaled(kPairBoxShortening) : place.boxWidth;
    ExtendPictureReach(view, question, place.left, place.lineTop, boxWidth);
  }

  if (layout->perQuestion == 2 && column == 0) {
    for (int a = 0; a < 2; ++a) {
      HWND caption = CreateControl(view, kCaptionId, L"Static", WideFromCp1252(quiz->answerLabels[a]).c_str(),
                                   kCaptionStyle, Scaled(kCaptionX[a]), place.lineTop + Scaled(kCaptionY[a]),
                                   Scaled(kCaptionWidth), Scaled(kCaptionHeight));
      if (!view->relayingOut) UseFont(caption, FontRole::kGui, true);
    }
  }
  wchar_t number[kNumberTextSize];
  wsprintfW(number, kNumberFormat, question);
  HWND numberLabel = CreateControl(view, kNumberLabelId, L"Static", number, kNumberStyle,
                                   place.left - Scaled(kNumberOffset), place.lineTop + Scaled(kTextDrop),
                                   Scaled(kNumberWidth), Scaled(kNumberHeight));
  if (!view->relayingOut) UseFont(numberLabel, FontRole::kSystem, true);

  CreateAnswers(view, layout, place, text);

  if (layout->reveals) CreateRevealLabel(view, layout, place);

  const int rowHeight = Scaled(layout->reveals ? kRevealRowHeight : kRowHeight);
  if (question % kColumns == 0) layout->rowTop = place.lineTop + rowHeight;
  if (question % kColumns == 1) {
    view->contentWidth = kColumns * layout->boxWidth + Scaled(kContentExtra);
    view->contentHeight = place.lineTop + rowHeight;
  }
}

// keepShown: a bar with nothing to scroll stays, disabled; otherwise it goes.
void SetUpScrollBar(HWND window, int bar, int content, int visible, bool keepShown) {
  int page = visible;
  if (content <= visible) {
    SetScrollPos(window, bar, 0, FALSE);
    page = content;
  }
  SCROLLINFO info = {};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE | (keepShown ? SIF_DISABLENOSCROLL : 0);
  info.nMin = 0;
  info.nMax = content - 2;
  info.nPage = page > 0 ? static_cast<UINT>(page - 1) : 0;
  SetScrollInfo(window, bar, &info, TRUE);
}

// The vertical bar is always there, so that the width the questions have
// does not change with their number. The horizontal bar shows only when the
// columns do not fit: the switch makes the window wide enough for them, and
// a bar that scrolls nothing would only take a line from the questions.
void SetUpScrollBars(ListView* view) {
  view->settingBars = true;
  RECT client;
  // The vertical bar first, so that the width is measured beside it; then
  // the height again, with the horizontal bar come or gone.
  for (const int bar : {SB_VERT, SB_HORZ, SB_VERT}) {
    GetClientRect(view->window, &client);
    if (bar == SB_HORZ)
      SetUpScrollBar(view->window, bar, view->contentWidth, client.right, false);
    else
      SetUpScrollBar(view->window, bar, view->contentHeight, client.bottom, true);
  }
  view->settingBars = false;
}

// Every question laid out for a picture box of width x height (the controls
// created, or moved while the layout is made again).
void LayOutQuestions(ListView* view, int width, int height, ProgressText* text) {
  const QuizDocument* quiz = g_document->quiz;
  Layout layout = {};
  layout.boxWidth = width;
  layout.boxHeight = height;
  layout.perQuestion = quiz->answersPerQuestion;
  layout.pictures = quiz->pictureFlag == 1;
  layout.reveals = quiz->quizType > kRevealQuizType;
  layout.rowTop = Scaled(kFirstRowTop);
  view->pictureBox = SIZE{layout.boxWidth, layout.boxHeight};
  if (layout.pictures) view->pictures.assign(quiz->questionCount, QuestionPicture{});
  for (int n = 1; n <= quiz->questionCount; ++n) LayOutQuestion(view, &layout, n, text);
  view->contentWidth += Scaled(layout.perQuestion == 2 ? kPairAnswerMargin : kSingleAnswerMargin);
}

void SetUpView(ListView* view, HWND window) {
  *view = ListView{window, nullptr, 0, 0, 0, 0, nullptr, false, false, {}, {}, {}, false, 0, false};
  ProgressText text;
  ReadProgressFile(&text);
  LayOutQuestions(view, g_shell.pictureBoxWidth, g_shell.pictureBoxHeight, &text);
  CloseProgressFile(&text);
  view->laidOut = true;
  SetUpScrollBars(view);
}

// The position to go to for a scroll code; lines and pages as the bar's
// platform codes, 500 to 502 the view's own.
int VerticalTarget(const ListView* view, int code, const SCROLLINFO& info) {
  const int lineStep = g_shell.pictureBoxHeight + Scaled(kLineStepExtra);
  switch (code) {
    case SB_LINEUP:
      return info.nPos - lineStep;
    case SB_LINEDOWN:
      return info.nPos + lineStep;
    case SB_PAGEUP:
      return info.nPos - static_cast<int>(info.nPage);
    case SB_PAGEDOWN:
      return info.nPos + static_cast<int>(info.nPage);
    case SB_THUMBTRACK:
      return info.nTrackPos;
    case SB_TOP:
      return 0;
    case SB_BOTTOM:
      return info.nMax;
    case kScrollDown:
      return info.nPos + Scaled(kWheelStep);
    case kScrollUp:
      return info.nPos - Scaled(kWheelStep);
    case kScrollToTarget:
      return view->scrollTarget;
    default:
      return info.nPos;
  }
}

int HorizontalTarget(int code, const SCROLLINFO& info) {
  switch (code) {
    case SB_LINEUP:
      return info.nPos - 1;
    case SB_LINEDOWN:
      return info.nPos + 1;
    case SB_PAGEUP:
      return info.nPos - static_cast<int>(info.nPage);
    case SB_PAGEDOWN:
      return info.nPos + static_cast<int>(info.nPage);
    case SB_THUMBTRACK:
      return info.nTrackPos;
    default:
      return info.nPos;
  }
}

void OnVerticalScroll(ListView* view, int code) {
  const SCROLLINFO info = ReadScrollInfo(view->window, SB_VERT);
  ScrollTo(view->window, SB_VERT, info, VerticalTarget(view, code, info));
  // The scroll to the target brings a box into sight for the focus.
  if (code != kScrollToTarget) FocusFollowsView(view);
}

void OnHorizontalScroll(ListView* view, int code) {
  const SCROLLINFO info = ReadScrollInfo(view->window, SB_HORZ);
  ScrollTo(view->window, SB_HORZ, info, HorizontalTarget(code, info));
  FocusFollowsView(view);
}

// Fine wheels and touchpads send parts of a notch: they add up, each whole
// notch scrolls one step, and a turn the other way drops what was left over.
void OnWheel(ListView* view, WPARAM wParam) {
  const int distance = GET_WHEEL_DELTA_WPARAM(wParam);
  if ((distance < 0) != (view->wheelRemainder < 0)) view->wheelRemainder = 0;
  view->wheelRemainder += distance;
  const int notches = view->wheelRemainder / WHEEL_DELTA;
  view->wheelRemainder -= notches * WHEEL_DELTA;
  if (notches == 0) return;
  const SCROLLINFO info = ReadScrollInfo(view->window, SB_VERT);
  ScrollTo(view->window, SB_VERT, info, info.nPos - notches * Scaled(kWheelStep));
  FocusFollowsView(view);
}

void OnSize(ListView* view) {
  // The dialog is sized once before its set-up, with no content yet. A bar
  // shown or hidden while the bars are fitted resizes it too: the fitting
  // takes the new size in itself.
  if (!view->laidOut || view->settingBars) return;
  const int oldX = GetScrollPos(view->window, SB_HORZ);
  const int oldY = GetScrollPos(view->window, SB_VERT);
  SetUpScrollBars(view);
  const int dx = oldX - GetScrollPos(view->window, SB_HORZ);
  const int dy = oldY - GetScrollPos(view->window, SB_VERT);
  if (dx || dy) MoveContents(view->window, dx, dy);
  AskForPicturesInSight(view);
  FocusFollowsView(view);
}

// Shown: the questions in sight get their pictures.
void OnPlaced(ListView* view, UINT flags) {
  if (flags & SWP_SHOWWINDOW) AskForPicturesInSight(view);
}

INT_PTR ColourStatic(HDC dc, HWND control) {
  const int id = GetDlgCtrlID(control);
  const int count = AnswerBoxCount();
  if (id == kNumberLabelId || id == kCaptionId ||
      (id > kListRevealLabelBase && id <= kListRevealLabelBase + count)) {
    return ColourBackgroundText(g_document, dc);
  }
  const int firstLabel = kFirstListBoxId + kListLabelOffset;
  if (id >= firstLabel && id < firstLabel + count) return ColourVerdictLabel(g_document, dc, control);
  return 0;
}

// The bitmaps the picture controls hold go with the view.
void ReleasePictures(HWND window) {
  for (int n = 1; n <= g_document->quiz->questionCount; ++n) {
    HWND picture = GetDlgItem(window, kFirstPictureControlId - 1 + n);
    if (!picture) continue;
    HGDIOBJ shown = reinterpret_cast<HGDIOBJ>(SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, 0));
    if (shown) DeleteObject(shown);
  }
}

// The first answer box of question n (from 1), brought into sight.
HWND BoxOfQuestionInSight(ListView* view, int question) {
  HWND box = ListControl(view->window,
                         kFirstListBoxId + (question - 1) * g_document->quiz->answersPerQuestion);
  if (box) ScrollIntoSight(view, box);
  return box;
}

// A box the pupil is changing shows no verdict until it is judged again when
// left: a "BRAVO" beside a right answer being changed would be a lie. Texts
// the player puts into boxes that do not have the keys are judged as it puts
// them.
void OnBoxChanged(ListView* view, int id) {
  const int boxes = g_document->quiz->questionCount * g_document->quiz->answersPerQuestion;
  if (id < kFirstListBoxId || id >= kFirstListBoxId + boxes) return;
  HWND box = ListControl(view->window, id);
  if (box && GetFocus() == box) SetTextIfChanged(ListControl(view->window, id + kListLabelOffset), kVerdictEmpty);
}

// A click on a question's picture: the keys go to that question's answer.
void OnCommand(ListView* view, int id, int notification) {
  if (notification == EN_CHANGE) {
    OnBoxChanged(view, id);
    return;
  }
  const int question = id - kFirstPictureControlId + 1;
  if (notification != STN_CLICKED || question < 1 || question > g_document->quiz->questionCount) return;
  if (HWND box = BoxOfQuestionInSight(view, question)) FocusAtEnd(box);
}

INT_PTR CALLBACK QuestionListViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetUpView(&g_view, window);
      return TRUE;
    case WM_COMMAND:
      OnCommand(&g_view, LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_VSCROLL:
      OnVerticalScroll(&g_view, LOWORD(wParam));
      return 0;
    case WM_HSCROLL:
      OnHorizontalScroll(&g_view, LOWORD(wParam));
      return 0;
    case WM_MOUSEWHEEL:
      OnWheel(&g_view, wParam);
      // Handled here: left to the platform it would go up to the main window,
      // which hands it back.
      return TRUE;
    case WM_SIZE:
      OnSize(&g_view);
      return 0;
    case kDecodeInSightMessage:
      g_view.decodeAsked = false;
      DecodePicturesInSight(&g_view);
      return 0;
    case WM_WINDOWPOSCHANGED:
      // Left to the platform as well, which sends the size and move messages.
      OnPlaced(&g_view, reinterpret_cast<const WINDOWPOS*>(lParam)->flags);
      return 0;
    case WM_CTLCOLORSTATIC:
      return ColourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CTLCOLORDLG:
      return reinterpret_cast<INT_PTR>(ViewBackgroundBrush(g_document));
    case WM_DESTROY:
      ReleasePictures(window);
      ForgetListControls(window);
      return 0;
    default:
      return 0;
  }
}

}  // namespace

void StoreListBoxesInSlots(HWND listView) {
  QuizDocument* quiz = g_document->quiz;
  const int count = AnswerBoxCount();
  for (int i = 1; i <= count; ++i) {
    HWND box = ListControl(listView, kFirstListBoxId - 1 + i);
    if (box) GetWindowText1252(box, quiz->answerSlots[i - 1], kTextSize);
  }
  // The hidden single view's box follows, as the switch back would make it:
  // a save takes that box in and must not bring back the text it held.
  const int slot = CurrentQuestionIndex() * quiz->answersPerQuestion;
  if (g_shell.singleView && slot >= 0 && slot < count)
    SetDlgItemText1252(g_shell.singleView, kAnswerBoxId, quiz->answerSlots[slot]);
}

int ListViewContentWidth(HWND listView) { return g_view.contentWidth; }

HWND ListViewBoxInSight(HWND listView) {
  ListView* view = &g_view;
  HWND last = view->focusedBox ? view->focusedBox : ListControl(listView, kFirstListBoxId);
  if (!last || WhollyInSight(view, last)) return last;
  if (HWND nearest = NearestBoxInSight(view, PlaceInView(view, last))) return nearest;
  // A view too small to show a whole box: the last one used is brought in.
  ScrollIntoSight(view, last);
  return last;
}

HWND ListViewBoxOfQuestion(HWND listView, int question) {
  ListView* view = &g_view;
  if (!listView || view->window != listView) return nullptr;
  return BoxOfQuestionInSight(view, question + 1);
}

HWND CreateQuestionListView(HINSTANCE instance, HWND mainWindow) {
  return CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_VIEW), mainWindow, QuestionListViewProc,
                            0);
}

void RescaleQuestionListView(HWND listView) {
  ListView* view = &g_view;
  if (!listView || view->window != listView || !view->laidOut) return;
  // Laid out again from the top, then scrolled back to the same part of the
  // questions at the new scale.
  const SIZE oldBox = view->pictureBox;
  const int oldX = GetScrollPos(listView, SB_HORZ);
  const int oldY = GetScrollPos(listView, SB_VERT);
  SetScrollPos(listView, SB_HORZ, 0, FALSE);
  SetScrollPos(listView, SB_VERT, 0, FALSE);
  ReleasePictures(listView);
  view->relayingOut = true;
  view->nextCreated = 0;
  LayOutQuestions(view, Scaled(kListPictureSize), Scaled(kListPictureSize), nullptr);
  view->relayingOut = false;
  SetUpScrollBars(view);
  const int newWidth = view->pictureBox.cx;
  ScrollTo(listView, SB_HORZ, ReadScrollInfo(listView, SB_HORZ), MulDiv(oldX, newWidth, oldBox.cx));
  ScrollTo(listView, SB_VERT, ReadScrollInfo(listView, SB_VERT), MulDiv(oldY, newWidth, oldBox.cx));
  AskForPicturesInSight(view);
}

}  // namespace vidod
