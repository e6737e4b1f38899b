#include "answers/list_view_controls.h"

#include "answers/evaluation.h"
#include "quiz/player_document.h"
#include "views/views.h"

namespace vidod {

namespace {

// Boxes 4001 and up, their labels 1000 further, reveal labels 8001 and up:
// one answer slot's worth of each.
constexpr int kRangeSize = kAnswerSlotCount;
constexpr int kFirstIds[] = {kFirstListBoxId, kFirstListBoxId + kListLabelOffset,
                             kListRevealLabelBase + 1};
constexpr int kRanges = sizeof kFirstIds / sizeof kFirstIds[0];

struct ListControls {
  HWND listView;
  HWND controls[kRanges][kRangeSize];
};

ListControls g_controls = {};

HWND* Slot(int id) {
  for (int range = 0; range < kRanges; ++range) {
    const int index = id - kFirstIds[range];
    if (index >= 0 && index < kRangeSize) return &g_controls.controls[range][index];
  }
  return nullptr;
}

}  // namespace

void RememberListControl(HWND listView, int id, HWND control) {
  if (g_controls.listView != listView) g_controls = ListControls{listView, {}};
  if (HWND* slot = Slot(id)) *slot = control;
}

void ForgetListControls(HWND listView) {
  if (g_controls.listView == listView) g_controls = ListControls{};
}

HWND ListControl(HWND listView, int id) {
  if (listView && listView == g_controls.listView) {
    // Not remembered: the view has no such control (yet).
    if (HWND* slot = Slot(id)) return *slot;
  }
  return GetDlgItem(listView, id);
}

}  // namespace vidod
