// CGridCtrl: the grid window. A table of cell objects with fixed header rows and columns, scrolling,
// selection, sorting, in-place editing, title tips, clipboard and drag and drop; it reports to its
// owner through WM_NOTIFY with list-view codes. Its members are implemented across the GridCtrl*.cpp
// files, one area of behaviour each.
#pragma once
#include <windows.h>
#include <vector>
#include "framework/Wnd.h"
#include "framework/Collections.h"
#include "framework/OleTransfer.h"
#include "grid/CellRange.h"
#include "grid/GridNotify.h"
#include "grid/GridCell.h"
#include "grid/TitleTip.h"
#include "grid/GridDropTarget.h"
#include "grid/MemDC.h"
#include "grid/SizeList.h"

class CImageList;
class CPrintInfo;
class CellExtentMeasurer;

#define GRIDCTRL_CLASSNAME L"MFCGridCtrl"

// The control id of the in-place editor inside the grid.
const UINT IDC_INPLACE_CONTROL = 8;

// Sort comparison: two cells (as LPARAM) and the caller's data; below 0 when the first goes first.
typedef int (CALLBACK* PFNLVCOMPARE)(LPARAM, LPARAM, LPARAM);

// The selected-cell map's key: the row in the low 32 bits, the column in the high 32 bits.
typedef unsigned long long SelectedCellKey;
// Spreads the cells of one row over the map's buckets (a row's cells differ only in the high half).
template <>
inline UINT HashKey<SelectedCellKey>(SelectedCellKey key)
{
    return static_cast<UINT>(key) * 2654435761u ^ static_cast<UINT>(key >> 32) * 40503u;
}
typedef CMap<SelectedCellKey, SelectedCellKey, CCellID, CCellID&> SelectedCellMap;
// The row and the column each keep all their bits, so that rows beyond 65,535 never share a key.
inline SelectedCellKey SelectionKey(int row, int col)
{
    return static_cast<SelectedCellKey>(static_cast<unsigned>(row)) |
           (static_cast<SelectedCellKey>(static_cast<unsigned>(col)) << 32);
}
// Row comparison for the owner-data mode: two stored row numbers.
typedef bool (*PVIRTUALCOMPARE)(int, int);
// Display callback of the owner-data mode.
typedef BOOL (CALLBACK* GRIDCALLBACK)(GridDispInfo*, LPARAM);

typedef CTypedPtrArray<CObArray, CGridCellBase*> GRID_ROW;

class CGridCtrl : public CWnd
{
    DECLARE_DYNCREATE(CGridCtrl)
public:
    CGridCtrl(int nRows = 0, int nCols = 0, int nFixedRows = 0, int nFixedCols = 0);
    ~CGridCtrl() override;

    BOOL Create(const RECT& rect, CWnd* parent, UINT id, DWORD style = WS_CHILD | WS_BORDER | WS_TABSTOP | WS_VISIBLE);

    // Mouse modes.
    enum eMouseModes
    {
        MOUSE_NOTHING, MOUSE_SELECT_ALL, MOUSE_SELECT_COL, MOUSE_SELECT_ROW, MOUSE_SELECT_CELLS,
        MOUSE_SCROLLING_CELLS, MOUSE_OVER_ROW_DIVIDE, MOUSE_SIZING_ROW, MOUSE_OVER_COL_DIVIDE,
        MOUSE_SIZING_COL, MOUSE_PREPARE_EDIT, MOUSE_PREPARE_DRAG, MOUSE_DRAGGING
    };

    // Counts and shape.
    int GetRowCount() const { return m_nRows; }
    int GetColumnCount() const { return m_nCols; }
    int GetFixedRowCount() const { return m_nFixedRows; }
    int GetFixedColumnCount() const { return m_nFixedCols; }
    BOOL SetRowCount(int nRows = 10);
    BOOL SetColumnCount(int nCols = 10);
    BOOL SetFixedRowCount(int nFixedRows = 1);
    BOOL SetFixedColumnCount(int nFixedCols = 1);

    int GetRowHeight(int nRow) const;
    BOOL SetRowHeight(int row, int height);
    int GetColumnWidth(int nCol) const;
    BOOL SetColumnWidth(int col, int width);
    int GetFixedRowHeight() const;
    int GetFixedColumnWidth() const;
    long GetVirtualWidth() const;
    long GetVirtualHeight() const;

    // Colours and options.
    void SetGridBkColor(COLORREF clr) { m_crGridBkColour = clr; }
    COLORREF GetGridBkColor() const { return m_crGridBkColour; }
    COLORREF GetGridLineColor() const { return m_crGridLineColour; }
    void SetTitleTipBackClr(COLORREF clr = CLR_DEFAULT) { m_crTTipBackClr = clr; }
    COLORREF GetTitleTipBackClr() const { return m_crTTipBackClr; }
    void SetTitleTipTextClr(COLORREF clr = CLR_DEFAULT) { m_crTTipTextClr = clr; }
    COLORREF GetTitleTipTextClr() const { return m_crTTipTextClr; }
    BOOL GetVirtualMode() const { return m_bVirtualMode; }
    void SetEditable(BOOL editable = TRUE) { m_bEditable = editable; }
    BOOL IsEditable() const { return m_bEditable; }
    void SetListMode(BOOL enable = TRUE);
    BOOL GetListMode() const { return m_bListMode; }
    BOOL GetSingleRowSelection() const { return m_bSingleRowSelection && m_bListMode; }
    BOOL GetSingleColSelection() const { return m_bSingleColSelection; }
    BOOL IsSelectable() const { return m_bEnableSelection; }
    void SetFixedRowSelection(BOOL select) { m_bFixedRowSelection = select; }
    BOOL GetFixedRowSelection() const { return m_bFixedRowSelection; }
    void SetFixedColumnSelection(BOOL select) { m_bFixedColumnSelection = select; }
    BOOL GetFixedColumnSelection() const { return m_bFixedColumnSelection; }
    void SetSortOnClick(BOOL sort) { m_bSortOnClick = sort; }
    BOOL GetSortOnClick() const { return m_bSortOnClick; }
    void SetSortAscending(BOOL ascending) { m_bAscending = ascending; }
    BOOL GetSortAscending() const { return m_bAscending; }
    void SetSortColumn(int col);
    int GetSortColumn() const { return m_nSortColumn; }
    void SetAutoSizeStyle(int style = GVS_BOTH) { m_nAutoSizeColumnStyle = style; }
    int GetAutoSizeStyle() const { return m_nAutoSizeColumnStyle; }
    CCellID GetFocusCell() const { return m_idCurrentCell; }
    CImageList* GetImageList() const { return m_pImageList; }
    int GetGridLines() const { return m_nGridLines; }
    BOOL GetTrackFocusCell() const { return m_bTrackFocusCell; }
    BOOL GetFrameFocusCell() const { return m_bFrameFocus; }
    BOOL GetShadedPrintOut() const { return m_bShadedPrintOut; }
    BOOL IsVisibleHScroll() const { return (m_nBarState & 1) != 0; }
    BOOL IsVisibleVScroll() const { return (m_nBarState & 2) != 0; }
    int GetSelectedCount() const { return static_cast<int>(m_SelectedCellMap.GetCount()); }
    BOOL IsTitleTips() const { return m_bTitleTips; }
    BOOL IsDragAndDrop() const { return m_bAllowDragAndDrop; }

    void EnableDragAndDrop(BOOL allow = TRUE) { m_bAllowDragAndDrop = allow; }
    void SetColumnResize(BOOL resize = TRUE) { m_bAllowColumnResize = resize; }
    void SetAllowColumnHide(BOOL allow = TRUE) { m_bAllowColHide = allow; }
    void SetColumnReorder(BOOL reorder = TRUE) { m_AllowReorderColumn = reorder ? 1 : 0; }
    void SetSelectInFixedColumns(BOOL select = TRUE) { m_bSelectInFixedColumns = select ? 1 : 0; }

    // Cells.
    CGridCellBase* GetDefaultCell(BOOL fixedRow, BOOL fixedCol) const;
    CGridCellBase* GetCell(int nRow, int nCol) const;
    BOOL SetCell(int nRow, int nCol, CGridCellBase* cell);
    BOOL IsValid(int nRow, int nCol) const { return nRow >= 0 && nRow < m_nRows && nCol >= 0 && nCol < m_nCols; }
    BOOL IsValid(const CCellID& cell) const { return IsValid(cell.row, cell.col); }
    BOOL IsValid(const CCellRange& range) const;

    // Rows and columns.
    int InsertColumn(LPCTSTR heading, UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE, int column = -1);
    int InsertRow(LPCTSTR heading, int row = -1);
    BOOL DeleteColumn(int nColumn);
    BOOL DeleteRow(int nRow);
    // Deletes the rows listed (in any order; repeats and rows off the grid are ignored) in one pass,
    // leaving the grid as DeleteRow on each of them from the bottom up would; answers how many went.
    int DeleteRows(const std::vector<int>& rows);
    BOOL DeleteAllItems();
    BOOL AutoSizeRow(int nRow, BOOL resetScroll = TRUE);
    BOOL AutoSizeColumn(int nCol, UINT autoSizeStyle = 0, BOOL resetScroll = TRUE);
    void AutoSizeColumns(UINT autoSizeStyle = 0);
    void ExpandColumnsToFit(BOOL expandFixed = TRUE);
    void ExpandLastColumn();
    CSize GetTextExtent(int nRow, int nCol, LPCTSTR text);
    void SetModified(BOOL modified = TRUE, int nRow = -1, int nCol = -1);
    // SetModified(TRUE, row, nCol) for the cell at row, nCol, already at hand (a fill of many cells).
    void SetCellModified(CGridCellBase* cell, int nCol);
    BOOL GetModified(int nRow = -1, int nCol = -1);
    void Refresh();
    void ResetVirtualOrder();
    void MoveRow(int from, int to);

    // Items.
    CString GetItemText(int nRow, int nCol) const;
    BOOL SetItemText(int nRow, int nCol, LPCTSTR text);
    BOOL SetItemData(int nRow, int nCol, LPARAM data);
    LPARAM GetItemData(int nRow, int nCol) const;
    BOOL SetItemFormat(int nRow, int nCol, UINT format);
    UINT GetItemFormat(int nRow, int nCol) const;
    BOOL SetItemBkColour(int nRow, int nCol, COLORREF clr = CLR_DEFAULT);
    BOOL SetItemFgColour(int nRow, int nCol, COLORREF clr = CLR_DEFAULT);
    BOOL SetItemState(int nRow, int nCol, UINT state);
    UINT GetItemState(int nRow, int nCol) const;
    BOOL IsItemEditing(int nRow, int nCol);
    BOOL IsCellEditable(int nRow, int nCol) const;
    BOOL IsCellEditable(const CCellID& cell) const { return IsCellEditable(cell.row, cell.col); }
    BOOL IsCellSelected(int nRow, int nCol) const;
    BOOL IsCellSelected(const CCellID& cell) const { return IsCellSelected(cell.row, cell.col); }

    // Geometry and visibility.
    CCellID GetTopleftNonFixedCell(BOOL forceRecalculation = FALSE);
    CCellID GetCellFromPt(CPoint point, BOOL allowFixedCellCheck = TRUE);
    BOOL GetCellOrigin(int nRow, int nCol, LPPOINT p);
    BOOL GetCellOrigin(const CCellID& cell, LPPOINT p) { return GetCellOrigin(cell.row, cell.col, p); }
    BOOL GetCellRect(int nRow, int nCol, LPRECT rect);
    BOOL GetCellRect(const CCellID& cell, LPRECT rect) { return GetCellRect(cell.row, cell.col, rect); }
    CCellRange GetVisibleNonFixedCellRange(LPRECT rect = nullptr, BOOL forceRecalculation = FALSE);
    CCellRange GetVisibleFixedCellRange(LPRECT rect = nullptr, BOOL forceRecalculation = FALSE);
    BOOL IsCellVisible(int nRow, int nCol);
    BOOL IsCellVisible(const CCellID& cell) { return IsCellVisible(cell.row, cell.col); }
    BOOL InvalidateCellRect(int row, int col);
    BOOL InvalidateCellRect(const CCellID& cell) { return InvalidateCellRect(cell.row, cell.col); }
    BOOL MouseOverRowResizeArea(CPoint& point);
    BOOL MouseOverColumnResizeArea(CPoint& point);
    void EnsureVisible(int nRow, int nCol);
    void EnsureVisible(const CCellID& cell) { EnsureVisible(cell.row, cell.col); }
    CCellRange GetSelectedCellRange() const;
    void ResetSelectedRange();

    // Focus and selection.
    CCellID SetFocusCell(int nRow, int nCol);
    CCellID SetFocusCell(CCellID cell);
    void SetSelectedRange(int minRow, int minCol, int maxRow, int maxCol, BOOL forceRepaint = FALSE, BOOL selectCells = TRUE);
    void SetSelectedRange(const CCellRange& range, BOOL forceRepaint = FALSE, BOOL selectCells = TRUE);
    void SelectAllCells();
    void SelectColumns(CCellID currentCell, BOOL forceRedraw = FALSE, BOOL selectCells = TRUE);
    void SelectRows(CCellID currentCell, BOOL forceRedraw = FALSE, BOOL selectCells = TRUE);
    void SelectCells(CCellID currentCell, BOOL forceRedraw = FALSE, BOOL selectCells = TRUE);
    void OnSelecting(const CCellID& currentCell);

    // Sorting.
    void SetCompareFunction(PFNLVCOMPARE compare) { m_pfnCompare = compare; }
    void SetVirtualCompare(PVIRTUALCOMPARE compare) { m_pfnVirtualCompare = compare; }
    BOOL SortItems(int nCol, BOOL ascending, LPARAM data = 0);
    BOOL SortTextItems(int nCol, BOOL ascending, LPARAM data = 0);
    BOOL SortItems(PFNLVCOMPARE compare, int nCol, BOOL ascending, LPARAM data = 0);
    BOOL SortItems(PFNLVCOMPARE compare, int nCol, BOOL ascending, LPARAM data, int low, int high);
    static int CALLBACK CompareCellText(LPARAM cell1, LPARAM cell2, LPARAM data);

    // Painting and scrolling.
    BOOL RedrawCell(int nRow, int nCol, CDC* pDC = nullptr);
    BOOL RedrawCell(const CCellID& cell, CDC* pDC = nullptr) { return RedrawCell(cell.row, cell.col, pDC); }
    void EraseBkgnd(CDC* pDC);
    void ResetScrollBars();
    int GetScrollPos32(int nBar, BOOL getTrackPos = FALSE);
    BOOL SetScrollPos32(int nBar, int nPos, BOOL redraw = TRUE);
    void EnableScrollBars(int nBar, BOOL enable = TRUE);

    // Notifications to the owner.
    LRESULT SendMessageToParent(int nRow, int nCol, int nMessage) const;
    LRESULT SendDisplayRequestToParent(GridDispInfo* dispInfo) const;
    LRESULT SendCacheHintToParent(const CCellRange& range) const;

    // Column layout snapshot: a block of 2n + 2 words that the caller frees with delete[].
    int SaveColumnLayout(DWORD** block) const;
    void RestoreColumnLayout(const DWORD* block);

    int GetWheelScrollLines();
    BOOL ValidateAndModifyCellContents(int nRow, int nCol, LPCTSTR text);

    // Clipboard and drag and drop.
    virtual void CutSelectedText();
    virtual COleDataSource* CopyTextFromGrid();
    virtual BOOL PasteTextToGrid(CCellID cell, COleDataObject* dataObject, BOOL selectPastedCells = TRUE);
    virtual void OnBeginDrag();
    virtual DROPEFFECT OnDragEnter(COleDataObject* dataObject, DWORD keyState, CPoint point);
    virtual DROPEFFECT OnDragOver(COleDataObject* dataObject, DWORD keyState, CPoint point);
    virtual void OnDragLeave();
    virtual BOOL OnDrop(COleDataObject* dataObject, DROPEFFECT dropEffect, CPoint point);
    virtual void OnEditCut();
    virtual void OnEditCopy();
    virtual void OnEditPaste();
    virtual void OnEditSelectAll();
    // Printing through the print protocol: the owner calls OnBeginPrinting, OnPrint once per page
    // and OnEndPrinting with a printer DC; Print drives them itself for a whole document.
    virtual void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnPrint(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo);
    virtual void PrintFixedRowCells(int nStartColumn, int nStopColumn, int& row, CRect& rect, CDC* pDC, BOOL& bFirst);
    virtual void PrintColumnHeadings(CDC* pDC, CPrintInfo* pInfo);
    virtual void PrintHeader(CDC* pDC, CPrintInfo* pInfo);
    virtual void PrintFooter(CDC* pDC, CPrintInfo* pInfo);
    virtual void PrintRowButtons(CDC* pDC, CPrintInfo* pInfo);
    virtual CImageList* CreateDragImage(CPoint* pHotSpot);
    // Prints every page as one document on the printer DC (the default printer when null). FALSE
    // when no page could be laid out or the printer refused the job.
    BOOL Print(CDC* pPrinterDC = nullptr);
    // Sets each margin (in character units) whose value is above -1.
    void SetPrintMarginInfo(int nHeaderHeight, int nFooterHeight, int nLeftMargin, int nRightMargin,
                            int nTopMargin, int nBottomMargin, int nGap);

    // Whether each edit command can run now.
    BOOL CanEditCopy() const;
    BOOL CanEditCut() const;
    BOOL CanEditPaste() const;
    BOOL CanEditSelectAll() const { return m_bEnableSelection; }

    // Header clicks, editing, drawing and the cell factory.
    virtual void OnFixedColumnClick(CCellID& cell);
    virtual void OnFixedRowClick(CCellID& cell);
    virtual void OnEditCell(int nRow, int nCol, CPoint point, UINT nChar);
    virtual void OnEndEditCell(int nRow, int nCol, CString text);
    virtual BOOL ValidateEdit(int nRow, int nCol, LPCTSTR text);
    virtual void EndEditing();
    virtual void OnDraw(CDC* pDC);
    virtual CGridCellBase* CreateCell(int nRow, int nCol);
    virtual void DestroyCell(int nRow, int nCol);
    virtual void AdjustRowOrder(int row, int delta);

    CTitleTip& GetTitleTip() { return m_TitleTip; }
    CGridDropTarget& GetDropTarget() { return m_DropTarget; }
    int GetMouseMode() const { return m_MouseMode; }

protected:
    void PreSubclassWindow() override;
    BOOL RegisterWindowClass();
    void SetupDefaultCells();
    void ReadSystemColours();
    BOOL InitialiseOle();
    GRID_ROW* Row(int nRow) const { return nRow >= 0 && nRow < m_RowData.GetSize() ? m_RowData[nRow] : nullptr; }
    int StoredColumn(int nCol) const { return m_arColOrder[nCol]; }
    // Auto-sizes one column (of width above 0) with cells measured on the measurer's DC.
    void AutoSizeColumnOn(CellExtentMeasurer& measurer, int nCol, UINT autoSizeStyle);
    // Auto-sizes every shown column at once, walking the cells row by row.
    void AutoSizeColumnsByRows(CellExtentMeasurer& measurer, UINT autoSizeStyle);
    void SortRowRange(PFNLVCOMPARE compare, int nCol, BOOL ascending, LPARAM data, int low, int high);
    void SwapRows(int a, int b);
    int NextVisibleColumnLeft(int col) const;
    int NextVisibleRowAbove(int row) const;
    // The keyboard handler's steps (GridSelection.cpp).
    struct KeyMove;
    void HandleEditShortcut(UINT nChar, bool ctrl, bool shift);
    bool MoveFocusByKey(UINT nChar, UINT nRepCnt, UINT nFlags, bool ctrl, bool shift, KeyMove& move);
    void MoveRightOrTab(UINT nChar, UINT nRepCnt, UINT nFlags, bool shift, KeyMove& move);
    void MoveByPage(bool down, KeyMove& move);
    void MoveToRowEnd(bool home, bool ctrl, KeyMove& move);
    void SelectFocusCellByKey(const CCellID& next, bool extend);
    void ScrollTowardsKeyTarget(UINT nChar, bool shift, KeyMove& move);
    void InvertDividerLine(int x, int y, bool vertical);
    void ScrollAxis(int bar, UINT code);
    bool MouseOverResizeArea(const CPoint& point, bool rows);
    int OffsetOf(int index, bool rows, int firstNonFixed) const;
    bool IsShownAtAll(int nRow, int nCol, CCellID& topLeft);
    void EndDividerDrag(CPoint point, bool rows);
    void BeginDividerDrag(CPoint point, bool rows);
    void DrawCellBlock(CDC* pDC, int firstRow, int lastRow, int firstCol, int lastCol, int top, int left,
                       const RECT* clip);
    // Walks from `first` adding sizes from `start` until the sum reaches `limit` (clipped to it);
    // answers the last index reached, at most `end` - 1.
    int LastIndexWithin(bool rows, int first, int end, int start, int limit, int& reached) const;
    // The row (or column) under a coordinate: -1 over nothing or, unless allowed, over the fixed part.
    int IndexAtCoordinate(int coordinate, bool rows, int firstNonFixed, BOOL allowFixed) const;
    void KeepTimer(bool start);
    bool DropOverColumnHeader(const CCellID& cell) const;
    // Puts a new text into a cell as an edit would: kept when ValidateEdit and the owner accept it,
    // otherwise the cell gets back its text and modified state. TRUE when the text was kept.
    BOOL ApplyCellText(int nRow, int nCol, const CString& text);
    // A closing editor whose cell is no longer where it was opened: whichever cell still holds it
    // forgets it, so no cell keeps an editor that is about to delete itself.
    void ForgetEditor(CWnd* editor);
    // Re-keys a selection map after the columns moved: an entry of displayed column c goes to
    // newColumnOf[c], or is dropped when that is -1.
    void MoveSelectionColumns(SelectedCellMap& map, const std::vector<int>& newColumnOf);

    // Message handlers.
    afx_msg void OnPaint();
    afx_msg void OnDestroy();
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* bar);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* bar);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    afx_msg BOOL OnSetCursor(CWnd* window, UINT hitTest, UINT message);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg UINT OnGetDlgCode();
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg LRESULT OnImeChar(WPARAM wParam, LPARAM lParam);
    afx_msg void OnCaptureChanged(CWnd* window);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnSysColorChange();
    afx_msg LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetFont(WPARAM wParam, LPARAM lParam);
    afx_msg void OnEndInPlaceEdit(NMHDR* nmhdr, LRESULT* result);
    afx_msg void OnEditCopyCommand() { OnEditCopy(); }
    afx_msg void OnEditCutCommand() { OnEditCut(); }
    afx_msg void OnEditPasteCommand() { OnEditPaste(); }
    afx_msg void OnEditSelectAllCommand() { OnEditSelectAll(); }
    DECLARE_MESSAGE_MAP()

protected:
    COLORREF m_crGridBkColour, m_crGridLineColour;
    COLORREF m_crWindowText, m_crWindowColour, m_cr3DFace, m_crShadow;
    COLORREF m_crTTipBackClr, m_crTTipTextClr;
    BOOL m_bVirtualMode;
    LPARAM m_lParam;
    GRIDCALLBACK m_pfnCallback;
    int m_nGridLines;
    BOOL m_bEditable;
    BOOL m_bModified;
    BOOL m_bAllowDragAndDrop;
    BOOL m_bListMode;
    BOOL m_bSingleRowSelection;
    BOOL m_bSingleColSelection;
    BOOL m_bAllowDraw;
    BOOL m_bEnableSelection;
    BOOL m_bFixedColumnSelection, m_bFixedRowSelection;
    BOOL m_bSortOnClick;
    BOOL m_bHandleTabKey;
    BOOL m_bDoubleBuffer;
    BOOL m_bTitleTips;
    int m_nBarState;
    BOOL m_bWysiwygPrinting;
    BOOL m_bHiddenColUnhide, m_bHiddenRowUnhide;
    BOOL m_bAllowColHide, m_bAllowRowHide;
    BOOL m_bTrackFocusCell;
    BOOL m_bFrameFocus;
    int m_nAutoSizeColumnStyle;

    int m_nRows, m_nFixedRows, m_nCols, m_nFixedCols;
    SizeList m_arRowHeights, m_arColWidths;   // with their running totals, the virtual extent
    int m_nVScrollMax, m_nHScrollMax;

    class PlainCellMaker;   // CreateCell's cells for the new rows of SetRowCount
    const CRuntimeClass* m_pRtcDefault;
    CGridDefaultCell m_cellDefault, m_cellFixedColDef, m_cellFixedRowDef, m_cellFixedRowColDef;
    CImageList* m_pImageList;
    CArray<GRID_ROW*, GRID_ROW*> m_RowData;

    int m_MouseMode;
    BOOL m_bLMouseButtonDown, m_bRMouseButtonDown;
    CPoint m_LeftClickDownPoint, m_LastMousePoint;
    CCellID m_LeftClickDownCell, m_SelectionStartCell;
    CCellID m_idCurrentCell, m_idTopLeftCell;
    UINT_PTR m_nTimerID;
    int m_nTimerInterval;
    int m_nResizeCaptureRange;
    BOOL m_bAllowRowResize, m_bAllowColumnResize;
    int m_nRowsPerWheelNotch;
    SelectedCellMap m_SelectedCellMap, m_PrevSelectedCellMap;

    CTitleTip m_TitleTip;
    CCellID m_LastDragOverCell;
    CGridDropTarget m_DropTarget;

    BOOL m_bAscending;
    int m_nSortColumn;
    PFNLVCOMPARE m_pfnCompare;
    BOOL m_bShadedPrintOut;
    int m_CurCol;
    int m_CurRow;
    std::vector<int> m_arRowOrder, m_arColOrder;
    PVIRTUALCOMPARE m_pfnVirtualCompare;
    BYTE m_bDragRowMode;
    BYTE m_bDestroying;
    BYTE m_AllowReorderColumn;
    BYTE m_bSelectInFixedColumns;
    PaintBuffer m_paintBuffer;   // the off-screen bitmap of the last paint, reused by the next

    // A comparison may sort the grid again for every pair it compares. Such a nested sort is done
    // once; an identical one is skipped while nothing that decides an order has changed since.
    struct SortRequest
    {
        PFNLVCOMPARE compare;
        int col;
        BOOL ascending;
        LPARAM data;
        BOOL result;
        unsigned changes;
    };
    int m_nSortDepth = 0;
    unsigned m_nContentChanges = 0;   // rises with every change of texts, data, rows or column order
    bool m_bNestedSortDone = false;
    SortRequest m_lastNestedSort = {};

    // Print job state: the printer font, the character size that measures every margin, the room
    // for non-fixed rows and columns on a page (logical units), the page in logical and in device
    // units, the first non-fixed row and column of the page being printed, and the page counts.
    CFont m_PrinterFont;
    CSize m_CharSize;
    int m_nPageHeight = 0;
    int m_nPageWidth = 0;
    CSize m_LogicalPageSize;
    CSize m_PaperSize;
    int m_nPrintColumn = 0;
    int m_nCurrPrintRow = 0;
    int m_nNumPages = 0;
    int m_nPageMultiplier = 0;
    // Margins in character units.
    int m_nHeaderHeight = 2, m_nFooterHeight = 2, m_nLeftMargin = 4, m_nRightMargin = 4;
    int m_nTopMargin = 1, m_nBottomMargin = 1, m_nGap = 1;

    friend class CGridDropTarget;
};
