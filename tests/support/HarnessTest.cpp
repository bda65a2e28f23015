// Checks the ground every other suite stands on: the pinned ANSI code page, a display on which
// real windows are created and painted, and the temporary-folder helper.
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/support/TempFolder.h"

TEST(Harness, AnsiCodePageIsWesternEuropean)
{
    EXPECT_EQ(1252u, GetACP());
}

TEST(Harness, TopLevelWindowIsCreatedShownAndDestroyed)
{
    HWND wnd = CreateWindowExW(0, L"STATIC", L"harness", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, wnd);
    ShowWindow(wnd, SW_SHOW);
    UpdateWindow(wnd);
    EXPECT_TRUE(IsWindowVisible(wnd));
    wchar_t text[32] = {};
    GetWindowTextW(wnd, text, 32);
    EXPECT_STREQ(L"harness", text);
    EXPECT_TRUE(DestroyWindow(wnd));
    EXPECT_FALSE(IsWindow(wnd));
}

TEST(Harness, TempFolderHoldsFilesAndIsRemoved)
{
    std::wstring path;
    {
        TempFolder folder;
        path = folder.Path();
        ASSERT_TRUE(WriteWholeFile(folder.File(L"a.bin"), std::string("x\0y", 3)));
        EXPECT_EQ(std::string("x\0y", 3), ReadWholeFile(folder.File(L"a.bin")));
    }
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(path.c_str()));
}
