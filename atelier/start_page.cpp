// What the Atelier shows while no quiz is open: the two ways to start and
// the recent quizzes.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "atelier/atelier_ids.h"
#include "atelier/atelier_window.h"
#include "atelier/controls.h"
#include "atelier/pages.h"

namespace vidod {

namespace {

// Sizes at 96 dots per inch.
constexpr int kMargin = 24;
constexpr int kGap = 12;
constexpr int kButtonWidth = 380;
constexpr int kButtonHeight = 34;
constexpr int kTextLines = 4;

void CreateControls(HWND page) {
  AddControl(page, IDC_START_TEXT, WC_STATICW,
             L"Bienvenue dans Vidod Atelier. Un quiz na\u00eet d'un dossier d'images : une question par image, "
             L"dans l'ordre des noms. Vous pouvez aussi ouvrir une source quiz.toml ou un quiz d\u00e9j\u00e0 "
             L"construit (.exe), ou d\u00e9poser un dossier, des images ou un quiz sur cette fen\u00eatre.",
             SS_LEFT | SS_NOPREFIX);
  AddButton(page, IDC_START_NEW, L"&Nouveau quiz \u00e0 partir d'un dossier d'images\u2026");
  AddButton(page, IDC_START_OPEN, L"&Ouvrir un quiz\u2026");
  AddLabel(page, IDC_START_RECENT_LABEL, L"Quiz &r\u00e9cents :");
  AddControl(page, IDC_START_RECENT, WC_LISTBOXW, L"",
             WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS, WS_EX_CLIENTEDGE);
}

int LayOut(HWND page, int width, int height) {
  Atelier* atelier = AtelierOf(page);
  if (!atelier) return 0;
  const int margin = Dip(atelier, kMargin);
  const int gap = Dip(atelier, kGap);
  const int line = MeasurePage(atelier, page).line;
  const int inner = width - 2 * margin;
  const int buttonWidth = std::min(inner, Dip(atelier, kButtonWidth));
  const int buttonHeight = Dip(atelier, kButtonHeight);
  int y = margin;
  Place(page, IDC_START_TEXT, margin, y, inner, kTextLines * line);
  y += kTextLines * line + gap;
  Place(page, IDC_START_NEW, margin, y, buttonWidth, buttonHeight);
  y += buttonHeight + gap;
  Place(page, IDC_START_OPEN, margin, y, buttonWidth, buttonHeight);
  y += buttonHeight + 2 * gap;
  Place(page, IDC_START_RECENT_LABEL, margin, y, inner, line);
  y += line + gap / 2;
  const int listHeight = std::max(4 * line, height - margin - y);
  Place(page, IDC_START_RECENT, margin, y, inner, listHeight);
  return y + listHeight + margin;
}

void OpenChosenRecent(HWND page) {
  Atelier* atelier = AtelierOf(page);
  const LRESULT chosen = SendDlgItemMessageW(page, IDC_START_RECENT, LB_GETCURSEL, 0, 0);
  if (atelier && chosen >= 0 && chosen < static_cast<LRESULT>(atelier->recent.size()))
    SendMessageW(atelier->window, WM_COMMAND, IDM_RECENT_FIRST + chosen, 0);
}

void OnCommand(HWND page, int id, int code) {
  Atelier* atelier = AtelierOf(page);
  if (!atelier) return;
  if (id == IDC_START_NEW || id == IDC_START_OPEN)
    SendMessageW(atelier->window, WM_COMMAND, id, 0);
  else if (id == IDC_START_RECENT && code == LBN_DBLCLK)
    OpenChosenRecent(page);
}

const PageHandlers kHandlers = {CreateControls, LayOut, OnCommand, nullptr, nullptr, nullptr, nullptr};

}  // namespace

HWND CreateStartPage(Atelier* atelier) { return CreatePage(atelier->window, &kHandlers, nullptr); }

void FillStartPage(Atelier* atelier) {
  HWND list = GetDlgItem(atelier->start, IDC_START_RECENT);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const RecentQuiz& recent : atelier->recent)
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(RecentQuizText(recent).c_str()));
}

}  // namespace vidod
