// Real input, as the user gives it: the events go through the system's input queue to the window that has
// the keyboard focus or lies under the cursor, and the messages they make are handled here (the
// framework's translation first, as the program's loop does). The window's top-level window is brought
// to the front and the window given the focus first. Each answers whether the last message the events
// make (the key's or the button's release) was handled before a watchdog ran out.
#pragma once
#include <windows.h>
#include <vector>

bool PressKey(HWND window, UINT vk, bool withCtrl = false, bool withShift = false);
// Presses the left button at the first client point of the window, moves through the others and
// releases at the last.
bool MouseDragThrough(HWND window, const std::vector<POINT>& clientPoints);
// The left button pressed at a screen point, and released at one: the events only, for a drag loop that
// handles the messages itself.
bool PressLeftButton(POINT screen);
bool ReleaseLeftButtonAt(POINT screen);
