#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "app/player_shell.h"
#include "app/screen_scale.h"
#include "player_fixture.h"
#include "quiz/player_document.h"
#include "res/resource_ids.h"
#include "view_test_support.h"
#include "views/views.h"

#include <string>
#include <vector>

namespace vidod::testing {
namespace {

class HeaderBarTest : public PlayerTest {};

constexpr int kExplanationLabelId = 28;
constexpr int kTitleLabelId = 29;

// A key pressed and released in target, through the player's loop.
void PressKey(HWND target, WPARAM key) {
  PostMessageA(target, WM_KEYDOWN, key, 1);
  PostMessageA(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
  PumpMessages();
}

POINT PlaceIn(HWND parent, int id) {
  RECT rect;
  GetWindowRect(GetDlgItem(parent, id), &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return POINT{rect.left, rect.top};
}

SIZE SizeOf(HWND parent, int id) {
  RECT rect;
  GetWindowRect(GetDlgItem(parent, id), &rect);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

LOGFONTA FontOf(HWND parent, int id) {
  LOGFONTA font = {};
  HFONT handle = reinterpret_cast<HFONT>(SendDlgItemMessageA(parent, id, WM_GETFONT, 0, 0));
  GetObjectA(handle, sizeof font, &font);
  return font;
}

// The player's calls to the shell, through its import of ShellExecuteW,
// recorded instead of opening a browser for the length of a test.
class ShellOpenRecorder {
 public:
  ShellOpenRecorder() { slot_ = ImportSlot(); Swap(reinterpret_cast<void*>(&Record)); }
  ~ShellOpenRecorder() { Swap(original_); }
  static const std::vector<std::string>& opened() { return opened_; }

 private:
  static std::string Narrow(LPCWSTR text) {
    std::string narrow;
    for (; text && *text; ++text) narrow += *text < 0x80 ? static_cast<char>(*text) : '?';
    return narrow;
  }
  static HINSTANCE WINAPI Record(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR, LPCWSTR, INT) {
    opened_.push_back(Narrow(verb) + " " + Narrow(file));
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));  // opened
  }

  // The test executable's import table entry that holds ShellExecuteW.
  static void** ImportSlot() {
    auto* base = reinterpret_cast<uint8_t*>(GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    void* wanted = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("shell32.dll"), "ShellExecuteW"));
    for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name;
         ++entry)
      for (auto* thunk = reinterpret_cast<void**>(base + entry->FirstThunk); *thunk; ++thunk)
        if (*thunk == wanted) return thunk;
    return nullptr;
  }

  void Swap(void* function) {
    if (!slot_) return;
    DWORD old = 0;
    VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &old);
    if (!original_) original_ = *slot_;
    *slot_ = function;
    VirtualProtect(slot_, sizeof *slot_, old, &old);
    opened_.clear();
  }

  void** slot_ = nullptr;
  void* original_ = nullptr;
  static std::vector<std::string> opened_;
};
std::vector<std::string> ShellOpenRecorder::opened_;

TEST_F(HeaderBarTest, CreatesEveryControlWithItsTextAndClass) {
  StartPlayerOn(nullptr);
  HWND bar = g_shell.headerBar;
  const struct {
    int id;
    const char* className;
    const char* text;
  } controls[] = {
      {25, "Static", "Par :"},        {26, "Static", "Createur quizz"},
      {27, "Button", "Sauver"},       {23, "Button", "Switch"},
      {28, "Static", "Explications du quizz"},
      {29, "Static", "Nom du quizz"}, {31, "Static", " Code :"},
      {32, "Static", " 0 / 7"},       {30, "Edit", "      "},
      {120, "Static", ""},            {121, "Static", ""},
      {122, "Static", ""},
  };
  for (const auto& c : controls) {
    HWND control = GetDlgItem(bar, c.id);
    ASSERT_NE(control, nullptr) << c.id;
    char className[32] = "";
    GetClassNameA(control, className, sizeof className);
    EXPECT_EQ(lstrcmpiA(className, c.className), 0) << c.id << " " << className;
    EXPECT_EQ(ControlText(bar, c.id), c.text) << c.id;
  }
  // A quiz without a link of its own shows none, and opens none.
  EXPECT_EQ(GetDlgItem(bar, 24), nullptr);
  {
    ShellOpenRecorder shell;
    SendMessageA(bar, WM_COMMAND, 24, 0);
    EXPECT_TRUE(ShellOpenRecorder::opened().empty());
  }
  EXPECT_TRUE(GetWindowLongPtrA(GetDlgItem(bar, 30), GWL_STYLE) & ES_READONLY);
  EXPECT_TRUE(GetWindowLongPtrA(GetDlgItem(bar, 32), GWL_STYLE) & SS_CENTER);
  // Controls that keep their creation places.
  EXPECT_EQ(PlaceIn(bar, 29).x, 110);
  EXPECT_EQ(PlaceIn(bar, 32).x, 10);
  EXPECT_EQ(PlaceIn(bar, 30).x, 44);
  EXPECT_EQ(SizeOf(bar, 120).cx, 100);
  EXPECT_EQ(SizeOf(bar, 121).cy, 50);
}

TEST_F(HeaderBarTest, PlacesRightHandControlsFromItsWidth) {
  StartPlayerOn("header_link");
  HWND bar = g_shell.headerBar;
  RECT client;
  GetClientRect(g_shell.mainWindow, &client);
  RECT barRect;
  GetWindowRect(bar, &barRect);
  EXPECT_EQ(barRect.right - barRect.left, client.right - 11);

  // A header 653 pixels wide (client width, whatever the frame is).
  RECT barClient;
  GetClientRect(bar, &barClient);
  const int frame = (barRect.right - barRect.left) - barClient.right;
  SetWindowPos(bar, nullptr, 0, 0, 653 + frame, 49, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(PlaceIn(bar, 24).x, 519);
  EXPECT_EQ(PlaceIn(bar, 26).x, 546);
  EXPECT_EQ(PlaceIn(bar, 27).x, 449);
  EXPECT_EQ(PlaceIn(bar, 23).x, 379);
  EXPECT_EQ(SizeOf(bar, 28).cx, 269);
  EXPECT_EQ(SizeOf(bar, 28).cy, 28);
  EXPECT_EQ(PlaceIn(bar, 122).x, 653 - 145);
  EXPECT_EQ(PlaceIn(bar, 25).x, 519);
  EXPECT_EQ(SizeOf(bar, 26).cx, 105);
}

TEST_F(HeaderBarTest, UsesTheLinkTitleAndScoreFonts) {
  StartPlayerOn("header_link");
  HWND bar = g_shell.headerBar;
  const LOGFONTA link = FontOf(bar, 24);
  EXPECT_EQ(link.lfHeight, -13);
  EXPECT_TRUE(link.lfUnderline);
  EXPECT_EQ(link.lfWeight, 400);
  const LOGFONTA title = FontOf(bar, 29);
  EXPECT_EQ(title.lfHeight, -15);
  EXPECT_EQ(title.lfWeight, 700);
  EXPECT_TRUE(title.lfItalic);
  const LOGFONTA score = FontOf(bar, 32);
  EXPECT_EQ(score.lfHeight, 25);
  EXPECT_EQ(score.lfWeight, 400);
  EXPECT_FALSE(score.lfItalic);
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendDlgItemMessageA(bar, 26, WM_GETFONT, 0, 0)),
            GetStockObject(DEFAULT_GUI_FONT));
}

// The height of one line of the control's text.
int LineHeight(HWND parent, int id) {
  HDC dc = GetDC(parent);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendDlgItemMessageW(parent, id, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics = {};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(parent, dc);
  return metrics.tmHeight;
}

// The header laid out and its fonts made for dpi, as a change of scale does.
void ScaleHeaderBar(int dpi) {
  HFONT retired[kFontCount];
  const int count = UseLayoutDpi(dpi, retired);
  RefreshFonts(g_shell.headerBar);
  RescaleHeaderBar(g_shell.headerBar);
  for (int i = 0; i < count; ++i) DeleteObject(retired[i]);
}

// A label paints its whole rectangle: one that reached into the rows of
// another would wipe what the other drew there, the accents of capitals at
// the top of the explanation's first line ("ÉCRIS" shown as "ECRIS").
TEST_F(HeaderBarTest, TitleAndExplanationEachHaveTheirOwnRowsAtEveryScale) {
  StartPlayerOn("app_accents");
  HWND bar = g_shell.headerBar;
  for (int dpi : {96, 120, 144, 96}) {
    ScaleHeaderBar(dpi);
    const Place title = PlaceOf(bar, kTitleLabelId);
    const Place explanation = PlaceOf(bar, kExplanationLabelId);
    EXPECT_GE(explanation.y, title.y + title.height) << dpi;
    EXPECT_GE(title.height, LineHeight(bar, kTitleLabelId)) << dpi;
    EXPECT_GE(explanation.height, 2 * LineHeight(bar, kExplanationLabelId)) << dpi;
  }
  RECT client;
  GetClientRect(bar, &client);
  const Place explanation = PlaceOf(bar, kExplanationLabelId);
  EXPECT_LE(explanation.y + explanation.height, client.bottom);
}

TEST_F(HeaderBarTest, AnswersColourRequestsByControl) {
  StartPlayerOn("header_link");
  HWND bar = g_shell.headerBar;
  HDC dc = GetDC(bar);
  const HBRUSH dialogBrush = reinterpret_cast<HBRUSH>(
      SendMessageA(bar, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(bar)));
  LOGBRUSH colour;
  ASSERT_TRUE(GetObjectA(dialogBrush, sizeof colour, &colour));
  EXPECT_EQ(colour.lbColor, RGB(128, 128, 255));

  const struct {
    int id;
    bool brush;
    COLORREF text;  // CLR_INVALID: left as it was
  } cases[] = {
      {24, true, RGB(50, 50, 255)},  // the home link
      {26, true, CLR_INVALID},       // the author
      {30, true, CLR_INVALID},       // the read-only code field
      {32, true, CLR_INVALID},       // the score
      {120, false, CLR_INVALID},     // the rules keep the platform's colours
      {122, false, CLR_INVALID},
  };
  for (const auto& c : cases) {
    SetTextColor(dc, RGB(9, 9, 9));
    SetBkMode(dc, OPAQUE);
    const HBRUSH brush = reinterpret_cast<HBRUSH>(SendMessageA(
        bar, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(GetDlgItem(bar, c.id))));
    if (c.brush) {
      EXPECT_EQ(brush, dialogBrush) << c.id;
      EXPECT_EQ(GetBkMode(dc), TRANSPARENT) << c.id;
      EXPECT_EQ(GetTextColor(dc), c.text == CLR_INVALID ? RGB(9, 9, 9) : c.text) << c.id;
    } else {
      // Left to the platform's dialog defaults.
      EXPECT_NE(brush, dialogBrush) << c.id;
      EXPECT_EQ(GetBkMode(dc), OPAQUE) << c.id;
    }
  }
  ReleaseDC(bar, dc);
}

// A quiz with a link: the link shows it, and a click hands it to the shell.
TEST_F(HeaderBarTest, TheQuizsOwnLinkIsShownAndOpened) {
  StartPlayerOn("header_link");
  HWND bar = g_shell.headerBar;
  EXPECT_EQ(ControlText(bar, 24), "https://ecole.example/cm2");
  EXPECT_TRUE(GetWindowLongPtrA(GetDlgItem(bar, 24), GWL_STYLE) & SS_NOTIFY);
  ShellOpenRecorder shell;
  SendMessageA(bar, WM_COMMAND, 24, reinterpret_cast<LPARAM>(GetDlgItem(bar, 24)));
  EXPECT_EQ(ShellOpenRecorder::opened(), std::vector<std::string>{"open https://ecole.example/cm2"});
}

TEST_F(HeaderBarTest, StaticControlsShowTheHandCursor) {
  StartPlayerOn(nullptr);
  HCURSOR hand = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_HAND_CURSOR));
  ASSERT_NE(hand, nullptr);
  EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(g_shell.statusLine, GCLP_HCURSOR)), hand);
}

struct CodeShown {
  bool lastCharacterShown;  // within the field's client area
  RECT place;               // the field in the header bar
  bool titleAndExplanationShown;
};

// With the caret at end, where the field scrolls to, when last is set.
CodeShown ShowCode(HWND bar, const std::string& code, bool last) {
  HWND field = GetDlgItem(bar, 30);
  SetDlgItemTextA(bar, 30, code.c_str());
  if (last) {
    SendMessageA(field, EM_SETSEL, code.size(), code.size());
    SendMessageA(field, EM_SCROLLCARET, 0, 0);
  }
  CodeShown shown = {};
  RECT client;
  GetClientRect(field, &client);
  HDC dc = GetDC(field);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(field, WM_GETFONT, 0, 0)));
  SIZE extent = {};
  GetTextExtentPoint32A(dc, &code.back(), 1, &extent);
  SelectObject(dc, old);
  ReleaseDC(field, dc);
  const LRESULT at = SendMessageA(field, EM_POSFROMCHAR, code.size() - 1, 0);
  const int x = static_cast<short>(LOWORD(at));
  shown.lastCharacterShown = at != -1 && x >= 0 && x + extent.cx <= client.right;
  GetWindowRect(field, &shown.place);
  MapWindowPoints(nullptr, bar, reinterpret_cast<POINT*>(&shown.place), 2);
  shown.titleAndExplanationShown = IsWindowVisible(GetDlgItem(bar, 28)) && IsWindowVisible(GetDlgItem(bar, 29));
  return shown;
}

// A reward code of any length up to 259 characters stays in its field, at
// the normal font or a smaller one, and never covers the title or the
// explanation: one that does not fit scrolls in the field to its end.
TEST_F(HeaderBarTest, TheRewardCodeStaysInItsFieldAndScrolls) {
  StartPlayerOn(nullptr);
  HWND bar = g_shell.headerBar;
  const std::string letters = "DRAP-0123456789-ABCDEFGHIJKLMNOPQRSTUVWXYZ-";
  const struct {
    size_t length;
    bool fits;
  } cases[] = {
      {7, true},     // DRAP-01: the normal font
      {40, false},
      {259, false},  // the longest a code can be
      {6, true},     // back at the normal font
  };
  for (const auto& c : cases) {
    std::string code;
    while (code.size() < c.length) code += letters;
    code.resize(c.length);
    const CodeShown shown = ShowCode(bar, code, false);
    EXPECT_EQ(shown.lastCharacterShown, c.fits) << c.length;
    EXPECT_EQ(shown.place.left, 44) << c.length;
    EXPECT_EQ(shown.place.right, 44 + 53) << c.length;
    EXPECT_EQ(shown.place.top, 29) << c.length;
    EXPECT_TRUE(shown.titleAndExplanationShown) << c.length;
    EXPECT_TRUE(ShowCode(bar, code, true).lastCharacterShown) << c.length << ", scrolled";
  }
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendDlgItemMessageA(bar, 30, WM_GETFONT, 0, 0)),
            GetStockObject(DEFAULT_GUI_FONT));
}

// After a click on "Sauver" the keys go back to an answer box of the view
// shown, where F3 and the answer keys work, with the caret after its text.
// A click into the code field keeps the focus there, so that the code can be
// selected and copied; Enter and F3 still work from it.
TEST_F(HeaderBarTest, TheCodeFieldCanBeCopiedAndSauverGivesTheKeysBack) {
  WriteFileBytes(ProgressPath(), "Paris\r\n");
  StartPlayerOn(nullptr);
  HWND bar = g_shell.headerBar;
  HWND field = GetDlgItem(bar, 30);
  HWND single = GetDlgItem(g_shell.singleView, kAnswerBoxId);
  SendDlgItemMessageA(bar, 27, BM_CLICK, 0, 0);
  PumpMessages();
  EXPECT_EQ(GetFocus(), single);
  DWORD start = 0, end = 0;
  SendMessageA(single, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 5u);
  EXPECT_EQ(end, 5u);

  PostMessageA(field, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageA(field, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  PumpMessages();
  ASSERT_EQ(GetFocus(), field);
  SetDlgItemTextA(bar, 30, "DRAP-07");  // as a solved question would show it
  SendMessageA(field, EM_SETSEL, 0, -1);
  PostMessageA(field, WM_CHAR, 3, 1);  // Ctrl+C
  PumpMessages();
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE copied = GetClipboardData(CF_TEXT);
  EXPECT_STREQ(copied ? static_cast<const char*>(GlobalLock(copied)) : "", "DRAP-07");
  if (copied) GlobalUnlock(copied);
  CloseClipboard();
  EXPECT_EQ(GetFocus(), field);

  PressKey(field, VK_RETURN);
  EXPECT_EQ(GetFocus(), single);
  SetFocus(field);
  PressKey(field, VK_F3);
  EXPECT_FALSE(g_shell.singleViewCurrent);
  EXPECT_EQ(GetFocus(), GetDlgItem(g_shell.listView, kFirstListBoxId));
}

// The visible tip of this thread that shows text, if any.
bool TipShows(const std::string& text) {
  struct Search {
    const std::string* text;
    bool found;
  } search = {&text, false};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        char name[32] = "", shown[300] = "";
        GetClassNameA(window, name, sizeof name);
        GetWindowTextA(window, shown, sizeof shown);
        if (lstrcmpiA(name, TOOLTIPS_CLASSA) == 0 && IsWindowVisible(window) && *s->text == shown) s->found = true;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The reward code is reached with F4 from an answer box of either view, and
// a click or a double click takes it whole for a copy (a double click would
// take "SUPER-" alone); a code too long for its field shows whole in a tip
// under it while it has the keys.
TEST_F(HeaderBarTest, TheCodeIsReachedWithF4AndTakenWhole) {
  WriteFileBytes(ProgressPath(), "Paris\r\n");  // the score 1, and its code shown
  StartPlayerOn("views_capitals");
  HWND bar = g_shell.headerBar;
  HWND field = GetDlgItem(bar, 30);
  const std::string longCode = "SUPER-CHAMPION-DU-MONDE";
  enum Way { kF4, kF4InTheList, kClick, kDoubleClick };
  const struct {
    Way way;
    std::string code;
  } ways[] = {{kF4, "DRAP-07"}, {kF4, longCode}, {kClick, longCode}, {kDoubleClick, longCode},
              {kF4InTheList, longCode}};
  for (const auto& w : ways) {
    // The code of the score 1, shown again at each judgement.
    lstrcpyA(g_document->quiz->rewardCodes[0], w.code.c_str());
    SetDlgItemTextA(bar, 30, w.code.c_str());
    if (w.way == kF4InTheList) PressKey(GetFocus(), VK_F3);
    if (w.way == kF4 || w.way == kF4InTheList) PressKey(GetFocus(), VK_F4);
    const LPARAM at = MAKELPARAM(20, 5);
    if (w.way == kClick || w.way == kDoubleClick) {
      PostMessageA(field, WM_LBUTTONDOWN, MK_LBUTTON, at);
      PostMessageA(field, WM_LBUTTONUP, 0, at);
    }
    if (w.way == kDoubleClick) {
      PostMessageA(field, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
      PostMessageA(field, WM_LBUTTONUP, 0, at);
    }
    PumpMessages();
    EXPECT_EQ(GetFocus(), field) << w.way;
    DWORD start = 1, end = 0;
    SendMessageA(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u) << w.way;
    EXPECT_EQ(end, w.code.size()) << w.way;
    EXPECT_EQ(TipShows(w.code), w.code == longCode) << w.way;
    PressKey(field, VK_RETURN);
    EXPECT_NE(GetFocus(), field) << w.way;
    EXPECT_FALSE(TipShows(w.code)) << w.way;
  }
}

TEST_F(HeaderBarTest, SauverSavesTheAnswers) {
  StartPlayerOn(nullptr);
  ASSERT_EQ(GetFileAttributesA(ProgressPath().c_str()), INVALID_FILE_ATTRIBUTES);
  SendMessageA(g_shell.headerBar, WM_COMMAND, 27, reinterpret_cast<LPARAM>(GetDlgItem(g_shell.headerBar, 27)));
  EXPECT_EQ(g_shell.savesRequested, 1);
  EXPECT_NE(GetFileAttributesA(ProgressPath().c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace vidod::testing
