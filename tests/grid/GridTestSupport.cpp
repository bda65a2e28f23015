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

namespace {

void Bring(CGridCtrl& grid)
{
    HWND top = ::GetAncestor(grid.GetSafeHwnd(), GA_ROOT);
    ::SetForegroundWindow(top);
    ::SetActiveWindow(top);
    ::SetFocus(grid.GetSafeHwnd());
}

// Handles messages until one is dispatched for which done() holds; the watchdog only ends a wait that
// would otherwise hang.
template <typename Done>
bool PumpUntilMessage(Done done)
{
    for (int waits = 0; waits < 200; waits++)
    {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            if (!CWnd::WalkPreTranslateTree(nullptr, &msg))
            {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
            if (done(msg))
                return true;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return false;
}

INPUT KeyInput(UINT vk, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = static_cast<WORD>(vk);
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    // The navigation keys of the separate block (not the keypad's).
    if (vk == VK_PRIOR || vk == VK_NEXT || vk == VK_END || vk == VK_HOME || vk == VK_LEFT || vk == VK_UP ||
        vk == VK_RIGHT || vk == VK_DOWN || vk == VK_INSERT || vk == VK_DELETE)
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    if (up)
        input.ki.dwFlags |= KEYEVENTF_KEYUP;
    return input;
}

INPUT MouseInput(CPoint screen, DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    // Absolute positions are in 0..65535 across the primary screen.
    input.mi.dx = static_cast<LONG>((screen.x * 65536 + ::GetSystemMetrics(SM_CXSCREEN) - 1) / ::GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = static_cast<LONG>((screen.y * 65536 + ::GetSystemMetrics(SM_CYSCREEN) - 1) / ::GetSystemMetrics(SM_CYSCREEN));
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    return input;
}

} // namespace

bool PressKey(CGridCtrl& grid, UINT vk, bool withCtrl, bool withShift)
{
    Bring(grid);
    std::vector<INPUT> inputs;
    if (withCtrl)
        inputs.push_back(KeyInput(VK_CONTROL, false));
    if (withShift)
        inputs.push_back(KeyInput(VK_SHIFT, false));
    inputs.push_back(KeyInput(vk, false));
    inputs.push_back(KeyInput(vk, true));
    if (withShift)
        inputs.push_back(KeyInput(VK_SHIFT, true));
    if (withCtrl)
        inputs.push_back(KeyInput(VK_CONTROL, true));
    const UINT last = withCtrl ? VK_CONTROL : withShift ? VK_SHIFT : vk;
    if (::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) != inputs.size())
        return false;
    return PumpUntilMessage([&](const MSG& msg) { return msg.message == WM_KEYUP && msg.wParam == last; });
}

bool MouseDragThrough(CGridCtrl& grid, const std::vector<CPoint>& clientPoints)
{
    Bring(grid);
    std::vector<INPUT> inputs;
    for (size_t i = 0; i < clientPoints.size(); i++)
    {
        CPoint screen = clientPoints[i];
        ::ClientToScreen(grid.GetSafeHwnd(), &screen);
        DWORD flags = i == 0 ? MOUSEEVENTF_LEFTDOWN : i + 1 == clientPoints.size() ? MOUSEEVENTF_LEFTUP : 0;
        if (i == 0)
            inputs.push_back(MouseInput(screen, 0));   // first there, then the press
        inputs.push_back(MouseInput(screen, flags));
    }
    if (::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) != inputs.size())
        return false;
    return PumpUntilMessage([](const MSG& msg) { return msg.message == WM_LBUTTONUP; });
}
