// Draws a form page on a device context: the page's own drawing (lines, boxes and labels of its
// content stream) and the filled-in values of its fields, at a scale and offset in device units.
#pragma once
#include "viewer/FormScript.h"
#include <windows.h>

namespace viewer {

// Where a page goes on a device. A turned page (/Rotate) is first turned as shown: left is then the
// device position of x = 0 of the turned page, top that of its top edge, pageHeight the y of that edge.
struct PagePlacement
{
    double scale = 1;     // device units per point
    double left = 0;      // device position of the page's left edge
    double top = 0;       // ... and of its top edge
    double pageHeight = 792;
    int rotation = 0;     // the page's turn as shown: 0, 90, 180 or 270 degrees clockwise

    // The device position of a point of the page's user space.
    POINT ToDevice(double x, double y) const;
    // ... and of a rectangle (x1 y1 x2 y2), as left < right, top < bottom.
    RECT ToDevice(const double rect[4]) const;
};

// The installed face to draw a named font with: itself, or its metric twin where it is missing.
std::wstring NearestInstalledFace(const std::wstring& face);
// The placement of a page shown at that scale with its top left corner at that device position.
PagePlacement PlacePage(const pdf::PageInfo& page, double scale, double left, double top);
// The turn of a page as shown, as a matrix from its user space: 90 degrees maps (x, y) to (y, -x).
void TurnMatrix(int rotation, double matrix[6]);

// Lines, rectangles, fills and text of a page content stream (colours turned to grey when
// blackWhite). Operators it does not know are skipped.
void DrawPageContent(HDC dc, const std::string& content, const PagePlacement& place, bool blackWhite);
// ... with the page's fonts: text in a font the page names is drawn in its nearest system font.
void DrawPageContent(HDC dc, const std::string& content, const pdf::PageFonts& fonts, const PagePlacement& place,
                     bool blackWhite);
// The drawing of that page of the form, in its own fonts.
void DrawFormPage(HDC dc, const pdf::FormDocument& form, size_t page, const PagePlacement& place, bool blackWhite);

// The values of the fields whose printed widgets lie on the page: text at the left of its box, check
// boxes and radio buttons that are on as "X", upright as the page is shown. Each value stays inside
// its box: a text wider than the box keeps the whole characters that fit (the cut is traced).
void DrawFieldValues(HDC dc, const FormScript& script, int page, const PagePlacement& place);

// The tint of a field that has no background or border of its own, so that it can be seen on screen.
const COLORREF kFieldHighlight = RGB(214, 224, 255);

COLORREF ToColorRef(const pdf::WidgetColour& colour);
// The colour a widget's area is filled with: its background; else, on screen (highlight) and when
// it has no visible border either, the field highlight. False: the area stays as the page draws it.
bool WidgetFill(const pdf::Widget& widget, bool highlight, COLORREF& colour);
// The widget's border width in device units at that scale; 0 when it has no border.
int BorderPixels(const pdf::Widget& widget, double scale);
// Fills the widget's device rectangle and draws its border inside it (black or white only when
// blackWhite).
void DrawWidgetFrame(HDC dc, const pdf::Widget& widget, const RECT& device, double scale, bool highlight, bool blackWhite);
// The frames of every printed widget on the page (no highlight).
void DrawWidgetFrames(HDC dc, const FormScript& script, int page, const PagePlacement& place, bool blackWhite);

} // namespace viewer
