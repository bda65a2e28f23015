// Windows for the grid tests: an owner window that records what a grid sends it (notifications
// and commands), a grid created on it with known sizes, a message pump, and painting into a DIB.
#pragma once
#include <windows.h>
#include <vector>
#include "grid/GridCtrl.h"
#include "tests/support/Dib32.h"
#include "tests/support/RealInput.h"

struct RecordedNotify
{
    int code;
    int row;
    int col;
    LPARAM lParam;     // of an end-of-edit record
    CString text;      // of an end-of-edit record
};

class GridOwner
{
public:
    explicit GridOwner(bool visible = false);
    ~GridOwner();
    GridOwner(const GridOwner&) = delete;
    GridOwner& operator=(const GridOwner&) = delete;

    HWND Hwnd() const { return m_hwnd; }
    CWnd* Wnd() const { return CWnd::FromHandle(m_hwnd); }

    std::vector<RecordedNotify> notes;
    std::vector<std::pair<WPARAM, LPARAM>> commands;
    // Answers given to the edit notifications (negative refuses).
    LRESULT beginEditAnswer = 0;
    LRESULT endEditAnswer = 0;

    int Count(int code) const;
    const RecordedNotify* Last(int code) const;
    void Clear() { notes.clear(); commands.clear(); }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    HWND m_hwnd = nullptr;
};

// A grid of rows x cols on an owner, with one fixed row and one fixed column, every row 20 pixels
// high and every column 60 wide, the cell (r, c) holding "r,c".
class TestGrid
{
public:
    TestGrid(int rows, int cols, int fixedRows = 1, int fixedCols = 1, bool visible = false,
             int width = 400, int height = 300);
    ~TestGrid();

    GridOwner owner;
    CGridCtrl grid;
    static const UINT ID = 1234;

    // Client point at the centre of a cell (which must be visible).
    CPoint Centre(int row, int col);
    LRESULT Send(UINT msg, WPARAM wParam, LPARAM lParam) { return ::SendMessageW(grid.GetSafeHwnd(), msg, wParam, lParam); }
    void Click(CPoint point, UINT keys = 0);
    void Key(UINT vk) { Send(WM_KEYDOWN, vk, 0); }
};

// Dispatches every waiting message (the framework's translation first, as the program's loop does).
void PumpMessages();
// Holds or releases Shift/Ctrl for GetKeyState while keys are sent as messages.
void SetKeyHeld(int vk, bool held);

// The grid's client rectangle.
CRect GridClient(CGridCtrl& grid);

// Paints the grid's OnDraw into a 32-bit DIB the size of its client area and reads pixels back.
class GridPicture
{
public:
    explicit GridPicture(CGridCtrl& grid);
    COLORREF Pixel(int x, int y) const { return m_dib.Pixel(x, y); }
    int Width() const { return m_dib.Width(); }
    int Height() const { return m_dib.Height(); }
    // How many pixels of the rectangle have the colour.
    int CountColour(const RECT& rect, COLORREF colour) const;

private:
    Dib32 m_dib;
};
