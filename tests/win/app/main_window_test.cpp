#include <windows.h>

#include <gtest/gtest.h>

#include "app/player_shell.h"
#include "message_box_catcher.h"
#include "painted_window.h"
#include "player_fixture.h"
#include "quiz/player_document.h"
#include "views/views.h"

namespace vidod::testing {
namespace {

constexpr LPARAM kAltHeld = LPARAM{1} << 29;
constexpr LPARAM kRepeated = LPARAM{1} << 30;

class MainWindowTest : public PlayerTest {};

RECT OuterRect(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  return rect;
}

// Whether the control, painted as on the screen, shows white anywhere.
bool PaintsWhite(HWND control) {
  const PaintedWindow painted(control);
  for (int y = 0; y < painted.height(); ++y)
    for (int x = 0; x < painted.width(); ++x)
      if (painted.At(x, y) == RGB(255, 255, 255)) return true;
  return false;
}

TEST_F(MainWindowTest, OpensCentredAtFixedSizeWithTheQuizTitle) {
  StartPlayerOn(nullptr);
  const RECT outer = OuterRect(g_shell.mainWindow);
  EXPECT_EQ(outer.right - outer.left, kMainWindowWidth);
  EXPECT_EQ(outer.bottom - outer.top, kMainWindowHeight);
  RECT desktop;
  GetWindowRect(GetDesktopWindow(), &desktop);
  EXPECT_EQ(outer.left, desktop.left + (desktop.right - desktop.left - kMainWindowWidth) / 2);
  EXPECT_EQ(outer.top, desktop.top + (desktop.bottom - desktop.top - kMainWindowHeight) / 2);
  if (desktop.right == 1024 && desktop.bottom == 768) {
    EXPECT_EQ(outer.left, 177);
    EXPECT_EQ(outer.top, 39);
  }
  char caption[64] = "";
  GetWindowTextA(g_shell.mainWindow, caption, sizeof caption);
  EXPECT_STREQ(caption, "Nom du quizz");  // the default quiz: this exe carries none

  const LONG_PTR style = GetWindowLongPtrA(g_shell.mainWindow, GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  char className[32] = "";
  GetClassNameA(g_shell.mainWindow, className, sizeof className);
  EXPECT_STREQ(className, "WindowsApp");
  EXPECT_EQ(ControlText(g_shell.mainWindow, kStatusLineId), "R\xE9" "alis\xE9 avec la version 2.2");
  EXPECT_TRUE(IsWindowVisible(g_shell.singleView));
  EXPECT_FALSE(IsWindowVisible(g_shell.listView));
  EXPECT_EQ(g_shell.pictureBoxWidth, 640);
  EXPECT_EQ(g_shell.pictureBoxHeight, 480);
}

TEST_F(MainWindowTest, LaysOutChildrenFromTheClientArea) {
  StartPlayerOn(nullptr);
  RECT client;
  GetClientRect(g_shell.mainWindow, &client);
  const struct {
    HWND window;
    int x, y, width, height;
  } expected[] = {
      {g_shell.singleView, 5, 50, client.right - 11, client.bottom - 68},
      {g_shell.headerBar, 5, 2, client.right - 11, 49},
      {g_shell.listView, 5, 50, client.right - 11, client.bottom - 68},
      {g_shell.statusLine, client.right - 145, client.bottom - 16, 140, 15},
  };
  for (const auto& child : expected) {
    RECT rect;
    GetWindowRect(child.window, &rect);
    MapWindowPoints(nullptr, g_shell.mainWindow, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, child.x);
    EXPECT_EQ(rect.top, child.y);
    EXPECT_EQ(rect.right - rect.left, child.width);
    EXPECT_EQ(rect.bottom - rect.top, child.height);
  }
}

TEST_F(MainWindowTest, PaintsTheStatusLineOnItsBrush) {
  StartPlayerOn(nullptr);
  HDC dc = GetDC(g_shell.statusLine);
  SetTextColor(dc, RGB(1, 2, 3));
  const LRESULT brush =
      SendMessageA(g_shell.mainWindow, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                   reinterpret_cast<LPARAM>(g_shell.statusLine));
  EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), g_shell.statusBrush);
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
  // The text on the brush, not on boxes of the default white text background.
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  EXPECT_FALSE(PaintsWhite(g_shell.statusLine));
  LOGBRUSH colour;
  GetObjectA(g_shell.statusBrush, sizeof colour, &colour);
  EXPECT_EQ(colour.lbColor, RGB(212, 208, 200));
  // Any other static control of the main window gets no brush.
  EXPECT_EQ(SendMessageA(g_shell.mainWindow, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                         reinterpret_cast<LPARAM>(g_shell.headerBar)),
            0);
  ReleaseDC(g_shell.statusLine, dc);
}

TEST_F(MainWindowTest, F3AndSwitchToggleViewsAndTheResizableFrame) {
  StartPlayerOn(nullptr);
  SendMessageA(g_shell.mainWindow, WM_KEYUP, VK_F3, 0);
  EXPECT_TRUE(IsWindowVisible(g_shell.listView));
  EXPECT_FALSE(IsWindowVisible(g_shell.singleView));
  EXPECT_EQ(g_shell.singleViewCurrent, 0);
  EXPECT_EQ(g_shell.pictureBoxWidth, 210);
  EXPECT_EQ(g_shell.pictureBoxHeight, 210);
  EXPECT_TRUE(GetWindowLongPtrA(g_shell.mainWindow, GWL_STYLE) & WS_THICKFRAME);
  EXPECT_EQ(GetFocus(), GetDlgItem(g_shell.listView, kFirstListBoxId));  // the keys go on there

  // The list view may be given any size; the way back restores 670 x 690.
  const RECT before = OuterRect(g_shell.mainWindow);
  SetWindowPos(g_shell.mainWindow, nullptr, 0, 0, 900, 500, SWP_NOMOVE | SWP_NOZORDER);
  SendMessageA(g_shell.mainWindow, WM_SYSKEYDOWN, VK_F3, 0);
  const RECT after = OuterRect(g_shell.mainWindow);
  EXPECT_EQ(after.right - after.left, kMainWindowWidth);
  EXPECT_EQ(after.bottom - after.top, kMainWindowHeight);
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.top, before.top);
  EXPECT_FALSE(GetWindowLongPtrA(g_shell.mainWindow, GWL_STYLE) & WS_THICKFRAME);
  EXPECT_TRUE(IsWindowVisible(g_shell.singleView));
  EXPECT_EQ(g_shell.pictureBoxWidth, 640);
  EXPECT_EQ(GetFocus(), GetDlgItem(g_shell.singleView, kAnswerBoxId));

  // "Switch" in the header bar acts as F3.
  SendMessageA(g_shell.headerBar, WM_COMMAND, 23,
               reinterpret_cast<LPARAM>(GetDlgItem(g_shell.headerBar, 23)));
  EXPECT_TRUE(IsWindowVisible(g_shell.listView));
  SendMessageA(g_shell.headerBar, WM_COMMAND, 23,
               reinterpret_cast<LPARAM>(GetDlgItem(g_shell.headerBar, 23)));
  EXPECT_TRUE(IsWindowVisible(g_shell.singleView));
}

TEST_F(MainWindowTest, OtherKeysWithAltGetNoDefaultProcessing) {
  StartPlayerOn(nullptr);
  SetFocus(g_shell.mainWindow);
  constexpr LPARAM kAltHeld = 1 << 29;
  SendMessageA(g_shell.mainWindow, WM_SYSKEYDOWN, VK_F4, kAltHeld);
  PumpMessages();
  EXPECT_TRUE(IsWindow(g_shell.mainWindow));
  EXPECT_TRUE(IsWindowVisible(g_shell.mainWindow));
  EXPECT_EQ(g_shell.savesRequested, 0);
  MSG quit;
  EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

// The list view gets room for its three columns (760 pixels of content)
// where the screen has it; the way back is 670 x 690 again, and a maximised
// list view is restored first rather than kept maximised.
TEST_F(MainWindowTest, TheListViewGetsItsColumnsAndTheWayBackIsTheFixedSize) {
  StartPlayerOn(nullptr);
  const RECT single = OuterRect(g_shell.mainWindow);
  SendMessageA(g_shell.mainWindow, WM_KEYUP, VK_F3, 0);
  RECT client;
  GetClientRect(g_shell.listView, &client);
  const RECT list = OuterRect(g_shell.mainWindow);
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  if (work.right - work.left >= 900) {
    EXPECT_EQ(client.right, 760);
    EXPECT_EQ(list.left, single.left);
  }
  EXPECT_GE(list.left, work.left);
  EXPECT_LE(list.right, work.right);
  EXPECT_EQ(list.bottom - list.top, kMainWindowHeight);

  for (bool maximised : {false, true}) {
    if (maximised) {
      SendMessageA(g_shell.mainWindow, WM_KEYUP, VK_F3, 0);
      ShowWindow(g_shell.mainWindow, SW_MAXIMIZE);
      ASSERT_TRUE(IsZoomed(g_shell.mainWindow));
    }
    SendMessageA(g_shell.mainWindow, WM_KEYUP, VK_F3, 0);
    const RECT back = OuterRect(g_shell.mainWindow);
    EXPECT_FALSE(IsZoomed(g_shell.mainWindow)) << maximised;
    EXPECT_EQ(back.left, list.left) << maximised;
    EXPECT_EQ(back.top, list.top) << maximised;
    EXPECT_EQ(back.right - back.left, kMainWindowWidth) << maximised;
    EXPECT_EQ(back.bottom - back.top, kMainWindowHeight) << maximised;
  }
}

// Alt+F3 held down repeats its key-down: the views switch once, from the main
// window as from an answer box.
TEST_F(MainWindowTest, AHeldAltF3SwitchesOnce) {
  StartPlayerOn(nullptr);
  HWND box = GetDlgItem(g_shell.singleView, kAnswerBoxId);
  for (HWND target : {g_shell.mainWindow, box}) {
    const int before = g_shell.singleViewCurrent;
    SendMessageA(target, WM_SYSKEYDOWN, VK_F3, kAltHeld | 1);
    for (int repeat = 0; repeat < 3; ++repeat)
      SendMessageA(target, WM_SYSKEYDOWN, VK_F3, kAltHeld | kRepeated | 1);
    PumpMessages();
    EXPECT_NE(g_shell.singleViewCurrent, before) << (target == box ? "box" : "main window");
    if (target == g_shell.mainWindow) SendMessageA(g_shell.mainWindow, WM_KEYUP, VK_F3, 0);
  }
}

// The session's end saves what is typed, as closing does, and asks nothing.
TEST_F(MainWindowTest, TheAnswersAreSavedWhenTheSessionEnds) {
  StartPlayerOn(nullptr);
  MessageBoxCatcher catcher;
  const std::string others = "\r\n\r\n\r\n\r\n\r\n\r\n";
  SetDlgItemTextA(g_shell.singleView, kAnswerBoxId, "Paris");
  EXPECT_EQ(SendMessageA(g_shell.mainWindow, WM_QUERYENDSESSION, 0, 0), TRUE);
  EXPECT_EQ(ReadFileBytes(ProgressPath()), "Paris\r\n" + others);
  SetDlgItemTextA(g_shell.singleView, kAnswerBoxId, "Rome");
  SendMessageA(g_shell.mainWindow, WM_ENDSESSION, FALSE, 0);  // called off
  EXPECT_EQ(ReadFileBytes(ProgressPath()), "Paris\r\n" + others);
  SendMessageA(g_shell.mainWindow, WM_ENDSESSION, TRUE, 0);
  EXPECT_EQ(ReadFileBytes(ProgressPath()), "Rome\r\n" + others);
  EXPECT_TRUE(catcher.boxes().empty());
}

// Leaving the player's window for another one and coming back (its caption
// clicked, Alt+Tab, a click on a picture: the window is activated) is not
// leaving the box: what was typed is neither judged nor saved for it, and
// the keys come back to the box, the caret where it was. Closing still keeps
// what was typed.
TEST_F(MainWindowTest, TheKeysComeBackWhereTheyWereWithTheWindow) {
  StartPlayerOn(nullptr);
  HWND other = CreateWindowExA(0, "STATIC", "Bloc-notes", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(other, nullptr);
  for (const bool list : {false, true}) {
    if (list) {
      SendMessageA(g_shell.mainWindow, WM_KEYUP, VK_F3, 0);
      PumpMessages();
    }
    HWND view = list ? g_shell.listView : g_shell.singleView;
    const int id = list ? kFirstListBoxId + 1 : kAnswerBoxId;
    const int label = list ? kFirstListBoxId + 1 + 1000 : 9500;
    HWND box = GetDlgItem(view, id);
    SetFocus(box);
    SetDlgItemTextA(view, id, "xyz");
    SendMessageA(box, EM_SETSEL, 1, 2);
    const std::string verdict = ControlText(view, label);
    const int written = g_shell.filesWritten;
    SetForegroundWindow(other);
    PumpMessages();
    ASSERT_EQ(GetActiveWindow(), other) << list;
    EXPECT_EQ(ControlText(view, label), verdict) << list;
    EXPECT_EQ(g_shell.filesWritten, written) << list;
    SetForegroundWindow(g_shell.mainWindow);
    PumpMessages();
    EXPECT_EQ(GetFocus(), box) << list;
    DWORD start = 0, end = 0;
    SendMessageA(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 1u) << list;
    EXPECT_EQ(end, 2u) << list;
  }
  DestroyWindow(other);
  PostMessageA(g_shell.mainWindow, WM_CLOSE, 0, 0);
  EXPECT_EQ(RunMessageLoop(), 0);
  EXPECT_EQ(ReadFileBytes(ProgressPath()), "xyz\r\nxyz\r\n\r\n\r\n\r\n\r\n\r\n");
}

TEST_F(MainWindowTest, ClosingSavesOnceAndEndsTheLoopWithZero) {
  StartPlayerOn(nullptr);
  PostMessageA(g_shell.mainWindow, WM_CLOSE, 0, 0);
  EXPECT_EQ(RunMessageLoop(), 0);
  EXPECT_EQ(g_shell.savesRequested, 1);
  // The default quiz has seven questions: seven empty lines.
  EXPECT_EQ(ReadFileBytes(ProgressPath()), "\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
}

TEST_F(MainWindowTest, TeardownReleasesTheClassForTheNextStart) {
  StartPlayerOn(nullptr);
  StopPlayerNow();
  WNDCLASSA windowClass;
  EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), kMainWindowClass, &windowClass));
  StartPlayerOn(nullptr);
  EXPECT_TRUE(IsWindow(g_shell.mainWindow));
}

TEST_F(MainWindowTest, ClassRegistrationFailureIsReported) {
  // A class of the same name already registered makes the registration fail.
  WNDCLASSA taken = {};
  taken.lpfnWndProc = DefWindowProcA;
  taken.hInstance = GetModuleHandleA(nullptr);
  taken.lpszClassName = kMainWindowClass;
  ASSERT_TRUE(RegisterClassA(&taken));
  MessageBoxCatcher catcher;
  EXPECT_FALSE(StartPlayer(GetModuleHandleA(nullptr), GetModuleHandleA(nullptr)));
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_EQ(catcher.boxes()[0].caption, "Vidod information");
  EXPECT_EQ(catcher.boxes()[0].text, "Erreur dans la cr\xE9" "ation de la fen\xEA" "tre principale");
  EXPECT_EQ(g_document, nullptr);
  UnregisterClassA(kMainWindowClass, GetModuleHandleA(nullptr));
}

}  // namespace
}  // namespace vidod::testing
