#include "message_box_catcher.h"

namespace vidod::testing {

namespace {

constexpr int kMessageTextId = 0xFFFF;  // the static control holding a box's text
constexpr char kDialogClass[] = "#32770";
MessageBoxCatcher* g_active = nullptr;

std::string WindowText(HWND window) {
  char text[1024] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

}  // namespace

MessageBoxCatcher::MessageBoxCatcher(int answer) : answer_(answer) {
  g_active = this;
  hook_ = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
}

MessageBoxCatcher::~MessageBoxCatcher() {
  UnhookWindowsHookEx(hook_);
  g_active = nullptr;
}

LRESULT CALLBACK MessageBoxCatcher::Hook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE && g_active) {
    HWND box = reinterpret_cast<HWND>(wParam);
    char className[32] = "";
    GetClassNameA(box, className, sizeof className);
    if (lstrcmpA(className, kDialogClass) == 0 && GetDlgItem(box, kMessageTextId)) {
      CaughtMessageBox caught;
      caught.caption = WindowText(box);
      caught.text = WindowText(GetDlgItem(box, kMessageTextId));
      wchar_t wide[1024] = L"";
      GetWindowTextW(GetDlgItem(box, kMessageTextId), wide, 1024);
      caught.wideText = wide;
      caught.owner = GetWindow(box, GW_OWNER);
      GetWindowRect(box, &caught.rect);
      g_active->boxes_.push_back(caught);
      int answer = g_active->answer_;
      if (!g_active->turns_.empty()) {
        answer = g_active->turns_.front();
        g_active->turns_.erase(g_active->turns_.begin());
      }
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace vidod::testing
