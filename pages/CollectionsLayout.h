// Lays out labelled controls (a label and the control it names) in rows that fit a width, so that
// the collections page keeps every filter and total whole and inside the page however narrow it is.
#pragma once
#include <windows.h>

struct LabelledControl
{
    UINT label;   // a static text, or 0 for a control that carries its own caption (a check box)
    UINT control;
};

// Places the groups whose control is visible left to right, a group never split over two rows,
// in rows starting at (left, top) no wider than width (a group wider than that gets a row alone).
// Each label is sized to its text in the parent's font and centred on its control's height; a
// check box or push button is sized to its caption. Returns the bottom of the last row (top when none).
int FlowLabelledControls(HWND parent, const LabelledControl* groups, size_t count, int left, int top, int width);
// The bottom the groups would reach flowed from top at that width, without moving them.
int LabelledRowsBottom(HWND parent, const LabelledControl* groups, size_t count, int top, int width);
// The width of the widest group whose control is visible: below it a group would be cut.
int WidestLabelledControl(HWND parent, const LabelledControl* groups, size_t count);
