#include "atelier/pages.h"

#include <algorithm>

#include "atelier/atelier_window.h"
#include "atelier/controls.h"

namespace vidod {

namespace {

constexpr wchar_t kPageClass[] = L"VidodAtelierPage";
constexpr wchar_t kScrollProperty[] = L"VidodAtelierPageScroll";
constexpr int kHandlersSlot = 0;
constexpr int kRecordSlot = sizeof(LONG_PTR);
// Measures at 96 dots per inch.
constexpr int kMargin = 10;
constexpr int kGap = 7;
constexpr int kBoxBorder = 8;
constexpr int kLabelWidth = 200;
constexpr int kMarkWidth = 72;
constexpr int kTextOffset = 4;
constexpr int kLabelPadding = 12;
constexpr int kWheelLines = 3;
constexpr int kMostRelayouts = 3;  // the scroll bar coming or going narrows the page once
struct PageCreation {
  const PageHandlers* handlers;
  void* record;
};

const PageHandlers* HandlersOf(HWND page) {
  return reinterpret_cast<const PageHandlers*>(GetWindowLongPtrW(page, kHandlersSlot));
}

void KeepCreation(HWND page, LPARAM lParam) {
  const auto* creation = static_cast<const PageCreation*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
  SetWindowLongPtrW(page, kHandlersSlot, reinterpret_cast<LONG_PTR>(creation->handlers));
  SetWindowLongPtrW(page, kRecordSlot, reinterpret_cast<LONG_PTR>(creation->record));
}

// Marks in their colour and other texts on the window colour; read-only and
// disabled boxes keep the system's grey, which says so.
LRESULT OnStaticColour(HWND page, const PageHandlers* handlers, HWND control, HDC dc) {
  HBRUSH own = handlers->staticBrush ? handlers->staticBrush(page, control) : nullptr;
  if (own) return reinterpret_cast<LRESULT>(own);
  wchar_t className[16] = L"";
  GetClassNameW(control, className, 16);
  if (lstrcmpiW(className, WC_EDITW) == 0)
    return DefWindowProcW(page, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
  ColourMark(control, dc);
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
}

// Lays the page out, then sets its scroll bar for what it holds; the bar
// coming or going changes the width, which lays it out again.
void LayOutScrolled(HWND page, const PageHandlers* handlers, int width, int height) {
  static int depth = 0;
  if (depth >= kMostRelayouts) return;
  ++depth;
  const int content = handlers->layOut(page, width, height);
  SCROLLINFO info = {};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = 0;
  info.nMax = std::max(0, content - 1);
  info.nPage = static_cast<UINT>(std::max(0, height));
  info.nPos = PageScroll(page);
  SetScrollInfo(page, SB_VERT, &info, TRUE);
  GetScrollInfo(page, SB_VERT, &info);
  const int position = content > height ? info.nPos : 0;
  if (position != PageScroll(page)) {
    SetPropW(page, kScrollProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(position)));
    handlers->layOut(page, width, height);
    InvalidateRect(page, nullptr, TRUE);
  }
  --depth;
}

void ScrollPageTo(HWND page, int position) {
  SCROLLINFO info = {};
  info.cbSize = sizeof info;
  info.fMask = SIF_POS;
  info.nPos = position;
  SetScrollInfo(page, SB_VERT, &info, TRUE);
  GetScrollInfo(page, SB_VERT, &info);
  if (info.nPos == PageScroll(page)) return;
  SetPropW(page, kScrollProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(info.nPos)));
  RelayOutPage(page);
  InvalidateRect(page, nullptr, TRUE);
}

void OnScroll(HWND page, int request) {
  Atelier* atelier = AtelierOf(page);
  const int line = atelier ? MeasurePage(atelier, page).row : 20;
  SCROLLINFO info = {};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  GetScrollInfo(page, SB_VERT, &info);
  int position = info.nPos;
  switch (request) {
    case SB_LINEUP:
      position -= line;
      break;
    case SB_LINEDOWN:
      position += line;
      break;
    case SB_PAGEUP:
      position -= static_cast<int>(info.nPage);
      break;
    case SB_PAGEDOWN:
      position += static_cast<int>(info.nPage);
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      position = info.nTrackPos;
      break;
    case SB_TOP:
      position = 0;
      break;
    case SB_BOTTOM:
      position = info.nMax;
      break;
    default:
      return;
  }
  ScrollPageTo(page, position);
}

void OnWheel(HWND page, int delta) {
  Atelier* atelier = AtelierOf(page);
  const int line = atelier ? MeasurePage(atelier, page).row : 20;
  ScrollPageTo(page, PageScroll(page) - delta * kWheelLines * line / WHEEL_DELTA);
}

// A box that takes the focus out of sight brings the page along.
void ShowFocused(HWND page, HWND control) {
  if (!control || (PageScroll(page) == 0 && !(GetWindowLongPtrW(page, GWL_STYLE) & WS_VSCROLL))) return;
  RECT box, area;
  GetWindowRect(control, &box);
  MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&box), 2);
  GetClientRect(page, &area);
  if (box.top < 0)
    ScrollPageTo(page, PageScroll(page) + box.top);
  else if (box.bottom > area.bottom)
    ScrollPageTo(page, PageScroll(page) + std::min(box.bottom - area.bottom, static_cast<LONG>(box.top)));
}

LRESULT CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) KeepCreation(page, lParam);
  const PageHandlers* handlers = HandlersOf(page);
  if (!handlers) return DefWindowProcW(page, message, wParam, lParam);
  switch (message) {
    case WM_CREATE:
      handlers->create(page);
      return 0;
    case WM_SIZE:
      LayOutScrolled(page, handlers, LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_VSCROLL:
      OnScroll(page, LOWORD(wParam));
      return 0;
    case WM_MOUSEWHEEL:
      OnWheel(page, GET_WHEEL_DELTA_WPARAM(wParam));
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == EN_SETFOCUS || HIWORD(wParam) == CBN_SETFOCUS || HIWORD(wParam) == BN_SETFOCUS)
        ShowFocused(page, reinterpret_cast<HWND>(lParam));
      if (handlers->command) handlers->command(page, LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_NOTIFY:
      if (reinterpret_cast<NMHDR*>(lParam)->code == NM_SETFOCUS)
        ShowFocused(page, reinterpret_cast<NMHDR*>(lParam)->hwndFrom);
      return handlers->notify ? handlers->notify(page, reinterpret_cast<NMHDR*>(lParam)) : 0;
    case WM_DRAWITEM:
      if (handlers->drawItem) handlers->drawItem(page, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_CTLCOLORSTATIC:
      return OnStaticColour(page, handlers, reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam));
    case WM_DESTROY:
      if (handlers->destroy) handlers->destroy(page);
      SetWindowLongPtrW(page, kRecordSlot, 0);
      RemovePropW(page, kScrollProperty);
      return 0;
    default:
      return DefWindowProcW(page, message, wParam, lParam);
  }
}

}  // namespace

HWND CreatePage(HWND parent, const PageHandlers* handlers, void* record) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
  WNDCLASSEXW pageClass = {};
  if (!GetClassInfoExW(instance, kPageClass, &pageClass)) {
    pageClass.cbSize = sizeof pageClass;
    pageClass.lpfnWndProc = PageProc;
    pageClass.cbWndExtra = 2 * sizeof(LONG_PTR);
    pageClass.hInstance = instance;
    pageClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    pageClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    pageClass.lpszClassName = kPageClass;
    RegisterClassExW(&pageClass);
  }
  PageCreation creation = {handlers, record};
  return CreateWindowExW(WS_EX_CONTROLPARENT, kPageClass, L"", WS_CHILD | WS_CLIPCHILDREN, 0, 0, 0, 0, parent, nullptr,
                         instance, &creation);
}

void* PageRecord(HWND page) { return reinterpret_cast<void*>(GetWindowLongPtrW(page, kRecordSlot)); }

PageMetrics MeasurePage(const Atelier* atelier, HWND page) {
  PageMetrics metrics;
  metrics.margin = Dip(atelier, kMargin);
  metrics.gap = Dip(atelier, kGap);
  metrics.line = LineHeight(page, atelier->font);
  metrics.row = metrics.line + Dip(atelier, kBoxBorder);
  metrics.label = Dip(atelier, kLabelWidth);
  metrics.mark = Dip(atelier, kMarkWidth);
  metrics.textOffset = Dip(atelier, kTextOffset);
  return metrics;
}

void AddFieldRow(HWND page, const FieldRow& row) {
  AddLabel(page, row.labelId, row.label);
  AddEdit(page, row.editId);
  AddMark(page, row.markId);
}

int PlaceFieldRow(HWND page, const PageMetrics& metrics, int y, int width, int labelId, int boxId, int markId,
                  int boxHeight) {
  const int boxLeft = metrics.margin + metrics.label;
  const int boxWidth = width - metrics.margin - metrics.mark - metrics.gap - boxLeft;
  Place(page, labelId, metrics.margin, y + metrics.textOffset, metrics.label, metrics.line);
  Place(page, boxId, boxLeft, y, boxWidth, boxHeight ? boxHeight : metrics.row);
  if (markId)
    Place(page, markId, width - metrics.margin - metrics.mark, y + metrics.textOffset, metrics.mark, metrics.line);
  return y + metrics.row + metrics.gap;
}

int PlaceLabelledBox(HWND page, const PageMetrics& metrics, int y, int width, int labelId, int boxId, int boxHeight) {
  const int inner = width - 2 * metrics.margin;
  Place(page, labelId, metrics.margin, y, inner, metrics.line);
  y += metrics.line + metrics.gap / 2;
  Place(page, boxId, metrics.margin, y, inner, boxHeight);
  return y + boxHeight + metrics.gap;
}

void RelayOutPage(HWND page) {
  RECT area;
  GetClientRect(page, &area);
  SendMessageW(page, WM_SIZE, SIZE_RESTORED, MAKELPARAM(area.right, area.bottom));
}

int PageScroll(HWND page) { return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(page, kScrollProperty))); }

int WrappedTextHeight(HWND control, int width) {
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  const std::wstring text = WindowTextOf(control);
  RECT needed = {0, 0, width, 0};
  DrawTextW(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return needed.bottom;
}

int WidestLabel(HWND page, const int* labelIds, std::size_t count) {
  HDC dc = GetDC(page);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(page, WM_GETFONT, 0, 0)));
  int widest = 0;
  for (std::size_t i = 0; i < count; ++i) {
    HWND label = GetDlgItem(page, labelIds[i]);
    if (!label) continue;
    HGDIOBJ labelFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    const std::wstring text = WindowTextOf(label);
    RECT needed = {0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_SINGLELINE);
    widest = std::max(widest, static_cast<int>(needed.right));
    SelectObject(dc, labelFont);
  }
  SelectObject(dc, old);
  ReleaseDC(page, dc);
  const Atelier* atelier = AtelierOf(page);
  return widest + (atelier ? Dip(atelier, kLabelPadding) : kLabelPadding);
}

}  // namespace vidod
