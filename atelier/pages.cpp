#include "atelier/pages.h"

#include "atelier/atelier_window.h"
#include "atelier/controls.h"

namespace vidod {

namespace {

constexpr wchar_t kPageClass[] = L"VidodAtelierPage";
constexpr int kHandlersSlot = 0;
constexpr int kRecordSlot = sizeof(LONG_PTR);
// Measures at 96 dots per inch.
constexpr int kMargin = 10;
constexpr int kGap = 7;
constexpr int kBoxBorder = 8;
constexpr int kLabelWidth = 200;
constexpr int kMarkWidth = 72;
constexpr int kTextOffset = 4;

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

LRESULT CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) KeepCreation(page, lParam);
  const PageHandlers* handlers = HandlersOf(page);
  if (!handlers) return DefWindowProcW(page, message, wParam, lParam);
  switch (message) {
    case WM_CREATE:
      handlers->create(page);
      return 0;
    case WM_SIZE:
      handlers->layOut(page, LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_COMMAND:
      if (handlers->command) handlers->command(page, LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_NOTIFY:
      return handlers->notify ? handlers->notify(page, reinterpret_cast<NMHDR*>(lParam)) : 0;
    case WM_DRAWITEM:
      if (handlers->drawItem) handlers->drawItem(page, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_CTLCOLORSTATIC:
      return OnStaticColour(page, handlers, reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam));
    case WM_DESTROY:
      if (handlers->destroy) handlers->destroy(page);
      SetWindowLongPtrW(page, kRecordSlot, 0);
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

}  // namespace vidod
