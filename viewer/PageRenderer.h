// Draws a form page on a device context: the page's own drawing (lines, boxes and labels of its
// content stream) and the filled-in values of its fields, at a scale and offset in device units.
#pragma once
#include "viewer/FormScript.h"
#include <windows.h>

namespace viewer {

struct PagePlacement
{
    double scale = 1;     // device units per point
    double left = 0;      // device position of the page's left edge
    double top = 0;       // ... and of its top edge
    double pageHeight = 792;
};

// Lines, rectangles, fills and text of a page content stream (colours turned to grey when
// blackWhite). Operators it does not know are skipped.
void DrawPageContent(HDC dc, const std::string& content, const PagePlacement& place, bool blackWhite);

// The values of the fields whose widgets lie on the page: text at the left of its box, check boxes
// and radio buttons that are on as "X".
void DrawFieldValues(HDC dc, const FormScript& script, int page, const PagePlacement& place);

} // namespace viewer
