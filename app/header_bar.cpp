#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>

#include "app/accessible_names.h"
#include "app/player_shell.h"
#include "app/screen_scale.h"
#include "common/window_text.h"
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
constexpr wchar_t kCodeFieldName[] = L"Code de r\u00e9compense";
constexpr UINT_PTR kFocusTool = 1;  // the code tip's tool shown with the keys
constexpr int kCodeTipGap = 2;      // between the field and the tip under it

struct ControlPlace {
  int id;
  const wchar_t* className;
  DWORD style;
  int x, y, width, height;  // at 96 DPI
};

enum class FontChoice { kGuiFont, kLinkFont, kTitleFont, kScoreFont, kNone };

struct Row {
  ControlPlace place;
  FontChoice font;
};

// The title's line, and below it the explanation's two. A label paints its
// whole rectangle, so neither reaches into the other's rows: the explanation
// once began two rows inside the title's, whose background then wiped the
// accents of its capitals.
constexpr int kTitleTop = 1;
constexpr int kTitleHeight = 18;
constexpr int kExplanationTop = kTitleTop + kTitleHeight;
constexpr int kExplanationHeight = 28;

constexpr DWORD kPlain = WS_CHILD | WS_VISIBLE;
// The controls in their order of creation, at their creation places.
constexpr Row kRows[] = {
    {{kHomeLink, L"Static", kPlain | SS_NOTIFY, 736, 5, 115, 18}, FontChoice::kLinkFont},
    {{kByLabel, L"Static", kPlain, 736, 25, 27, 18}, FontChoice::kGuiFont},
    {{kAuthorLabel, L"Static", kPlain, 763, 25, 85, 18}, FontChoice::kGuiFont},
    {{kSaveButton, L"button", kPlain, 666, 25, 55, 18}, FontChoice::kGuiFont},
    {{kSwitchButton, L"button", kPlain, 566, 25, 55, 18}, FontChoice::kGuiFont},
    {{kExplanationLabel, L"Static", kPlain, 110, kExplanationTop, 490, kExplanationHeight}, FontChoice::kGuiFont},
    {{kTitleLabel, L"Static", kPlain, 110, kTitleTop, 260, kTitleHeight}, FontChoice::kTitleFont},
    {{kCodeLabel, L"Static", kPlain, 7, 29, 36, 15}, FontChoice::kGuiFont},
    {{kScoreLabel, L"Static", kPlain | SS_CENTER, 10, 1, 80, 20}, FontChoice::kScoreFont},
    // A code longer than the field scrolls in it.
    {{kCodeField, L"edit", kPlain | ES_READONLY | ES_AUTOHSCROLL, kCodePlace.left, kCodePlace.top,
      kCodePlace.right - kCodePlace.left, kCodePlace.bottom - kCodePlace.top},
     FontChoice::kGuiFont},
    {{kScoreRule, L"Static", kPlain | WS_BORDER, 0, 26, 100, 1}, FontChoice::kNone},
    {{kLeftRule, L"Static", kPlain | WS_BORDER, 100, 0, 1, 50}, FontChoice::kNone},
    {{kRightRule, L"Static", kPlain | WS_BORDER, 730, 0, 1, 50}, FontChoice::kNone},
};

// The brush and fonts live from the dialog's initialisation to its final
// destruction; the code field's own procedure is put back before it dies.
HBRUSH g_headerBrush = nullptr;
HFONT g_linkFont = nullptr;
HFONT g_codeFonts[kCodeFontSteps + 1];  // [0] the default GUI font, not ours
WNDPROC g_codeFieldProc = nullptr;
// Shows a code too long for its field whole: under the pointer resting on
// the field, and under the field while it has the keys. It goes with the
// player's window, which owns it.
HWND g_codeTip = nullptr;
bool g_codeCut = false;  // the code shown does not fit its field

// The text a control is created with.
std::wstring TextOf(int id, const QuizDocument* quiz) {
  char score[32];
  switch (id) {
    case kHomeLink:
      return WideFromCp1252(quiz->homeLink);
    case kByLabel:
      return L"Par :";
    case kAuthorLabel:
      return WideFromCp1252(quiz->author);
    case kSaveButton:
      return L"Sauver";
    case kSwitchButton:
      return L"Switch";
    case kExplanationLabel:
      return WideFromCp1252(quiz->explanation);
    case kTitleLabel:
      return WideFromCp1252(quiz->title);
    case kCodeLabel:
      return L" Code :";
    case kScoreLabel:
      std::snprintf(score, sizeof score, " 0 / %d", quiz->questionCount);
      return WideFromCp1252(score);
    default:
      return L"";
  }
}

HWND MakeControl(HWND bar, const ControlPlace& place, const std::wstring& text) {
  return CreateWindowExW(0, place.className, text.c_str(), place.style, Scaled(place.x), Scaled(place.y),
                         Scaled(place.width), Scaled(place.height), bar,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.id)), g_shell.instance, nullptr);
}

void SetControlFont(HWND control, FontChoice choice) {
  switch (choice) {
    case FontChoice::kGuiFont:
      UseFont(control, FontRole::kGui, true);
      break;
    case FontChoice::kLinkFont:
      SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(g_linkFont), TRUE);
      break;
    case FontChoice::kTitleFont:
      UseFont(control, FontRole::kTitle, false);
      break;
    case FontChoice::kScoreFont:
      UseFont(control, FontRole::kScore, false);
      break;
    case FontChoice::kNone:
      break;
  }
}

// The link font follows the link's own height (three quarters of it).
void MakeLinkFont(HWND link) {
  RECT client;
  GetClientRect(link, &client);
  LOGFONTW font = {};
  font.lfHeight = -(3 * (client.bottom - client.top) / 4);
  font.lfWeight = FW_NORMAL;
  font.lfUnderline = TRUE;
  g_linkFont = CreateFontIndirectW(&font);
}

// The hand cursor goes to the whole "Static" class, views' labels included,
// whether the quiz has a link or not.
void SetStaticCursor(HWND control) {
  HCURSOR hand = LoadCursorA(g_shell.instance, MAKEINTRESOURCEA(IDR_HAND_CURSOR));
  if (hand) SetClassLongPtrW(control, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(hand));
}

HFONT GuiFont() {
  return g_document->guiFont ? g_document->guiFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void DeleteCodeFonts() {
  for (int step = 1; step <= kCodeFontSteps; ++step)
    if (g_codeFonts[step]) DeleteObject(g_codeFonts[step]);
  for (HFONT& font : g_codeFonts) font = nullptr;
}

void MakeCodeFonts() {
  LOGFONTW font = {};
  g_codeFonts[0] = GuiFont();
  GetObjectW(g_codeFonts[0], sizeof font, &font);
  if (font.lfHeight == 0) font.lfHeight = Scaled(kUsualGuiFontHeight);  // "the default height"
  const int sign = font.lfHeight < 0 ? -1 : 1;
  for (int step = 1; step <= kCodeFontSteps; ++step) {
    font.lfHeight -= sign;
    g_codeFonts[step] = CreateFontIndirectW(&font);
  }
}

// Whether the whole code shows at font on the field's one line, within its
// margins.
bool CodeFits(HWND field, const wchar_t* code, HFONT font) {
  const DWORD margins = static_cast<DWORD>(SendMessageW(field, EM_GETMARGINS, 0, 0));
  RECT client;
  GetClientRect(field, &client);
  const int width = client.right - client.left - LOWORD(margins) - HIWORD(margins);
  RECT needed = {0, 0, width, 0};
  HDC dc = GetDC(field);
  HGDIOBJ old = SelectObject(dc, font);
  DrawTextW(dc, code, -1, &needed, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(field, dc);
  return needed.right <= width;
}

TOOLINFOW CodeTool(HWND field, bool focusTool, const wchar_t* text) {
  TOOLINFOW tool = {};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;  // understood by every version of the controls
  tool.uFlags = focusTool ? TTF_TRACK | TTF_ABSOLUTE : TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = GetParent(field);
  tool.uId = focusTool ? kFocusTool : reinterpret_cast<UINT_PTR>(field);
  tool.lpszText = const_cast<wchar_t*>(text);
  return tool;
}

void MakeCodeTip(HWND bar, HWND field) {
  g_codeTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, bar, nullptr,
                              g_shell.instance, nullptr);
  if (!g_codeTip) return;
  for (const bool focusTool : {false, true}) {
    TOOLINFOW tool = CodeTool(field, focusTool, L"");
    SendMessageW(g_codeTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

// The tip under the field while it has the keys, when the code is cut.
void ShowWholeCode(bool focused) {
  HWND field = g_document && g_document->headerBar ? GetDlgItem(g_document->headerBar, kCodeField) : nullptr;
  if (!g_codeTip || !field) return;
  TOOLINFOW tool = CodeTool(field, true, nullptr);
  if (focused && g_codeCut) {
    RECT place;
    GetWindowRect(field, &place);
    SendMessageW(g_codeTip, TTM_TRACKPOSITION, 0, MAKELPARAM(place.left, place.bottom + Scaled(kCodeTipGap)));
  }
  SendMessageW(g_codeTip, TTM_TRACKACTIVATE, focused && g_codeCut, reinterpret_cast<LPARAM>(&tool));
}

// The largest font at which the whole code fits, else the smallest: the
// field then scrolls through the code, and its tip shows it whole.
void FitCodeField(HWND bar) {
  HWND field = GetDlgItem(bar, kCodeField);
  if (!field || !g_codeFonts[0]) return;
  wchar_t code[kTextSize] = L"";
  GetWindowTextW(field, code, kTextSize);
  int step = 0;
  while (step < kCodeFontSteps && !CodeFits(field, code, g_codeFonts[step])) ++step;
  SendMessageW(field, WM_SETFONT, reinterpret_cast<WPARAM>(g_codeFonts[step]), TRUE);
  g_codeCut = !CodeFits(field, code, g_codeFonts[step]);
  if (!g_codeTip) return;
  // A tip without text does not show.
  for (const bool focusTool : {false, true}) {
    TOOLINFOW tool = CodeTool(field, focusTool, g_codeCut ? code : L"");
    SendMessageW(g_codeTip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  ShowWholeCode(GetFocus() == field);
}

// Keys that leave the code field for the answers: Enter and Tab go back to
// the answer box, F3 switches views as it does everywhere.
bool OnCodeFieldKey(UINT message, WPARAM key, LPARAM flags) {
  if (OnPlayerKey(message, key, flags)) return true;
  if (message == WM_KEYUP && (key == VK_RETURN || key == VK_TAB)) {
    ReturnFocusToAnswers();
    return true;
  }
  return false;
}

// The whole code selected, the caret at its start: a field too narrow for
// it shows how it begins.
void SelectWholeCode(HWND field) { SendMessageW(field, EM_SETSEL, GetWindowTextLengthW(field), 0); }

// A click that selects nothing, and a double click, take the whole code: a
// code is copied whole, and a word of it ("SUPER-" of SUPER-CHAMPION) is not
// a code.
LRESULT OnCodeFieldClick(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = CallWindowProcW(g_codeFieldProc, field, message, wParam, lParam);
  DWORD start = 0, end = 0;
  SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  if (message == WM_LBUTTONDBLCLK || start == end) SelectWholeCode(field);
  return result;
}

LRESULT CALLBACK CodeFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
  const WNDPROC own = g_codeFieldProc;
  switch (message) {
    case WM_SETTEXT: {
      const LRESULT result = CallWindowProcW(own, field, message, wParam, lParam);
      FitCodeField(GetParent(field));
      return result;
    }
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
      return OnCodeFieldClick(field, message, wParam, lParam);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      ShowWholeCode(message == WM_SETFOCUS);
      break;
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
      if (OnCodeFieldKey(message, wParam, lParam)) return 0;
      break;
    case WM_CHAR:
      // Handled as keys above, not typed (the field would only beep).
      if (wParam == '\r' || wParam == '\t' || SelectAllOnCtrlA(field, wParam)) return 0;
      break;
    case WM_NCDESTROY:
      SetWindowLongPtrW(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
      break;
    default:
      break;
  }
  return CallWindowProcW(own, field, message, wParam, lParam);
}

void OnInitDialog(HWND bar) {
  const QuizDocument* quiz = g_document->quiz;
  for (const Row& row : kRows) {
    // A quiz without a link of its own has no link to show.
    if (row.place.id == kHomeLink && quiz->homeLink[0] == '\0') continue;
    HWND control = MakeControl(bar, row.place, TextOf(row.place.id, quiz));
    if (row.place.id == kHomeLink) MakeLinkFont(control);
    if (row.place.id == kByLabel) SetStaticCursor(control);
    SetControlFont(control, row.font);
  }
  g_headerBrush = CreateSolidBrush(kHeaderColour);
  MakeCodeFonts();
  HWND codeField = GetDlgItem(bar, kCodeField);
  MakeCodeTip(bar, codeField);
  g_codeFieldProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(codeField, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CodeFieldProc)));
  // The label before it is the score's: the field says what it holds itself.
  SetAccessibleName(codeField, kCodeFieldName);
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
  Place(bar, kHomeLink, w - Scaled(134), 0, Scaled(115), Scaled(18), true);
  Place(bar, kByLabel, w - Scaled(134), Scaled(25), Scaled(26), Scaled(18), true);
  Place(bar, kAuthorLabel, w - Scaled(107), Scaled(25), Scaled(105), Scaled(18), true);
  Place(bar, kSaveButton, w - Scaled(204), Scaled(25), Scaled(55), Scaled(18), true);
  Place(bar, kSwitchButton, w - Scaled(274), Scaled(25), Scaled(55), Scaled(18), true);
  // Where the title ends at this scale, whatever the rounding of each figure.
  Place(bar, kExplanationLabel, Scaled(110), Scaled(kTitleTop) + Scaled(kTitleHeight), w - Scaled(384),
        Scaled(kExplanationHeight), true);
  Place(bar, kRightRule, w - Scaled(145), 0, Scaled(1), Scaled(50), true);
}

void OnCommand(WPARAM wParam) {
  switch (wParam) {
    case kSwitchButton:
      SendMessageW(g_document->mainWindow, WM_SYSKEYDOWN, VK_F3, 0);
      break;
    case kHomeLink:
      if (g_document->quiz->homeLink[0] != '\0')
        ShellExecuteW(nullptr, L"open", WideFromCp1252(g_document->quiz->homeLink).c_str(), nullptr, nullptr,
                      SW_SHOWNORMAL);
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
  if (g_document->highContrast) {
    SetTextColor(dc, GetSysColor(id == kHomeLink ? COLOR_HOTLIGHT : COLOR_WINDOWTEXT));
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
  }
  if (id == kHomeLink) SetTextColor(dc, kLinkColour);
  return reinterpret_cast<INT_PTR>(g_headerBrush);
}

INT_PTR HeaderBrush() {
  return reinterpret_cast<INT_PTR>(g_document->highContrast ? GetSysColorBrush(COLOR_WINDOW) : g_headerBrush);
}

void OnFinalDestroy() {
  if (g_headerBrush) DeleteObject(g_headerBrush);
  if (g_linkFont) DeleteObject(g_linkFont);
  if (g_codeTip) DestroyWindow(g_codeTip);
  DeleteCodeFonts();
  g_headerBrush = nullptr;
  g_linkFont = nullptr;
  g_codeTip = nullptr;
  g_codeCut = false;
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
      return HeaderBrush();
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

void FocusRewardCode() {
  HWND field = g_document && g_document->headerBar ? GetDlgItem(g_document->headerBar, kCodeField) : nullptr;
  if (!field) return;
  SetFocus(field);
  SelectWholeCode(field);
}

HWND CreateHeaderBar(HINSTANCE instance, HWND mainWindow) {
  return CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_HEADER_BAR), mainWindow, HeaderBarProc, 0);
}

void RescaleHeaderBar(HWND bar) {
  if (!bar) return;
  for (const Row& row : kRows) {
    const ControlPlace& place = row.place;
    SetWindowPos(GetDlgItem(bar, place.id), nullptr, Scaled(place.x), Scaled(place.y), Scaled(place.width),
                 Scaled(place.height), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  HWND link = GetDlgItem(bar, kHomeLink);
  HFONT oldLink = g_linkFont;
  MakeLinkFont(link);
  SendMessageW(link, WM_SETFONT, reinterpret_cast<WPARAM>(g_linkFont), TRUE);
  if (oldLink) DeleteObject(oldLink);
  HFONT oldCodeFonts[kCodeFontSteps + 1];
  std::copy(std::begin(g_codeFonts), std::end(g_codeFonts), oldCodeFonts);
  MakeCodeFonts();
  FitCodeField(bar);
  for (int step = 1; step <= kCodeFontSteps; ++step)
    if (oldCodeFonts[step]) DeleteObject(oldCodeFonts[step]);
  RECT client;
  GetClientRect(bar, &client);
  OnSize(bar, client.right);
}

}  // namespace vidod
