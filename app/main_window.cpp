#include <windows.h>
#include <windowsx.h>

#include "answers/evaluation.h"
#include "answers/list_view_controls.h"
#include "app/player_shell.h"
#include "app/screen_scale.h"
#include "common/window_text.h"
#include "quiz/player_document.h"
#include "views/single_question_view.h"
#include "views/views.h"

namespace vidod {

namespace {

constexpr int kViewLeft = 5;
constexpr int kViewTop = 50;
constexpr int kViewWidthMargin = 11;
constexpr int kViewHeightMargin = 68;
constexpr int kHeaderTop = 2;
constexpr int kHeaderHeight = 49;
constexpr int kStatusRightMargin = 145;
constexpr int kStatusBottomMargin = 16;
constexpr int kStatusWidth = 140;
constexpr int kStatusHeight = 15;
constexpr int kStatusCreateX = 725;
constexpr int kStatusCreateWidth = 130;
constexpr LPARAM kKeyRepeated = LPARAM{1} << 30;  // the key was already down
constexpr LONG kResizableStyle = WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME;
constexpr WPARAM kCtrlA = 1;  // the character Ctrl+A types

void OnCreate(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  const char* status = g_document ? g_document->quiz->statusText : "";
  g_shell.statusLine = CreateWindowExW(
      0, L"Static", WideFromCp1252(status).c_str(), WS_CHILD | WS_VISIBLE, Scaled(kStatusCreateX),
      client.bottom - Scaled(kStatusBottomMargin), Scaled(kStatusCreateWidth), Scaled(kStatusHeight),
      window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusLineId)), g_shell.instance, nullptr);
  if (g_document) UseFont(g_shell.statusLine, FontRole::kGui, true);
  SendMessageW(window, WM_SETICON, ICON_BIG,
               reinterpret_cast<LPARAM>(LoadIconA(nullptr, IDI_QUESTION)));
}

void PlaceChild(HWND child, int x, int y, int width, int height) {
  if (child) SetWindowPos(child, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void LayOut(int cx, int cy) {
  const int viewWidth = cx - Scaled(kViewWidthMargin);
  const int viewHeight = cy - Scaled(kViewHeightMargin);
  PlaceChild(g_shell.singleView, Scaled(kViewLeft), Scaled(kViewTop), viewWidth, viewHeight);
  PlaceChild(g_shell.headerBar, Scaled(kViewLeft), Scaled(kHeaderTop), viewWidth, Scaled(kHeaderHeight));
  PlaceChild(g_shell.listView, Scaled(kViewLeft), Scaled(kViewTop), viewWidth, viewHeight);
  PlaceChild(g_shell.statusLine, cx - Scaled(kStatusRightMargin), cy - Scaled(kStatusBottomMargin),
             Scaled(kStatusWidth), Scaled(kStatusHeight));
  // Painted again whole: the window's background, drawn over the room it
  // gains, would leave the status text cut.
  if (g_shell.statusLine) InvalidateRect(g_shell.statusLine, nullptr, TRUE);
}

void OnClose() {
  if (!SaveAnswersOrAsk(true)) {
    // The player chose to stay: the answers are still in memory.
    return;
  }
  PostQuitMessage(0);
}

// Only the shown list view scrolls: a hidden one would not show it and would
// come back scrolled where the player never went.
void ForwardWheel(WPARAM wParam, LPARAM lParam) {
  if (g_shell.singleViewCurrent || !g_shell.listView) return;
  SendMessageW(g_shell.listView, WM_MOUSEWHEEL, wParam, lParam);
}

LRESULT OnStatusColour(HDC dc, HWND control) {
  if (GetDlgCtrlID(control) != kStatusLineId) return 0;
  if (g_document && g_document->highContrast) {
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  }
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkMode(dc, TRANSPARENT);  // on the status brush, not on a box of the text background
  return reinterpret_cast<LRESULT>(g_shell.statusBrush);
}

int SwitchSlotCount() {
  const QuizDocument* quiz = g_document->quiz;
  int count = quiz->questionCount * quiz->answersPerQuestion;
  return count > kAnswerSlotCount ? kAnswerSlotCount : count;
}

// Turns a window's drawing off while many of its controls change, then back
// on with one repaint. Only for a shown window: turning drawing back on shows
// the window on some platforms.
void SuspendRedraw(HWND window) { SendMessageW(window, WM_SETREDRAW, FALSE, 0); }

void ResumeRedraw(HWND window) {
  SendMessageW(window, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// Each box gets its slot and is judged, in order, as leaving it would judge
// it. The focus leaves the single view's box first, which stores and judges
// that box's answer before its slot is carried.
void CarrySlotsToListBoxes() {
  SetFocus(g_shell.mainWindow);
  const bool headerShown = IsWindowVisible(g_shell.headerBar);
  // The score and code change with each judgement; the hidden list view
  // draws nothing until it is shown.
  if (headerShown) SuspendRedraw(g_shell.headerBar);
  const int count = SwitchSlotCount();
  for (int i = 1; i <= count; ++i) {
    const int id = kFirstListBoxId - 1 + i;
    SetTextIfChanged(ListControl(g_shell.listView, id), g_document->quiz->answerSlots[i - 1]);
    EvaluateListViewAnswer(g_document, g_shell.listView, id);
  }
  if (headerShown) ResumeRedraw(g_shell.headerBar);
}

// The boxes, whole, into the slots, and the question shown judged again, so
// that its verdict and reveal text follow the answer it now shows.
void CarryListBoxesToSlots() {
  StoreListBoxesInSlots(g_shell.listView);
  EvaluateSingleViewAnswer(g_document, g_shell.singleView, CurrentQuestionIndex());
}

// Back to 670 x 690 (at the scale) at the window's top-left corner, not resizable; a
// maximised window is restored first, or it would stay maximised at the
// screen's corner. The size and the frame change in one move, so that the
// window and its children are laid out once.
void RestoreFixedFrame(HWND window) {
  if (IsZoomed(window) || IsIconic(window)) ShowWindow(window, SW_RESTORE);
  const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  SetWindowLongPtrW(window, GWL_STYLE, style & ~static_cast<LONG_PTR>(kResizableStyle));
  RECT outer;
  GetWindowRect(window, &outer);
  SetWindowPos(window, nullptr, outer.left, outer.top, Scaled(kMainWindowWidth), Scaled(kMainWindowHeight),
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// Resizable and wide enough for the list view's three columns where the work
// area allows, in one move made before the view is shown, so that the window
// and the view are laid out and drawn once. The window moves left only as far
// as it must to stay on the work area.
void EnterListFrame(HWND window) {
  const LONG_PTR fixedStyle = GetWindowLongPtrW(window, GWL_STYLE);
  const LONG_PTR listStyle = fixedStyle | kResizableStyle;
  const DWORD extendedStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
  // The thicker frame takes its width from the client area, and so from the
  // hidden view, which is laid out with it.
  RECT fixedFrame = {}, listFrame = {};
  AdjustWindowRectEx(&fixedFrame, static_cast<DWORD>(fixedStyle), FALSE, extendedStyle);
  AdjustWindowRectEx(&listFrame, static_cast<DWORD>(listStyle), FALSE, extendedStyle);
  const int frameGrowth = (listFrame.right - listFrame.left) - (fixedFrame.right - fixedFrame.left);
  RECT viewClient, outer;
  GetClientRect(g_shell.listView, &viewClient);
  GetWindowRect(window, &outer);
  int width = outer.right - outer.left;
  const int missing = ListViewContentWidth(g_shell.listView) - (viewClient.right - frameGrowth);
  int left = outer.left;
  if (missing > 0) {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    width += missing;
    if (width > work.right - work.left) width = work.right - work.left;
    if (left + width > work.right) left = work.right - width;
  }
  SetWindowLongPtrW(window, GWL_STYLE, listStyle);
  SetWindowPos(window, nullptr, left, outer.top, width, outer.bottom - outer.top,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// The system's high-contrast setting, read again whenever the colours or a
// setting change.
void FollowContrastSetting() {
  HIGHCONTRASTW contrast = {};
  contrast.cbSize = sizeof contrast;
  UseHighContrast(SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
                  (contrast.dwFlags & HCF_HIGHCONTRASTON));
}

// Where the window stands after a change of DPI: the single-question view's
// fixed size at the place the system suggests, kept on the work area; the
// list view's window as the system suggests.
RECT PlaceAtNewScale(const RECT& suggested) {
  if (!g_shell.singleViewCurrent) return suggested;
  RECT place = {suggested.left, suggested.top, suggested.left + Scaled(kMainWindowWidth),
                suggested.top + Scaled(kMainWindowHeight)};
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  if (GetMonitorInfoW(MonitorFromRect(&suggested, MONITOR_DEFAULTTONEAREST), &monitor)) {
    const RECT& work = monitor.rcWork;
    const int dx = place.right > work.right ? work.right - place.right : 0;
    const int dy = place.bottom > work.bottom ? work.bottom - place.bottom : 0;
    OffsetRect(&place, dx, dy);
    OffsetRect(&place, place.left < work.left ? work.left - place.left : 0,
               place.top < work.top ? work.top - place.top : 0);
  }
  return place;
}

// The window moved to a monitor of another DPI (or the DPI changed): fonts,
// pictures and every place are made again for the new scale.
void OnDpiChanged(HWND window, int dpi, const RECT* suggested) {
  const int layoutDpi = FittingLayoutDpi(dpi, *suggested);
  HFONT retired[kFontCount];
  int retiredCount = 0;
  if (layoutDpi != LayoutDpi()) {
    retiredCount = UseLayoutDpi(layoutDpi, retired);
    g_shell.pictureBoxWidth = Scaled(g_shell.singleViewCurrent ? kSinglePictureWidth : kListPictureSize);
    g_shell.pictureBoxHeight = Scaled(g_shell.singleViewCurrent ? kSinglePictureHeight : kListPictureSize);
    RefreshFonts(window);
    RescaleHeaderBar(g_shell.headerBar);
    RescaleSingleQuestionView(g_shell.singleView);
    RescaleQuestionListView(g_shell.listView);
  }
  const RECT place = PlaceAtNewScale(*suggested);
  SetWindowPos(window, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client;
  GetClientRect(window, &client);
  LayOut(client.right, client.bottom);
  for (int i = 0; i < retiredCount; ++i) DeleteObject(retired[i]);
  RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void OnKey(HWND window, UINT message, WPARAM key, LPARAM flags) {
  if (IsSwitchKey(message, key, flags))
    SwitchViews(window);
  else
    OnPlayerKey(message, key, flags);
}

bool IsEditBox(HWND window) {
  wchar_t name[8] = L"";
  GetClassNameW(window, name, 8);
  return lstrcmpiW(name, L"Edit") == 0;
}

// Leaving the player's window for another is not leaving the box: what had
// the keys, and its caret, are kept for the way back, as dialogs do.
void RememberKeys(HWND window) {
  HWND focus = GetFocus();
  g_shell.keysOnLeaving = focus && IsChild(window, focus) ? focus : nullptr;
  g_shell.selectionOnLeaving[0] = g_shell.selectionOnLeaving[1] = 0;
  if (g_shell.keysOnLeaving && IsEditBox(focus))
    SendMessageW(focus, EM_GETSEL, reinterpret_cast<WPARAM>(&g_shell.selectionOnLeaving[0]),
                 reinterpret_cast<LPARAM>(&g_shell.selectionOnLeaving[1]));
}

// Back in the player's window (its caption clicked, Alt+Tab, a click on a
// picture): the keys go where they were, else to an answer box in sight.
void GiveKeysBack(HWND window) {
  HWND kept = g_shell.keysOnLeaving;
  g_shell.keysOnLeaving = nullptr;
  if (!kept || !IsWindow(kept) || !IsChild(window, kept) || !IsWindowVisible(kept) ||
      !IsWindowEnabled(kept)) {
    ReturnFocusToAnswers();
    return;
  }
  SetFocus(kept);
  if (IsEditBox(kept))
    SendMessageW(kept, EM_SETSEL, g_shell.selectionOnLeaving[0], g_shell.selectionOnLeaving[1]);
}

// A second start of the quiz asks for this window: in front, with the keys.
// A minimised window is restored. One that is not the foreground window is
// shown again: a window manager may hold it minimised or covered without the
// window knowing (the platform does not tell a window without a minimise box
// that it was minimised there, nor does it ask the manager to bring a window
// forward), and a window shown comes in front with the keys.
void ComeForward(HWND window) {
  if (IsIconic(window)) {
    ShowWindow(window, SW_RESTORE);
  } else if (GetForegroundWindow() != window) {
    ShowWindow(window, SW_HIDE);
    ShowWindow(window, SW_SHOW);
  }
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow(window);
}

void OnActivate(HWND window, WPARAM wParam) {
  // Not before the start-up has given the keys their first place.
  if (!g_shell.started) return;
  if (LOWORD(wParam) == WA_INACTIVE)
    RememberKeys(window);
  else if (!HIWORD(wParam))  // not while minimised
    GiveKeysBack(window);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      OnCreate(window);
      return 0;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) LayOut(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
      // Other keys get no default processing: Alt+F4 does not close the player.
      OnKey(window, message, wParam, lParam);
      return 0;
    case kComeForwardMessage:
      ComeForward(window);
      return 0;
    case WM_ACTIVATE:
      // Not left to the platform, which would give the keys to this window.
      OnActivate(window, wParam);
      return 0;
    case WM_CTLCOLORSTATIC:
      return OnStatusColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_MOUSEWHEEL:
      ForwardWheel(wParam, lParam);
      return 0;
    case WM_QUERYENDSESSION:
      // Saved now: once the session ends, the process may be stopped at any time.
      SaveAnswersAtSessionEnd();
      return TRUE;
    case WM_ENDSESSION:
      if (wParam) SaveAnswersAtSessionEnd();
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(window, HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
      FollowContrastSetting();
      return DefWindowProcW(window, message, wParam, lParam);
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

bool RegisterMainWindowClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  windowClass.hIconSm = LoadIconA(nullptr, IDI_APPLICATION);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_SCROLLBAR + 1));
  windowClass.lpszClassName = kMainWindowClassWide;
  return RegisterClassExW(&windowClass) != 0;
}

HWND CreateMainWindow(HINSTANCE instance, const char* caption) {
  HWND window = CreateWindowExW(0, kMainWindowClassWide, WideFromCp1252(caption).c_str(), WS_SYSMENU,
                                CW_USEDEFAULT, CW_USEDEFAULT, Scaled(kMainWindowWidth),
                                Scaled(kMainWindowHeight), nullptr, nullptr, instance, nullptr);
  FollowContrastSetting();
  return window;
}

void UseHighContrast(bool on) {
  if (!g_document || on == g_document->highContrast) return;
  g_document->highContrast = on;
  if (g_shell.mainWindow)
    RedrawWindow(g_shell.mainWindow, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void CentreWindowOnDesktop(HWND window) {
  RECT desktop, outer;
  GetWindowRect(GetDesktopWindow(), &desktop);
  GetWindowRect(window, &outer);
  const int x = desktop.left + ((desktop.right - desktop.left) - (outer.right - outer.left)) / 2;
  const int y = desktop.top + ((desktop.bottom - desktop.top) - (outer.bottom - outer.top)) / 2;
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

bool IsSwitchKey(UINT message, WPARAM key, LPARAM flags) {
  return key == VK_F3 && !(message == WM_SYSKEYDOWN && (flags & kKeyRepeated));
}

bool OnPlayerKey(UINT message, WPARAM key, LPARAM flags) {
  if (IsSwitchKey(message, key, flags)) {
    SendMessageW(g_shell.mainWindow, WM_SYSKEYDOWN, VK_F3, 0);
    return true;
  }
  // Released alone: Alt+F4 still closes the window.
  if (message == WM_KEYUP && key == VK_F4) {
    FocusRewardCode();
    return true;
  }
  return false;
}

bool FocusLeavesThePlayer(HWND gaining) {
  return !gaining || (gaining != g_shell.mainWindow && !IsChild(g_shell.mainWindow, gaining));
}

bool SelectAllOnCtrlA(HWND box, WPARAM character) {
  if (character != kCtrlA) return false;
  SendMessageW(box, EM_SETSEL, 0, -1);
  return true;
}

void SwitchViews(HWND mainWindow) {
  // The boxes left and judged on the way save once, at the end.
  HoldSaves();
  if (g_shell.singleViewCurrent) {
    EnterListFrame(mainWindow);
    CarrySlotsToListBoxes();
  } else {
    // Hidden first, the list view is not laid out and drawn again at the
    // size it is leaving.
    ShowWindow(g_shell.listView, SW_HIDE);
    RestoreFixedFrame(mainWindow);
    CarryListBoxesToSlots();
  }
  HWND shown = g_shell.singleViewCurrent ? g_shell.singleView : g_shell.listView;
  HWND hidden = g_shell.singleViewCurrent ? g_shell.listView : g_shell.singleView;
  ShowWindow(hidden, SW_SHOW);
  ShowWindow(shown, SW_HIDE);
  g_shell.singleViewCurrent = !g_shell.singleViewCurrent;
  g_shell.pictureBoxWidth = Scaled(g_shell.singleViewCurrent ? kSinglePictureWidth : kListPictureSize);
  g_shell.pictureBoxHeight = Scaled(g_shell.singleViewCurrent ? kSinglePictureHeight : kListPictureSize);
  // The keys go on in the view now shown: in the list view, at the question
  // the single view was showing.
  if (g_shell.singleViewCurrent)
    ReturnFocusToAnswers();
  else
    FocusAtEnd(ListViewBoxOfQuestion(g_shell.listView, CurrentQuestionIndex()));
  SaveChangedAnswers();
  ReleaseSaves();
}

}  // namespace vidod
