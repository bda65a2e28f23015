// Owner window, test grid, message pump and DIB painting for the grid tests.
#include "GridTestSupport.h"
#include "framework/Gdi.h"

namespace {

const wchar_t OWNER_CLASS[] = L"FormsteadGridTestOwner";

} // namespace

GridOwner::GridOwner(bool visible)
{
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSW wc = {};
    if (!::GetClassInfoW(instance, OWNER_CLASS, &wc))
    {
        wc.lpfnWndProc = Proc;
        wc.hInstance = instance;
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = OWNER_CLASS;
        ::RegisterClassW(&wc);
    }
    m_hwnd = ::CreateWindowExW(0, OWNER_CLASS, L"grid owner", WS_POPUP | WS_CLIPCHILDREN | (visible ? WS_VISIBLE : 0),
                               0, 0, 640, 480, nullptr, nullptr, instance, this);
}

GridOwner::~GridOwner()
{
    if (m_hwnd)
        ::DestroyWindow(m_hwnd);
}

LRESULT CALLBACK GridOwner::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE)
    {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<GridOwner*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && msg == WM_NOTIFY)
    {
        const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lParam);
        RecordedNotify note = {static_cast<int>(hdr->code), -1, -1, 0, CString()};
        if (hdr->idFrom == IDC_INPLACE_CONTROL)
        {
            const GridDispInfo* info = reinterpret_cast<const GridDispInfo*>(lParam);
            note.row = info->item.row;
            note.col = info->item.col;
            note.lParam = info->item.lParam;
            note.text = info->item.strText;
        }
        else
        {
            const GridCellNotify* cell = reinterpret_cast<const GridCellNotify*>(lParam);
            note.row = cell->iRow;
            note.col = cell->iColumn;
        }
        self->notes.push_back(note);
        if (note.code == GVN_BEGINLABELEDIT)
            return self->beginEditAnswer;
        if (note.code == GVN_ENDLABELEDIT && hdr->idFrom != IDC_INPLACE_CONTROL)
            return self->endEditAnswer;
        return 0;
    }
    if (self && msg == WM_COMMAND)
    {
        self->commands.emplace_back(wParam, lParam);
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

int GridOwner::Count(int code) const
{
    int count = 0;
    for (const RecordedNotify& note : notes)
        if (note.code == code)
            count++;
    return count;
}

const RecordedNotify* GridOwner::Last(int code) const
{
    for (auto it = notes.rbegin(); it != notes.rend(); ++it)
        if (it->code == code)
            return &*it;
    return nullptr;
}

TestGrid::TestGrid(int rows, int cols, int fixedRows, int fixedCols, bool visible, int width, int height)
    : owner(visible), grid(rows, cols, fixedRows, fixedCols)
{
    grid.Create(CRect(0, 0, width, height), owner.Wnd(), ID, WS_CHILD | WS_VISIBLE | WS_TABSTOP);
    for (int row = 0; row < rows; row++)
    {
        grid.SetRowHeight(row, 20);
        for (int col = 0; col < cols; col++)
        {
            CString text;
            text.Format(L"%d,%d", row, col);
            grid.SetItemText(row, col, text);
        }
    }
    for (int col = 0; col < cols; col++)
        grid.SetColumnWidth(col, 60);
    grid.SetModified(FALSE);
    grid.ResetScrollBars();
}

TestGrid::~TestGrid()
{
    PumpMessages();
}

CPoint TestGrid::Centre(int row, int col)
{
    CRect rect;
    grid.GetCellRect(row, col, rect);
    return rect.CenterPoint();
}

void TestGrid::Click(CPoint point, UINT keys)
{
    Send(WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(point.x, point.y));
    Send(WM_LBUTTONUP, keys, MAKELPARAM(point.x, point.y));
}

void PumpMessages()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        if (!CWnd::WalkPreTranslateTree(nullptr, &msg))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

void SetKeyHeld(int vk, bool held)
{
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[vk] = held ? 0x80 : 0;
    ::SetKeyboardState(keys);
}

CRect GridClient(CGridCtrl& grid)
{
    CRect client;
    grid.GetClientRect(client);
    return client;
}

GridPicture::GridPicture(CGridCtrl& grid) : m_dib(GridClient(grid).Width(), GridClient(grid).Height())
{
    // A colour no grid paints, so unpainted pixels show.
    m_dib.Fill(RGB(1, 2, 3));
    CDC dc;
    dc.Attach(m_dib.Dc());
    grid.OnDraw(&dc);
    dc.Detach();
}

int GridPicture::CountColour(const RECT& rect, COLORREF colour) const
{
    int count = 0;
    for (int y = rect.top; y < rect.bottom; y++)
        for (int x = rect.left; x < rect.right; x++)
            if (Pixel(x, y) == colour)
                count++;
    return count;
}
