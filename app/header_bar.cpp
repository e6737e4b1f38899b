#include <windows.h>
#include <shellapi.h>

#include <cstdio>

#include "app/player_shell.h"
#include "quiz/player_document.h"
#include "res/resource_ids.h"

#ifndef VIDOD_HOME_LINK
#define VIDOD_HOME_LINK "www.example.org"
#endif

namespace vidod {

namespace {

enum HeaderControl {
  kSwitchButton = 23,
  kHomeLink = 24,
  kByLabel = 25,
  kAuthorLabel = 26,
  kSaveButton = 27,
  kExplanationLabel = 28,
  kTitleLabel = 29,
  kCodeField = 30,
  kCodeLabel = 31,
  kScoreLabel = 32,
  kScoreRule = 120,
  kLeftRule = 121,
  kRightRule = 122,
};

constexpr int kFirstHeaderStaticId = 20;
constexpr int kLastHeaderStaticId = 37;
constexpr COLORREF kHeaderColour = RGB(128, 128, 255);
constexpr COLORREF kLinkColour = RGB(50, 50, 255);
constexpr char kHomeLinkText[] = VIDOD_HOME_LINK;

struct ControlPlace {
  int id;
  const char* className;
  DWORD style;
  int x, y, width, height;
};

enum class FontChoice { kGuiFont, kLinkFont, kTitleFont, kScoreFont, kNone };

// The brush lives from the dialog's initialisation to its final destruction.
HBRUSH g_headerBrush = nullptr;
HFONT g_linkFont = nullptr;

HWND MakeControl(HWND bar, const ControlPlace& place, const char* text) {
  return CreateWindowExA(0, place.className, text, place.style, place.x, place.y, place.width, place.height,
                         bar, reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.id)),
                         g_shell.instance, nullptr);
}

void SetControlFont(HWND control, FontChoice choice) {
  switch (choice) {
    case FontChoice::kGuiFont:
      SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                   TRUE);
      break;
    case FontChoice::kLinkFont:
      SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(g_linkFont), TRUE);
      break;
    case FontChoice::kTitleFont:
      SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(g_document->titleFont), FALSE);
      break;
    case FontChoice::kScoreFont:
      SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(g_document->scoreFont), FALSE);
      break;
    case FontChoice::kNone:
      break;
  }
}

// The link font follows the link's own height (three quarters of it), and the
// hand cursor goes to the whole "Static" class, views' labels included.
void MakeLinkFontAndCursor(HWND link) {
  RECT client;
  GetClientRect(link, &client);
  LOGFONTA font = {};
  font.lfHeight = -(3 * (client.bottom - client.top) / 4);
  font.lfWeight = FW_NORMAL;
  font.lfUnderline = TRUE;
  g_linkFont = CreateFontIndirectA(&font);
  HCURSOR hand = LoadCursorA(g_shell.instance, MAKEINTRESOURCEA(IDR_HAND_CURSOR));
  if (hand) SetClassLongPtrA(link, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(hand));
}

void OnInitDialog(HWND bar) {
  const QuizDocument* quiz = g_document->quiz;
  char score[32];
  std::snprintf(score, sizeof score, " 0 / %d", quiz->questionCount);
  const DWORD plain = WS_CHILD | WS_VISIBLE;
  struct Row {
    ControlPlace place;
    const char* text;
    FontChoice font;
  };
  const Row rows[] = {
      {{kHomeLink, "Static", plain | SS_NOTIFY, 736, 5, 115, 18}, kHomeLinkText, FontChoice::kLinkFont},
      {{kByLabel, "Static", plain, 736, 25, 27, 18}, "Par :", FontChoice::kGuiFont},
      {{kAuthorLabel, "Static", plain, 763, 25, 85, 18}, quiz->author, FontChoice::kGuiFont},
      {{kSaveButton, "button", plain, 666, 25, 55, 18}, "Sauver", FontChoice::kGuiFont},
      {{kSwitchButton, "button", plain, 566, 25, 55, 18}, "Switch", FontChoice::kGuiFont},
      {{kExplanationLabel, "Static", plain, 110, 19, 490, 27}, quiz->explanation, FontChoice::kGuiFont},
      {{kTitleLabel, "Static", plain, 110, 3, 260, 18}, quiz->title, FontChoice::kTitleFont},
      {{kCodeLabel, "Static", plain, 7, 29, 36, 15}, " Code :", FontChoice::kGuiFont},
      {{kScoreLabel, "Static", plain | SS_CENTER, 10, 1, 80, 20}, score, FontChoice::kScoreFont},
      {{kCodeField, "edit", plain | ES_READONLY, 44, 29, 53, 16}, "", FontChoice::kGuiFont},
      {{kScoreRule, "Static", plain | WS_BORDER, 0, 26, 100, 1}, "", FontChoice::kNone},
      {{kLeftRule, "Static", plain | WS_BORDER, 100, 0, 1, 50}, "", FontChoice::kNone},
      {{kRightRule, "Static", plain | WS_BORDER, 730, 0, 1, 50}, "", FontChoice::kNone},
  };
  for (const Row& row : rows) {
    HWND control = MakeControl(bar, row.place, row.text);
    if (row.place.id == kHomeLink) MakeLinkFontAndCursor(control);
    SetControlFont(control, row.font);
  }
  g_headerBrush = CreateSolidBrush(kHeaderColour);
}

void Place(HWND bar, int id, int x, int y, int width, int height, bool repaint) {
  HWND control = GetDlgItem(bar, id);
  if (!control) return;
  SetWindowPos(control, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  if (repaint) InvalidateRect(control, nullptr, FALSE);
}

void OnSize(HWND bar, int w) {
  Place(bar, kHomeLink, w - 134, 0, 115, 18, false);
  Place(bar, kByLabel, w - 134, 25, 26, 18, false);
  Place(bar, kAuthorLabel, w - 107, 25, 105, 18, true);
  Place(bar, kSaveButton, w - 204, 25, 55, 18, true);
  Place(bar, kSwitchButton, w - 274, 25, 55, 18, true);
  Place(bar, kExplanationLabel, 110, 19, w - 384, 28, true);
  Place(bar, kRightRule, w - 145, 0, 1, 50, true);
}

void OnCommand(WPARAM wParam) {
  switch (wParam) {
    case kSwitchButton:
      SendMessageA(g_document->mainWindow, WM_SYSKEYDOWN, VK_F3, 0);
      break;
    case kHomeLink:
      ShellExecuteA(nullptr, "open", kHomeLinkText, nullptr, nullptr, SW_SHOWNORMAL);
      break;
    case kSaveButton:
      SavePlayerAnswers();
      break;
    default:
      break;
  }
}

INT_PTR OnStaticColour(HDC dc, HWND control) {
  const int id = GetDlgCtrlID(control);
  if (id < kFirstHeaderStaticId || id > kLastHeaderStaticId) return 0;
  SetBkMode(dc, TRANSPARENT);
  if (id == kHomeLink) SetTextColor(dc, kLinkColour);
  return reinterpret_cast<INT_PTR>(g_headerBrush);
}

void OnFinalDestroy() {
  if (g_headerBrush) DeleteObject(g_headerBrush);
  if (g_linkFont) DeleteObject(g_linkFont);
  g_headerBrush = nullptr;
  g_linkFont = nullptr;
}

INT_PTR CALLBACK HeaderBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(bar);
      return TRUE;
    case WM_SIZE:
      OnSize(bar, LOWORD(lParam));
      return 0;
    case WM_COMMAND:
      OnCommand(wParam);
      return 0;
    case WM_CTLCOLORDLG:
      return reinterpret_cast<INT_PTR>(g_headerBrush);
    case WM_CTLCOLORSTATIC:
      return OnStaticColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_NCDESTROY:
      OnFinalDestroy();
      return 0;
    default:
      return 0;
  }
}

}  // namespace

HWND CreateHeaderBar(HINSTANCE instance, HWND mainWindow) {
  return CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_HEADER_BAR), mainWindow, HeaderBarProc, 0);
}

}  // namespace vidod
