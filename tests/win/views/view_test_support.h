// Helpers shared by the view tests: reading controls back in their parent's
// client coordinates and delivering keys the way the player's loop does.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vidod::testing {

struct Place {
  int x, y, width, height;
};

// The child's outer rectangle in its parent's client coordinates.
Place PlaceOf(HWND child);
Place PlaceOf(HWND parent, int id);
// Every child of parent with the given id, in creation order.
std::vector<HWND> ChildrenWithId(HWND parent, int id);
// The class name in lower case (the platform spells its classes variously).
std::string ClassOf(HWND window);
LONG_PTR StyleOf(HWND window);

// Posts the key's press and release to target and handles them as the
// player's message loop would.
void PressKey(HWND target, WPARAM key);
// The key pressed with Alt held: the system-key message.
void PressAltKey(HWND target, WPARAM key);
// Shift held or released as the keyboard state that the thread reads.
void HoldShift(bool held);

void SetText(HWND parent, int id, const std::string& text);
// Clicks a push button (press and release, focus included).
void Click(HWND parent, int id);
// The colour at (x, y) of the window's client area once it has painted
// itself into a bitmap, as it would on the screen (children left out).
COLORREF PaintedColourAt(HWND window, int x, int y);
// The colour in the middle of the control's left edge.
COLORREF PaintedEdgeColour(HWND control);
COLORREF BrushColour(HBRUSH brush);

SCROLLINFO ScrollInfo(HWND window, int bar);

}  // namespace vidod::testing
