// The grid window's core: construction and defaults, window class and creation, fonts and system
// colours, cell lookup, notifications to the owner and the column-layout snapshot.
#include "grid/GridCtrl.h"
#include "framework/Gdi.h"
#include "framework/App.h"
#include <ole2.h>

#ifndef ID_EDIT_COPY
#define ID_EDIT_COPY 57634
#define ID_EDIT_CUT 57635
#define ID_EDIT_PASTE 57637
#define ID_EDIT_SELECT_ALL 57642
#endif


IMPLEMENT_DYNCREATE(CGridCtrl, CWnd)

BEGIN_MESSAGE_MAP(CGridCtrl, CWnd)
    ON_WM_PAINT()
    ON_WM_DESTROY()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_SIZE()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_RBUTTONDOWN()
    ON_WM_RBUTTONUP()
    ON_WM_MOUSEWHEEL()
    ON_WM_SETCURSOR()
    ON_WM_TIMER()
    ON_WM_GETDLGCODE()
    ON_WM_KEYDOWN()
    ON_WM_CHAR()
    ON_MESSAGE(WM_IME_CHAR, OnImeChar)
    ON_WM_CAPTURECHANGED()
    ON_WM_ERASEBKGND()
    ON_WM_SYSKEYDOWN()
    ON_WM_SYSCOLORCHANGE()
    ON_MESSAGE(WM_SETFONT, OnSetFont)
    ON_MESSAGE(WM_GETFONT, OnGetFont)
    ON_NOTIFY(LVN_ENDLABELEDITW, IDC_INPLACE_CONTROL, OnEndInPlaceEdit)
    ON_COMMAND(ID_EDIT_COPY, OnEditCopyCommand)
    ON_COMMAND(ID_EDIT_CUT, OnEditCutCommand)
    ON_COMMAND(ID_EDIT_PASTE, OnEditPasteCommand)
    ON_COMMAND(ID_EDIT_SELECT_ALL, OnEditSelectAllCommand)
END_MESSAGE_MAP()

namespace {

const DWORD LAYOUT_MAGIC = 0x05FD4E64;
bool g_presubclassRunning = false;

} // namespace

CGridCtrl::CGridCtrl(int nRows, int nCols, int nFixedRows, int nFixedCols)
    : m_crGridLineColour(RGB(0xC0, 0xC0, 0xC0)),
      m_crTTipBackClr(CLR_DEFAULT), m_crTTipTextClr(CLR_DEFAULT),
      m_bVirtualMode(FALSE), m_lParam(0), m_pfnCallback(nullptr),
      m_nGridLines(GVL_BOTH), m_bEditable(TRUE), m_bModified(FALSE), m_bAllowDragAndDrop(FALSE),
      m_bListMode(FALSE), m_bSingleRowSelection(FALSE), m_bSingleColSelection(FALSE),
      m_bAllowDraw(TRUE), m_bEnableSelection(TRUE), m_bFixedColumnSelection(TRUE),
      m_bFixedRowSelection(TRUE), m_bSortOnClick(FALSE), m_bHandleTabKey(TRUE),
      m_bDoubleBuffer(TRUE), m_bTitleTips(TRUE), m_nBarState(0), m_bWysiwygPrinting(FALSE),
      m_bHiddenColUnhide(TRUE), m_bHiddenRowUnhide(TRUE), m_bAllowColHide(TRUE),
      m_bAllowRowHide(TRUE), m_bTrackFocusCell(TRUE), m_bFrameFocus(TRUE),
      m_nAutoSizeColumnStyle(GVS_BOTH),
      m_nRows(0), m_nFixedRows(0), m_nCols(0), m_nFixedCols(0),
      m_nVScrollMax(0), m_nHScrollMax(0),
      m_pRtcDefault(RUNTIME_CLASS(CGridCell)), m_pImageList(nullptr),
      m_MouseMode(MOUSE_NOTHING), m_bLMouseButtonDown(FALSE), m_bRMouseButtonDown(FALSE),
      m_nTimerID(0), m_nTimerInterval(25), m_nResizeCaptureRange(3),
      m_bAllowRowResize(TRUE), m_bAllowColumnResize(TRUE), m_nRowsPerWheelNotch(3),
      m_bAscending(TRUE), m_nSortColumn(-1), m_pfnCompare(nullptr), m_bShadedPrintOut(TRUE),
      m_CurCol(-1), m_CurRow(-1), m_pfnVirtualCompare(nullptr),
      m_bDragRowMode(1), m_bDestroying(0), m_AllowReorderColumn(0), m_bSelectInFixedColumns(0)
{
    RegisterWindowClass();
    InitialiseOle();
    ReadSystemColours();
    m_nRowsPerWheelNotch = GetWheelScrollLines();
    SetupDefaultCells();

    m_crGridBkColour = m_crShadow;
    SetRowCount(nRows);
    SetColumnCount(nCols);
    SetFixedRowCount(nFixedRows);
    SetFixedColumnCount(nFixedCols);
    m_SelectedCellMap.RemoveAll();
    m_SelectedCellMap.InitHashTable(10);
    m_PrevSelectedCellMap.RemoveAll();
    m_PrevSelectedCellMap.InitHashTable(10);
}

CGridCtrl::~CGridCtrl()
{
    m_bDestroying = 1;
    DeleteAllItems();
    if (m_bTitleTips && m_TitleTip.GetSafeHwnd())
        m_TitleTip.DestroyWindow();
    // The drop target goes before the window it serves.
    if (m_DropTarget.IsRegistered())
        m_DropTarget.Revoke();
    if (GetSafeHwnd())
        DestroyWindow();
    if (COleDataSource::OwnsClipboard())
        ::OleFlushClipboard();
}

BOOL CGridCtrl::InitialiseOle()
{
    static bool initialised = false;
    if (initialised)
        return TRUE;
    HRESULT hr = ::OleInitialize(nullptr);
    if (FAILED(hr))
    {
        AfxMessageBox(L"OLE initialization failed. Make sure that the OLE libraries are the correct version");
        return FALSE;
    }
    initialised = true;
    return TRUE;
}

void CGridCtrl::ReadSystemColours()
{
    m_crWindowText = ::GetSysColor(COLOR_WINDOWTEXT);
    m_crWindowColour = ::GetSysColor(COLOR_WINDOW);
    m_cr3DFace = ::GetSysColor(COLOR_3DFACE);
    m_crShadow = ::GetSysColor(COLOR_3DSHADOW);
}

void CGridCtrl::SetupDefaultCells()
{
    m_cellDefault.SetGrid(this);
    m_cellFixedColDef.SetGrid(this);
    m_cellFixedRowDef.SetGrid(this);
    m_cellFixedRowColDef.SetGrid(this);

    m_cellDefault.SetTextClr(m_crWindowText);
    m_cellDefault.SetBackClr(m_crWindowColour);
    m_cellFixedColDef.SetTextClr(m_crWindowText);
    m_cellFixedColDef.SetBackClr(m_cr3DFace);
    m_cellFixedRowDef.SetTextClr(m_crWindowText);
    m_cellFixedRowDef.SetBackClr(m_cr3DFace);
    m_cellFixedRowColDef.SetTextClr(m_crWindowText);
    m_cellFixedRowColDef.SetBackClr(m_cr3DFace);
}

BOOL CGridCtrl::RegisterWindowClass()
{
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSW wc;
    if (::GetClassInfoW(instance, GRIDCTRL_CLASSNAME, &wc))
        return TRUE;
    ZeroMemory(&wc, sizeof(wc));
    wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1);
    wc.lpszClassName = GRIDCTRL_CLASSNAME;
    return AfxRegisterClass(&wc);
}

BOOL CGridCtrl::Create(const RECT& rect, CWnd* parent, UINT id, DWORD style)
{
    if (!CWnd::Create(GRIDCTRL_CLASSNAME, nullptr, style, rect, parent, id))
        return FALSE;
    // The window core calls PreSubclassWindow only when it subclasses an existing window; a grid it
    // creates gets its one-time set-up here.
    if (!m_TitleTip.GetParentWnd())
        PreSubclassWindow();
    m_arRowHeights.SetSize(m_nRows);
    m_arColWidths.SetSize(m_nCols);
    for (int i = 0; i < m_nRows; i++)
        m_arRowHeights.Set(i, m_cellDefault.GetHeight());
    for (int i = 0; i < m_nCols; i++)
        m_arColWidths.Set(i, m_cellDefault.GetWidth());
    return TRUE;
}

void CGridCtrl::PreSubclassWindow()
{
    CWnd::PreSubclassWindow();
    if (g_presubclassRunning)
        return;
    g_presubclassRunning = true;
    m_TitleTip.SetParentWnd(this);
    ModifyStyleEx(0, WS_EX_CLIENTEDGE);
    // Moving the window by a pixel and back makes it receive WM_SIZE and set up its scroll bars.
    CRect rect;
    GetWindowRect(rect);
    CWnd* parent = GetParent();
    if (parent)
        parent->ScreenToClient(rect);
    rect.InflateRect(1, 1);
    MoveWindow(rect, TRUE);
    rect.DeflateRect(1, 1);
    MoveWindow(rect, TRUE);
    g_presubclassRunning = false;
}

LRESULT CGridCtrl::OnSetFont(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = Default();
    LOGFONTW lf;
    if (::GetObjectW(reinterpret_cast<HFONT>(wParam), sizeof(LOGFONTW), &lf) == sizeof(LOGFONTW))
    {
        m_cellDefault.SetFont(&lf);
        m_cellFixedColDef.SetFont(&lf);
        m_cellFixedRowDef.SetFont(&lf);
        m_cellFixedRowColDef.SetFont(&lf);
        Refresh();
    }
    return result;
}

LRESULT CGridCtrl::OnGetFont(WPARAM, LPARAM)
{
    CFont* font = m_cellDefault.GetFontObject();
    return reinterpret_cast<LRESULT>(font ? font->GetSafeHandle() : nullptr);
}

void CGridCtrl::OnSysColorChange()
{
    CWnd::OnSysColorChange();
    CGridDefaultCell* cells[] = {&m_cellDefault, &m_cellFixedRowDef, &m_cellFixedColDef, &m_cellFixedRowColDef};
    for (CGridDefaultCell* cell : cells)
    {
        if (cell->GetTextClr() == m_crWindowText)
            cell->SetTextClr(::GetSysColor(COLOR_WINDOWTEXT));
        if (cell->GetBackClr() == m_crWindowColour)
            cell->SetBackClr(::GetSysColor(COLOR_WINDOW));
    }
    if (m_crGridBkColour == m_crShadow)
        m_crGridBkColour = ::GetSysColor(COLOR_3DSHADOW);
    ReadSystemColours();
}

void CGridCtrl::OnDestroy()
{
    // The drop target goes before the window, also when a parent destroys the grid's window.
    if (m_DropTarget.IsRegistered())
        m_DropTarget.Revoke();
    CWnd::OnDestroy();
}

BOOL CGridCtrl::OnEraseBkgnd(CDC*)
{
    return TRUE;   // painting erases what it draws over
}

void CGridCtrl::OnSysKeyDown(UINT, UINT, UINT)
{
    Default();
}

int CGridCtrl::GetWheelScrollLines()
{
    UINT lines = 3;
    OSVERSIONINFOW version;
    ZeroMemory(&version, sizeof(version));
    version.dwOSVersionInfoSize = sizeof(version);
    if (::GetVersionExW(&version) && (version.dwPlatformId != VER_PLATFORM_WIN32_WINDOWS || version.dwMinorVersion != 0))
    {
        ::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    }
    else
    {
        HKEY key;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS)
        {
            wchar_t data[128] = {};
            DWORD size = sizeof(data) - sizeof(wchar_t);
            if (::RegQueryValueExW(key, L"WheelScrollLines", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS)
                lines = static_cast<UINT>(_wtoi(data));
            ::RegCloseKey(key);
        }
    }
    return static_cast<int>(lines);
}

CGridCellBase* CGridCtrl::GetDefaultCell(BOOL fixedRow, BOOL fixedCol) const
{
    CGridCtrl* self = const_cast<CGridCtrl*>(this);
    if (fixedRow && fixedCol)
        return &self->m_cellFixedRowColDef;
    if (fixedRow)
        return &self->m_cellFixedRowDef;
    if (fixedCol)
        return &self->m_cellFixedColDef;
    return &self->m_cellDefault;
}

BOOL CGridCtrl::IsValid(const CCellRange& range) const
{
    return range.IsValid() && range.GetMaxRow() < m_nRows && range.GetMaxCol() < m_nCols;
}

CGridCellBase* CGridCtrl::GetCell(int nRow, int nCol) const
{
    if (nRow < 0 || nRow >= m_nRows || nCol < 0 || nCol >= m_nCols)
        return nullptr;
    if (m_bVirtualMode)
        return nullptr;   // the owner-data mode keeps no cell objects
    GRID_ROW* row = Row(nRow);
    if (!row)
        return nullptr;
    int stored = StoredColumn(nCol);
    return stored < row->GetSize() ? row->GetAt(stored) : nullptr;
}

BOOL CGridCtrl::SetCell(int nRow, int nCol, CGridCellBase* cell)
{
    if (m_bVirtualMode || !IsValid(nRow, nCol))
        return FALSE;
    GRID_ROW* row = Row(nRow);
    if (!row)
        return FALSE;
    cell->SetCoords(nRow, nCol);
    row->SetAt(StoredColumn(nCol), cell);
    m_nContentChanges++;
    return TRUE;
}

LRESULT CGridCtrl::SendMessageToParent(int nRow, int nCol, int nMessage) const
{
    if (!::IsWindow(m_hWnd))
        return 0;
    CWnd* owner = GetOwner();
    if (!owner || !::IsWindow(owner->GetSafeHwnd()))
        return 0;
    GridCellNotify notify;
    notify.hdr.hwndFrom = m_hWnd;
    notify.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    notify.hdr.code = static_cast<UINT>(nMessage);
    notify.iRow = nRow;
    notify.iColumn = nCol;
    return ::SendMessageW(owner->GetSafeHwnd(), WM_NOTIFY, notify.hdr.idFrom, reinterpret_cast<LPARAM>(&notify));
}

LRESULT CGridCtrl::SendDisplayRequestToParent(GridDispInfo* dispInfo) const
{
    if (!::IsWindow(m_hWnd))
        return 0;
    CWnd* owner = GetOwner();
    if (!owner || !::IsWindow(owner->GetSafeHwnd()))
        return 0;
    dispInfo->hdr.hwndFrom = m_hWnd;
    dispInfo->hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    dispInfo->hdr.code = static_cast<UINT>(GVN_GETDISPINFO);
    return ::SendMessageW(owner->GetSafeHwnd(), WM_NOTIFY, dispInfo->hdr.idFrom, reinterpret_cast<LPARAM>(dispInfo));
}

LRESULT CGridCtrl::SendCacheHintToParent(const CCellRange& range) const
{
    if (!::IsWindow(m_hWnd))
        return 0;
    CWnd* owner = GetOwner();
    if (!owner || !::IsWindow(owner->GetSafeHwnd()))
        return 0;
    GridCacheHint hint;
    hint.hdr.hwndFrom = m_hWnd;
    hint.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    hint.hdr.code = static_cast<UINT>(GVN_ODCACHEHINT);
    hint.range = range;
    return ::SendMessageW(owner->GetSafeHwnd(), WM_NOTIFY, hint.hdr.idFrom, reinterpret_cast<LPARAM>(&hint));
}

int CGridCtrl::SaveColumnLayout(DWORD** block) const
{
    int n = m_nCols;
    DWORD* words = new DWORD[2 * n + 2];
    words[0] = LAYOUT_MAGIC;
    words[1] = static_cast<DWORD>(n);
    for (int i = 0; i < n; i++)
    {
        words[2 + i] = static_cast<DWORD>(m_arColOrder[i]);
        words[2 + n + i] = m_arColWidths[i];
    }
    *block = words;
    return 2 * n + 2;
}

void CGridCtrl::RestoreColumnLayout(const DWORD* block)
{
    if (!block || block[0] != LAYOUT_MAGIC || block[1] != static_cast<DWORD>(m_nCols))
        return;
    // An order that is not a permutation of the columns would make cell lookups leave the rows.
    int n = m_nCols;
    std::vector<bool> seen(n, false);
    for (int i = 0; i < n; i++)
    {
        DWORD stored = block[2 + i];
        if (stored >= static_cast<DWORD>(n) || seen[stored])
            return;
        seen[stored] = true;
    }
    EndEditing();   // the editor's cell may change its displayed column
    m_nContentChanges++;
    std::vector<int> oldOrder = m_arColOrder;
    for (int i = 0; i < n; i++)
    {
        m_arColOrder[i] = static_cast<int>(block[2 + i]);
        m_arColWidths.Set(i, block[2 + n + i]);
    }
    // The selection and the focus stay with their cells, which the state bits mark.
    std::vector<int> displayOf(n);
    for (int col = 0; col < n; col++)
        displayOf[m_arColOrder[col]] = col;
    std::vector<int> newColumnOf(n);
    for (int col = 0; col < n; col++)
        newColumnOf[col] = displayOf[oldOrder[col]];
    MoveSelectionColumns(m_SelectedCellMap, newColumnOf);
    MoveSelectionColumns(m_PrevSelectedCellMap, newColumnOf);
    for (CCellID* cell : {&m_idCurrentCell, &m_SelectionStartCell, &m_LeftClickDownCell})
        if (cell->col >= 0 && cell->col < n)
            cell->col = newColumnOf[cell->col];
}
