// A grid on a shown 900 x 500 top-level window, as the records page's tests hold it: made in the
// fixture's SetUp, destroyed in its TearDown.
#pragma once
#include "grid/GridCtrl.h"
#include <gtest/gtest.h>

struct GridWindow
{
    CWnd frame;
    CGridCtrl grid;

    void CreateGridWindow(const wchar_t* title)
    {
        ASSERT_TRUE(frame.CreateEx(0, nullptr, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 500, nullptr,
                                   nullptr));
        ASSERT_TRUE(grid.Create(CRect(0, 0, 880, 460), &frame, 778));
    }
    void DestroyGridWindow()
    {
        if (grid.GetSafeHwnd())
            grid.DestroyWindow();
        if (frame.GetSafeHwnd())
            frame.DestroyWindow();
    }
};
