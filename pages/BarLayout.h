// Lays out the controls of a small bar (a child dialog of buttons and pictures) in rows, so that a
// bar narrower than its controls wraps instead of hiding them under its neighbours.
#pragma once
#include <windows.h>

// Places the bar's visible controls left to right in tab order, each row no wider than maxWidth
// (a control wider than that gets a row of its own), each control centred in its row's height.
// The bar is resized to hold them; answers its new size.
SIZE FlowBarControls(HWND bar, int maxWidth);
// The size FlowBarControls would give the bar, moving nothing.
SIZE MeasureBarFlow(HWND bar, int maxWidth);

// The width of the bar's widest visible control.
int WidestBarControl(HWND bar);
