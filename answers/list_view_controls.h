// The list view's answer boxes, verdict labels and reveal labels by their
// numbers, without a search. Finding a control by number searches every
// control of its window, and the list view has up to five per question; its
// judgements and the switch reach these controls many times over.
#pragma once

#include <windows.h>

namespace vidod {

// Remembers control (an answer box, verdict label or reveal label of the
// player's list view, by its number). A view that is set up again starts
// afresh.
void RememberListControl(HWND listView, int id, HWND control);
// Drops what was remembered of the view (it is being destroyed).
void ForgetListControls(HWND listView);
// The control, by what was remembered of the player's list view (none when
// nothing was), by the platform's search in any other window.
HWND ListControl(HWND listView, int id);

}  // namespace vidod
