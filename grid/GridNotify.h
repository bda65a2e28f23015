// The records the grid sends to its owner with WM_NOTIFY, and the notification codes it uses
// (list-view codes, so an owner can treat the grid like a list).
#pragma once
#include <windows.h>
#include <commctrl.h>
#include "framework/CString.h"
#include "grid/CellRange.h"

// Click, double-click, selection and drag notifications: which cell.
struct GridCellNotify
{
    NMHDR hdr;
    int iRow;
    int iColumn;
};

// The full description of one cell.
struct GridItem
{
    int row;
    int col;
    UINT mask;
    UINT nState;
    DWORD nFormat;
    int iImage;
    COLORREF crBkClr;
    COLORREF crFgClr;
    LPARAM lParam;
    LOGFONTW lfFont;
    UINT nMargin;
    CString strText;
};

// Edit notifications and display requests.
struct GridDispInfo
{
    NMHDR hdr;
    GridItem item;
};

// The range of cells the grid is about to read (or an empty range when it is done).
struct GridCacheHint
{
    NMHDR hdr;
    CCellRange range;
};

// Masks of GridItem.
const UINT GVIF_TEXT = LVIF_TEXT;
const UINT GVIF_IMAGE = LVIF_IMAGE;
const UINT GVIF_PARAM = LVIF_PARAM;
const UINT GVIF_STATE = LVIF_STATE;

// Cell state bits.
const UINT GVIS_FOCUSED = 0x0001;
const UINT GVIS_SELECTED = 0x0002;
const UINT GVIS_DROPHILITED = 0x0004;
const UINT GVIS_READONLY = 0x0008;
const UINT GVIS_FIXED = 0x0010;
const UINT GVIS_FIXEDROW = 0x0020;
const UINT GVIS_FIXEDCOL = 0x0040;
const UINT GVIS_MODIFIED = 0x0080;

// Notification codes.
const int GVN_BEGINDRAG = LVN_BEGINDRAG;            // -109
const int GVN_BEGINLABELEDIT = LVN_BEGINLABELEDITW;  // -175
const int GVN_ENDLABELEDIT = LVN_ENDLABELEDITW;      // -176
const int GVN_SELCHANGING = LVN_ITEMCHANGING;        // -100
const int GVN_SELCHANGED = LVN_ITEMCHANGED;          // -101
const int GVN_GETDISPINFO = LVN_GETDISPINFOW;        // -177
const int GVN_ODCACHEHINT = LVN_ODCACHEHINT;         // -113

// Grid-line modes.
const int GVL_NONE = 0;
const int GVL_HORZ = 1;
const int GVL_VERT = 2;
const int GVL_BOTH = 3;

// Auto-size styles: which rows are measured.
const int GVS_HEADER = 1;
const int GVS_DATA = 2;
const int GVS_BOTH = 3;
