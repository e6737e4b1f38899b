// The player for every pupil: names and announcements through the system's
// accessibility interface, the system's colours in high contrast, and the
// layout at another DPI (a change of DPI as the system reports it).
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "answers/evaluation.h"
#include "app/player_shell.h"
#include "app/screen_scale.h"
#include "common/layout_scale.h"
#include "player_fixture.h"
#include "quiz/player_document.h"
#include "view_test_support.h"
#include "views/views.h"

namespace vidod::testing {
namespace {

constexpr int kPictureId = 9907;
constexpr int kNextButtonId = 9905;
#ifndef EVENT_OBJECT_LIVEREGIONCHANGED
constexpr DWORD EVENT_OBJECT_LIVEREGIONCHANGED = 0x8019;
#endif

class AssistiveTest : public PlayerTest {
 protected:
  void SetUp() override {
    PlayerTest::SetUp();
    CoInitialize(nullptr);  // the accessible objects travel through COM
  }
  void TearDown() override {
    PlayerTest::TearDown();
    CoUninitialize();
  }
};

// The name a screen reader reads for the window.
std::wstring AccessibleName(HWND window) {
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible),
                                        reinterpret_cast<void**>(&object))))
    return L"(no object)";
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  const HRESULT result = object->get_accName(self, &name);
  std::wstring text = SUCCEEDED(result) && name ? name : L"(no name)";
  SysFreeString(name);
  object->Release();
  return text;
}

std::vector<HWND> g_liveRegions;

void CALLBACK RecordLiveRegion(HWINEVENTHOOK, DWORD, HWND window, LONG, LONG, DWORD, DWORD) {
  g_liveRegions.push_back(window);
}

TEST_F(AssistiveTest, BoxesPicturesAndTheCodeFieldAreNamedAndVerdictsAnnounced) {
  StartPlayerOn("app_accents");
  HWND box = GetDlgItem(g_shell.singleView, kAnswerBoxId);
  HWND verdict = GetDlgItem(g_shell.singleView, kSingleVerdictLabelId);
  EXPECT_EQ(AccessibleName(box), L"R\u00e9ponse, question 1");
  EXPECT_EQ(AccessibleName(GetDlgItem(g_shell.singleView, kPictureId)), L"Image n\u00b01");
  EXPECT_EQ(AccessibleName(GetDlgItem(g_shell.headerBar, kCodeFieldId)), L"Code de r\u00e9compense");
  EXPECT_EQ(AccessibleName(GetDlgItem(g_shell.headerBar, kScoreLabelId)), L" 0 / 3");
  // The names follow the question shown.
  Click(g_shell.singleView, kNextButtonId);
  EXPECT_EQ(AccessibleName(box), L"R\u00e9ponse, question 2");
  EXPECT_EQ(AccessibleName(GetDlgItem(g_shell.singleView, kPictureId)), L"Image n\u00b02");

  HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_LIVEREGIONCHANGED, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr,
                                       RecordLiveRegion, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(hook, nullptr);
  g_liveRegions.clear();
  SetFocus(box);
  SetWindowTextW(box, L"No\u00ebl");
  PressKey(box, VK_RETURN);
  UnhookWinEvent(hook);
  EXPECT_EQ(AccessibleName(verdict), L"BRAVO");
  EXPECT_NE(std::find(g_liveRegions.begin(), g_liveRegions.end(), verdict), g_liveRegions.end());
  EXPECT_EQ(AccessibleName(GetDlgItem(g_shell.headerBar, kScoreLabelId)), L" 1 / 3");

  SendMessageW(g_shell.mainWindow, WM_KEYUP, VK_F3, 0);
  PumpMessages();
  EXPECT_EQ(AccessibleName(GetDlgItem(g_shell.listView, kFirstListBoxId + 2)), L"R\u00e9ponse, question 3");
  EXPECT_EQ(AccessibleName(GetDlgItem(g_shell.listView, 9903)), L"Image n\u00b03");
  EXPECT_EQ(AccessibleName(GetDlgItem(g_shell.listView, kFirstListBoxId + 1 + kListLabelOffset)), L"BRAVO");
}

TEST_F(AssistiveTest, BoxesOfTwoAnswerQuizzesSayWhichAnswer) {
  StartPlayerOn("views_pair");
  EXPECT_EQ(AccessibleName(GetDlgItem(g_shell.listView, kFirstListBoxId)), L"R\u00e9ponse 1, question 1");
  EXPECT_EQ(AccessibleName(GetDlgItem(g_shell.listView, kFirstListBoxId + 3)), L"R\u00e9ponse 2, question 2");
}

// The colour a window answers a colour request with: the brush's colour and
// the text colour it sets.
std::pair<COLORREF, COLORREF> ColoursAnswered(HWND window, UINT request, HWND control) {
  HDC dc = GetDC(window);
  SetTextColor(dc, RGB(1, 2, 3));
  const auto brush = reinterpret_cast<HBRUSH>(
      SendMessageW(window, request, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
  const COLORREF text = GetTextColor(dc);
  ReleaseDC(window, dc);
  return {brush ? BrushColour(brush) : CLR_INVALID, text};
}

// The system's setting cannot be turned on under every platform the tests
// run on: the player is told it, as the setting's change tells it.
TEST_F(AssistiveTest, HighContrastPaintsViewsAndHeaderInSystemColours) {
  StartPlayerOn("app_accents");
  HWND verdict = GetDlgItem(g_shell.singleView, kSingleVerdictLabelId);
  HWND box = GetDlgItem(g_shell.singleView, kAnswerBoxId);
  SetWindowTextW(box, L"G\u00e9rardmer");
  PressKey(box, VK_RETURN);
  const COLORREF unchanged = RGB(1, 2, 3);
  const COLORREF window = GetSysColor(COLOR_WINDOW), text = GetSysColor(COLOR_WINDOWTEXT);
  struct Case {
    HWND window;
    UINT request;
    HWND control;
    std::pair<COLORREF, COLORREF> normal, contrast;  // brush, text
  };
  const Case cases[] = {
      // The views' background and a text on it.
      {g_shell.singleView, WM_CTLCOLORDLG, g_shell.singleView, {RGB(200, 220, 240), unchanged}, {window, unchanged}},
      {g_shell.singleView, WM_CTLCOLORSTATIC, GetDlgItem(g_shell.singleView, kSingleRevealLabelId),
       {RGB(200, 220, 240), RGB(0, 0, 0)}, {window, text}},
      {g_shell.listView, WM_CTLCOLORDLG, g_shell.listView, {RGB(200, 220, 240), unchanged}, {window, unchanged}},
      // The header bar, its texts and its link.
      {g_shell.headerBar, WM_CTLCOLORDLG, g_shell.headerBar, {RGB(128, 128, 255), unchanged}, {window, unchanged}},
      {g_shell.headerBar, WM_CTLCOLORSTATIC, GetDlgItem(g_shell.headerBar, 29), {RGB(128, 128, 255), unchanged},
       {window, text}},
      {g_shell.headerBar, WM_CTLCOLORSTATIC, GetDlgItem(g_shell.headerBar, 24), {RGB(128, 128, 255), RGB(50, 50, 255)},
       {window, GetSysColor(COLOR_HOTLIGHT)}},
      // "BRAVO" stands out as a selection does.
      {g_shell.singleView, WM_CTLCOLORSTATIC, verdict, {RGB(0, 255, 0), unchanged},
       {GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT)}},
  };
  for (bool on : {false, true, false}) {
    UseHighContrast(on);
    for (const Case& c : cases)
      EXPECT_EQ(ColoursAnswered(c.window, c.request, c.control), on ? c.contrast : c.normal)
          << on << " " << c.request << " " << GetDlgCtrlID(c.control);
    EXPECT_EQ(PaintedEdgeColour(verdict), on ? GetSysColor(COLOR_HIGHLIGHT) : RGB(0, 255, 0)) << on;
  }
}

// Every control of the single view, the header bar and the main window with
// its place, at the current scale.
std::vector<std::pair<HWND, Place>> Layout() {
  std::vector<std::pair<HWND, Place>> places;
  for (HWND parent : {g_shell.mainWindow, g_shell.singleView, g_shell.headerBar})
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      places.push_back({child, PlaceOf(child)});
  return places;
}

int FontHeight(HWND control) {
  LOGFONTW font = {};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font.lfHeight;
}

void ChangeDpi(int dpi) {
  RECT outer;
  GetWindowRect(g_shell.mainWindow, &outer);
  SendMessageW(g_shell.mainWindow, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&outer));
  PumpMessages();
}

// On the tests' screen (768 pixels high) 144 DPI would not fit: the scale is
// the largest that does, and a change back to 96 gives every place back.
TEST_F(AssistiveTest, AChangeOfDpiLaysEverythingOutAgainWithinTheWorkArea) {
  StartPlayerOn("views_demo");
  const std::vector<std::pair<HWND, Place>> before = Layout();
  std::vector<bool> insideAt96;
  for (const auto& [control, place] : before) {
    RECT client;
    GetClientRect(GetParent(control), &client);
    insideAt96.push_back(place.x >= 0 && place.x + place.width <= client.right &&
                         place.y + place.height <= client.bottom);
  }
  HWND box = GetDlgItem(g_shell.singleView, kAnswerBoxId);
  const int answerFontHeight = FontHeight(box);

  ChangeDpi(144);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(g_shell.mainWindow, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT work = monitor.rcWork;
  const int dpi = FittingDpi(144, 670, 690, work.right - work.left, work.bottom - work.top);
  ASSERT_GT(dpi, 96);
  EXPECT_EQ(LayoutDpi(), dpi);
  RECT outer;
  GetWindowRect(g_shell.mainWindow, &outer);
  EXPECT_EQ(outer.right - outer.left, ScaleFigure(670, dpi));
  EXPECT_EQ(outer.bottom - outer.top, ScaleFigure(690, dpi));
  EXPECT_GE(outer.left, work.left);
  EXPECT_GE(outer.top, work.top);
  EXPECT_LE(outer.right, work.right);
  EXPECT_LE(outer.bottom, work.bottom);
  // The picture box and the controls at the scale, each inside its window.
  EXPECT_EQ(PlaceOf(g_shell.singleView, kPictureId).height, ScaleFigure(480, dpi));
  const Place answer = PlaceOf(box);
  EXPECT_EQ(answer.x, ScaleFigure(170, dpi));
  EXPECT_EQ(answer.y, ScaleFigure(490, dpi));
  EXPECT_EQ(answer.width, ScaleFigure(230, dpi));
  // No font was given at 96: the system's, made again for the scale.
  LOGFONTW systemFont = {};
  GetObjectW(GetStockObject(SYSTEM_FONT), sizeof systemFont, &systemFont);
  EXPECT_EQ(answerFontHeight, 0);
  EXPECT_EQ(FontHeight(box), ScaleFigure(systemFont.lfHeight, dpi));  // the tests run at 96
  // What stood inside its window at 96 DPI still does (the header's rules
  // reach under its border at every scale).
  for (std::size_t i = 0; i < before.size(); ++i) {
    RECT client;
    GetClientRect(GetParent(before[i].first), &client);
    const Place place = PlaceOf(before[i].first);
    if (!insideAt96[i]) continue;
    EXPECT_GE(place.x, 0) << GetDlgCtrlID(before[i].first);
    EXPECT_LE(place.x + place.width, client.right) << GetDlgCtrlID(before[i].first);
    EXPECT_LE(place.y + place.height, client.bottom) << GetDlgCtrlID(before[i].first);
  }
  // The list view too, from its first box to its content width.
  SendMessageW(g_shell.mainWindow, WM_KEYUP, VK_F3, 0);
  PumpMessages();
  const Place first = PlaceOf(g_shell.listView, kFirstListBoxId);
  EXPECT_EQ(first.x, ScaleFigure(46, dpi));
  EXPECT_EQ(first.width, ScaleFigure(210, dpi));
  EXPECT_EQ(ListViewContentWidth(g_shell.listView), 3 * ScaleFigure(210, dpi) + ScaleFigure(110, dpi) +
                                                        ScaleFigure(20, dpi));
  SendMessageW(g_shell.mainWindow, WM_KEYUP, VK_F3, 0);
  PumpMessages();
  // Back in the single view, the next question's picture is at the scale too.
  SendMessageW(g_shell.singleView, WM_COMMAND, 9905, 0);
  EXPECT_EQ(PlaceOf(g_shell.singleView, kPictureId).height, ScaleFigure(480, dpi));

  ChangeDpi(96);
  EXPECT_EQ(LayoutDpi(), 96);
  const std::vector<std::pair<HWND, Place>> after = Layout();
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t i = 0; i < before.size(); ++i) {
    EXPECT_EQ(after[i].second.x, before[i].second.x) << GetDlgCtrlID(before[i].first);
    EXPECT_EQ(after[i].second.y, before[i].second.y) << GetDlgCtrlID(before[i].first);
    EXPECT_EQ(after[i].second.width, before[i].second.width) << GetDlgCtrlID(before[i].first);
    EXPECT_EQ(after[i].second.height, before[i].second.height) << GetDlgCtrlID(before[i].first);
  }
  EXPECT_EQ(FontHeight(box), answerFontHeight);
}

}  // namespace
}  // namespace vidod::testing
