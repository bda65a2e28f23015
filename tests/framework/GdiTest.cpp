// Device contexts and GDI objects sampled by pixel on a memory DC, and the geometry types.
#include <gtest/gtest.h>
#include "framework/Framework.h"
#include "GeometryPrinters.h"

namespace
{
struct MemoryCanvas
{
    CDC dc;
    CBitmap bitmap;
    CBitmap* previous = nullptr;
    MemoryCanvas(int cx, int cy)
    {
        CClientDC screen(nullptr);
        dc.CreateCompatibleDC(&screen);
        bitmap.CreateCompatibleBitmap(&screen, cx, cy);
        previous = dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, cx, cy, RGB(255, 255, 255));
    }
    ~MemoryCanvas() { dc.SelectObject(previous); }
};
}

TEST(Gdi, FillAndFrameDrawExactlyTheirPixels)
{
    MemoryCanvas canvas(40, 40);
    canvas.dc.FillSolidRect(CRect(5, 5, 15, 15), RGB(192, 0, 0));
    EXPECT_EQ(RGB(192, 0, 0), canvas.dc.GetPixel(5, 5));
    EXPECT_EQ(RGB(192, 0, 0), canvas.dc.GetPixel(14, 14));
    EXPECT_EQ(RGB(255, 255, 255), canvas.dc.GetPixel(15, 15));
    canvas.dc.Draw3dRect(CRect(20, 20, 30, 30), RGB(0, 0, 255), RGB(0, 255, 0));
    EXPECT_EQ(RGB(0, 0, 255), canvas.dc.GetPixel(20, 20));
    EXPECT_EQ(RGB(0, 0, 255), canvas.dc.GetPixel(28, 20));
    EXPECT_EQ(RGB(0, 0, 255), canvas.dc.GetPixel(20, 28));
    EXPECT_EQ(RGB(0, 255, 0), canvas.dc.GetPixel(29, 20));
    EXPECT_EQ(RGB(0, 255, 0), canvas.dc.GetPixel(29, 29));
    EXPECT_EQ(RGB(0, 255, 0), canvas.dc.GetPixel(20, 29));
    EXPECT_EQ(RGB(255, 255, 255), canvas.dc.GetPixel(25, 25));   // the inside stays
    EXPECT_EQ(RGB(255, 255, 255), canvas.dc.GetPixel(30, 30));
}

TEST(Gdi, SelectObjectAnswersThePreviousObjectAndSaveRestoreUndoes)
{
    MemoryCanvas canvas(10, 10);
    CPen red(PS_SOLID, 1, RGB(255, 0, 0));
    CPen blue(PS_SOLID, 1, RGB(0, 0, 255));
    CPen* original = canvas.dc.SelectObject(&red);
    ASSERT_NE(nullptr, original);
    CPen* back = canvas.dc.SelectObject(&blue);
    EXPECT_EQ(red.m_hObject, back->m_hObject);
    int saved = canvas.dc.SaveDC();
    canvas.dc.SelectObject(&red);
    canvas.dc.SetTextColor(RGB(1, 2, 3));
    canvas.dc.RestoreDC(saved);
    EXPECT_EQ(blue.m_hObject, canvas.dc.GetCurrentPen()->m_hObject);
    EXPECT_NE(RGB(1, 2, 3), canvas.dc.GetTextColor());
    canvas.dc.MoveTo(0, 5);
    canvas.dc.LineTo(10, 5);
    EXPECT_EQ(RGB(0, 0, 255), canvas.dc.GetPixel(3, 5));
    canvas.dc.SelectObject(original);
}

TEST(Gdi, PointFontsHaveTheirSizeAndTextHasExtent)
{
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(200, L"Arial"));
    LOGFONT logFont = {};
    ASSERT_NE(0, font.GetLogFont(&logFont));
    CClientDC screen(nullptr);
    int expected = -::MulDiv(20, screen.GetDeviceCaps(LOGPIXELSY), 72);
    EXPECT_NEAR(expected, logFont.lfHeight, 1);
    EXPECT_EQ(CString(L"Arial"), CString(logFont.lfFaceName));
    MemoryCanvas canvas(10, 10);
    CFont* old = canvas.dc.SelectObject(&font);
    CSize one = canvas.dc.GetTextExtent(L"W", 1);
    CSize three = canvas.dc.GetTextExtent(CString(L"WWW"));
    EXPECT_GT(one.cx, 0);
    EXPECT_NEAR(3 * one.cx, three.cx, 2);
    canvas.dc.SelectObject(old);
}

TEST(Geometry, RectanglesPointsAndSizesCombine)
{
    CRect rect(10, 20, 110, 70);
    EXPECT_EQ(100, rect.Width());
    EXPECT_EQ(50, rect.Height());
    EXPECT_EQ(CPoint(60, 45), rect.CenterPoint());
    EXPECT_TRUE(rect.PtInRect(CPoint(10, 20)));
    EXPECT_FALSE(rect.PtInRect(CPoint(110, 70)));
    CRect moved = rect + CPoint(5, -5);
    EXPECT_EQ(CRect(15, 15, 115, 65), moved);
    EXPECT_EQ(CRect(15, 20, 110, 65), rect & moved);
    EXPECT_EQ(CRect(10, 15, 115, 70), rect | moved);
    rect.DeflateRect(1, 2, 3, 4);
    EXPECT_EQ(CRect(11, 22, 107, 66), rect);
    rect.MoveToXY(0, 0);
    EXPECT_EQ(CRect(0, 0, 96, 44), rect);
    CRect flipped(10, 10, 0, 0);
    flipped.NormalizeRect();
    EXPECT_EQ(CRect(0, 0, 10, 10), flipped);
    EXPECT_EQ(CSize(3, 4), CPoint(5, 7) - CPoint(2, 3));
    EXPECT_EQ(CPoint(-3, 4), CPoint((LPARAM)MAKELPARAM(-3, 4)));
}
