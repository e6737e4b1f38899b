#include "player_driver.h"

#include <windows.h>


#include "app/player_shell.h"
#include "player_fixture.h"
#include "quiz/player_document.h"
#include "views/views.h"

namespace vidod::testing {

namespace {

constexpr int kNextId = 9905;
constexpr int kPreviousId = 9906;
constexpr int kSwitchButtonId = 23;
constexpr int kListLabelOffset = 1000;
constexpr char kRight[] = "BRAVO";
constexpr LPARAM kKeyReleased = static_cast<LPARAM>(0xC0000001);
constexpr int kTextRoom = 1024;  // more than any box is given

std::string WindowText(HWND window) {
  char text[kTextRoom] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

HWND ListBox(int box) { return GetDlgItem(g_shell.listView, kFirstListBoxId + box); }

void Command(HWND window, int id, int notification) {
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, notification),
               reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
  PumpMessages();
}

void HoldShift(bool held) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = keys[VK_LSHIFT] = held ? 0x80 : 0;
  SetKeyboardState(keys);
}

// The key's release reaches the focused window through the player's loop.
void ReleaseKey(WPARAM key, bool shift) {
  HWND focus = GetFocus();
  if (!focus) focus = g_shell.mainWindow;
  if (shift) HoldShift(true);
  PostMessageA(focus, WM_KEYUP, key, kKeyReleased);
  PumpMessages();
  if (shift) HoldShift(false);
}

void Type(const ModelAction& action) {
  HWND box = action.box < 0 ? GetDlgItem(g_shell.singleView, kAnswerBoxId) : ListBox(action.box);
  SetFocus(box);
  SetWindowTextA(box, action.text.c_str());
  PumpMessages();
}

ModelFocus FocusOf(HWND focus, int boxCount) {
  if (focus && focus == GetDlgItem(g_shell.singleView, kAnswerBoxId)) return {ModelFocus::kSingleBox, 0};
  for (int i = 0; i < boxCount; ++i)
    if (focus && focus == ListBox(i)) return {ModelFocus::kListBox, i};
  // Anything else (the main window, as after every start and switch) is
  // reported as the main window; a box the model does not expect fails.
  return {ModelFocus::kMainWindow, 0};
}

}  // namespace

void PerformAction(const ModelAction& action) {
  switch (action.kind) {
    case ActionKind::kType:
      Type(action);
      break;
    case ActionKind::kEnter:
      ReleaseKey(VK_RETURN, false);
      break;
    case ActionKind::kTab:
      ReleaseKey(VK_TAB, false);
      break;
    case ActionKind::kShiftTab:
      ReleaseKey(VK_TAB, true);
      break;
    case ActionKind::kF1:
      ReleaseKey(VK_F1, false);
      break;
    case ActionKind::kF2:
      ReleaseKey(VK_F2, false);
      break;
    case ActionKind::kF3:
      ReleaseKey(VK_F3, false);
      break;
    case ActionKind::kNext:
      Command(g_shell.singleView, kNextId, BN_CLICKED);
      break;
    case ActionKind::kPrevious:
      Command(g_shell.singleView, kPreviousId, BN_CLICKED);
      break;
    case ActionKind::kChoose:
      SendDlgItemMessageA(g_shell.singleView, kQuestionChooserId, CB_SETCURSEL, action.question, 0);
      Command(g_shell.singleView, kQuestionChooserId, CBN_SELCHANGE);
      break;
    case ActionKind::kSwitchButton:
      Command(g_shell.headerBar, kSwitchButtonId, BN_CLICKED);
      break;
    case ActionKind::kCloseAndRestart:
      break;
  }
}

PlayerModel ObservePlayer(const ModelQuiz& quiz) {
  PlayerModel seen;
  seen.quiz = quiz;
  const int count = SlotCount(quiz);
  for (int i = 0; i < count; ++i) {
    seen.slots.push_back(g_document->quiz->answerSlots[i]);
    seen.listBoxes.push_back(WindowText(ListBox(i)));
    const std::string label =
        WindowText(GetDlgItem(g_shell.listView, kFirstListBoxId + kListLabelOffset + i));
    seen.listRight.push_back(label == kRight);
  }
  seen.singleBox = WindowText(GetDlgItem(g_shell.singleView, kAnswerBoxId));
  seen.current = static_cast<int>(
      SendDlgItemMessageA(g_shell.singleView, kQuestionChooserId, CB_GETCURSEL, 0, 0));
  seen.view = g_shell.singleViewCurrent ? ModelView::kSingle : ModelView::kList;
  seen.focus = FocusOf(GetFocus(), count);
  return seen;
}

}  // namespace vidod::testing
