#include <windows.h>
#include <shellapi.h>

#include <cstdio>

#include "app/player_shell.h"
#include "quiz/player_document.h"
#include "res/resource_ids.h"

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

// The reward code field. A code that does not fit it at the normal font is
// shown a size or two smaller; one that does not fit even then stays in the
// field, which scrolls, and never covers the title or the explanation.
constexpr RECT kCodePlace = {44, 29, 44 + 53, 29 + 16};
// Smaller fonts, a pixel apart from the default GUI font's height downwards,
// down to the smallest that stays readable.
constexpr int kCodeFontSteps = 2;
constexpr int kUsualGuiFontHeight = -11;

struct ControlPlace {
  int id;
  const char* className;
  DWORD style;
  int x, y, width, height;
};

enum class FontChoice { kGuiFont, kLinkFont, kTitleFont, kScoreFont, kNone };

// The brush and fonts live from the dialog's initialisation to its final
// destruction; the code field's own procedure is put back before it dies.
HBRUSH g_headerBrush = nullptr;
HFONT g_linkFont = nullptr;
HFONT g_codeFonts[kCodeFontSteps + 1];  // [0] the default GUI font, not ours
WNDPROC g_codeFieldProc = nullptr;

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

// The link font follows the link's own height (three quarters of it).
void MakeLinkFont(HWND link) {
  RECT client;
  GetClientRect(link, &client);
  LOGFONTA font = {};
  font.lfHeight = -(3 * (client.bottom - client.top) / 4);
  font.lfWeight = FW_NORMAL;
  font.lfUnderline = TRUE;
  g_linkFont = CreateFontIndirectA(&font);
}

// The hand cursor goes to the whole "Static" class, views' labels included,
// whether the quiz has a link or not.
void SetStaticCursor(HWND control) {
  HCURSOR hand = LoadCursorA(g_shell.instance, MAKEINTRESOURCEA(IDR_HAND_CURSOR));
  if (hand) SetClassLongPtrA(control, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(hand));
}

void MakeCodeFonts() {
  LOGFONTA font = {};
  g_codeFonts[0] = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  GetObjectA(g_codeFonts[0], sizeof font, &font);
  if (font.lfHeight == 0) font.lfHeight = kUsualGuiFontHeight;  // "the default height"
  const int sign = font.lfHeight < 0 ? -1 : 1;
  for (int step = 1; step <= kCodeFontSteps; ++step) {
    font.lfHeight -= sign;
    g_codeFonts[step] = CreateFontIndirectA(&font);
  }
}

// Whether the whole code shows at font on the field's one line, within its
// margins.
bool CodeFits(HWND field, const char* code, HFONT font) {
  const DWORD margins = static_cast<DWORD>(SendMessageA(field, EM_GETMARGINS, 0, 0));
  RECT client;
  GetClientRect(field, &client);
  const int width = client.right - client.left - LOWORD(margins) - HIWORD(margins);
  RECT needed = {0, 0, width, 0};
  HDC dc = GetDC(field);
  HGDIOBJ old = SelectObject(dc, font);
  DrawTextA(dc, code, -1, &needed, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(field, dc);
  return needed.right <= width;
}

// The largest font at which the whole code fits, else the smallest: the
// field then scrolls through the code.
void FitCodeField(HWND bar) {
  HWND field = GetDlgItem(bar, kCodeField);
  if (!field || !g_codeFonts[0]) return;
  char code[kTextSize] = "";
  GetWindowTextA(field, code, sizeof code);
  int step = 0;
  while (step < kCodeFontSteps && !CodeFits(field, code, g_codeFonts[step])) ++step;
  SendMessageA(field, WM_SETFONT, reinterpret_cast<WPARAM>(g_codeFonts[step]), TRUE);
}

// Keys that leave the code field for the answers: Enter and Tab go back to
// the answer box, F3 switches views as it does everywhere.
bool OnCodeFieldKey(UINT message, WPARAM key, LPARAM flags) {
  if (IsSwitchKey(message, key, flags)) {
    SendMessageA(g_document->mainWindow, WM_SYSKEYDOWN, VK_F3, 0);
    return true;
  }
  if (message == WM_KEYUP && (key == VK_RETURN || key == VK_TAB)) {
    ReturnFocusToAnswers();
    return true;
  }
  return false;
}

LRESULT CALLBACK CodeFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
  const WNDPROC own = g_codeFieldProc;
  switch (message) {
    case WM_SETTEXT: {
      const LRESULT result = CallWindowProcA(own, field, message, wParam, lParam);
      FitCodeField(GetParent(field));
      return result;
    }
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
      if (OnCodeFieldKey(message, wParam, lParam)) return 0;
      break;
    case WM_CHAR:
      // Handled as keys above, not typed (the field would only beep).
      if (wParam == '\r' || wParam == '\t') return 0;
      break;
    case WM_NCDESTROY:
      SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
      break;
    default:
      break;
  }
  return CallWindowProcA(own, field, message, wParam, lParam);
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
      {{kHomeLink, "Static", plain | SS_NOTIFY, 736, 5, 115, 18}, quiz->homeLink, FontChoice::kLinkFont},
      {{kByLabel, "Static", plain, 736, 25, 27, 18}, "Par :", FontChoice::kGuiFont},
      {{kAuthorLabel, "Static", plain, 763, 25, 85, 18}, quiz->author, FontChoice::kGuiFont},
      {{kSaveButton, "button", plain, 666, 25, 55, 18}, "Sauver", FontChoice::kGuiFont},
      {{kSwitchButton, "button", plain, 566, 25, 55, 18}, "Switch", FontChoice::kGuiFont},
      {{kExplanationLabel, "Static", plain, 110, 19, 490, 27}, quiz->explanation, FontChoice::kGuiFont},
      {{kTitleLabel, "Static", plain, 110, 3, 260, 18}, quiz->title, FontChoice::kTitleFont},
      {{kCodeLabel, "Static", plain, 7, 29, 36, 15}, " Code :", FontChoice::kGuiFont},
      {{kScoreLabel, "Static", plain | SS_CENTER, 10, 1, 80, 20}, score, FontChoice::kScoreFont},
      // A code longer than the field scrolls in it.
      {{kCodeField, "edit", plain | ES_READONLY | ES_AUTOHSCROLL, kCodePlace.left, kCodePlace.top,
        kCodePlace.right - kCodePlace.left, kCodePlace.bottom - kCodePlace.top},
       "", FontChoice::kGuiFont},
      {{kScoreRule, "Static", plain | WS_BORDER, 0, 26, 100, 1}, "", FontChoice::kNone},
      {{kLeftRule, "Static", plain | WS_BORDER, 100, 0, 1, 50}, "", FontChoice::kNone},
      {{kRightRule, "Static", plain | WS_BORDER, 730, 0, 1, 50}, "", FontChoice::kNone},
  };
  for (const Row& row : rows) {
    // A quiz without a link of its own has no link to show.
    if (row.place.id == kHomeLink && quiz->homeLink[0] == '\0') continue;
    HWND control = MakeControl(bar, row.place, row.text);
    if (row.place.id == kHomeLink) MakeLinkFont(control);
    if (row.place.id == kByLabel) SetStaticCursor(control);
    SetControlFont(control, row.font);
  }
  g_headerBrush = CreateSolidBrush(kHeaderColour);
  MakeCodeFonts();
  g_codeFieldProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
      GetDlgItem(bar, kCodeField), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CodeFieldProc)));
}

void Place(HWND bar, int id, int x, int y, int width, int height, bool repaint) {
  HWND control = GetDlgItem(bar, id);
  if (!control) return;
  SetWindowPos(control, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  if (repaint) InvalidateRect(control, nullptr, FALSE);
}

void OnSize(HWND bar, int w) {
  // Every moved text is repainted: the bar's own background, drawn over the
  // room it gains, would leave the link and "Par :" cut.
  Place(bar, kHomeLink, w - 134, 0, 115, 18, true);
  Place(bar, kByLabel, w - 134, 25, 26, 18, true);
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
      if (g_document->quiz->homeLink[0] != '\0')
        ShellExecuteA(nullptr, "open", g_document->quiz->homeLink, nullptr, nullptr, SW_SHOWNORMAL);
      break;
    case kSaveButton:
      SavePlayerAnswers();
      ReturnFocusToAnswers();
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
  for (int step = 1; step <= kCodeFontSteps; ++step)
    if (g_codeFonts[step]) DeleteObject(g_codeFonts[step]);
  g_headerBrush = nullptr;
  g_linkFont = nullptr;
  for (HFONT& font : g_codeFonts) font = nullptr;
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
