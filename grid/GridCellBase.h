// The abstract grid cell: state flags and selected colours, and every cell operation as a virtual
// function. Painting, measuring and printing are written once here over the virtual getters.
#pragma once
#include <windows.h>
#include <memory>
#include "framework/CString.h"
#include "framework/Object.h"
#include "framework/Gdi.h"
#include "grid/GridNotify.h"
#include "grid/CellTextBatch.h"

class CGridCtrl;
class CGridDefaultCell;
class CFont;
class CWnd;

class CGridCellBase : public CObject
{
    DECLARE_DYNAMIC(CGridCellBase)
public:
    CGridCellBase();
    virtual ~CGridCellBase() {}

    virtual void SetText(LPCTSTR text) = 0;
    virtual void SetImage(int image) = 0;
    virtual void SetData(LPARAM data) = 0;
    virtual void SetState(DWORD state) { m_nState = state; }
    virtual void SetFormat(DWORD format) = 0;
    virtual void SetTextClr(COLORREF clr) = 0;
    virtual void SetBackClr(COLORREF clr) = 0;
    virtual void SetFont(const LOGFONT* font) = 0;
    virtual void SetMargin(UINT margin) = 0;
    virtual void SetGrid(CGridCtrl* grid) = 0;
    virtual void SetCoords(int row, int col) {}

    virtual LPCTSTR GetText() const = 0;
    virtual LPCTSTR GetTipText() const { return GetText(); }
    virtual int GetImage() const = 0;
    virtual LPARAM GetData() const = 0;
    virtual DWORD GetState() const { return m_nState; }
    virtual DWORD GetFormat() const = 0;
    virtual COLORREF GetTextClr() const = 0;
    virtual COLORREF GetBackClr() const = 0;
    virtual LOGFONT* GetFont() const = 0;
    virtual CFont* GetFontObject() const = 0;
    virtual CGridCtrl* GetGrid() const = 0;
    virtual CWnd* GetEditWnd() const = 0;
    virtual UINT GetMargin() const = 0;
    virtual CGridCellBase* GetDefaultCell() const;

    virtual BOOL IsDefaultFont() const = 0;
    virtual BOOL IsEditing() const = 0;
    virtual BOOL IsFocused() const { return m_nState & GVIS_FOCUSED; }
    virtual BOOL IsFixed() const { return m_nState & GVIS_FIXED; }
    virtual BOOL IsFixedCol() const { return m_nState & GVIS_FIXEDCOL; }
    virtual BOOL IsFixedRow() const { return m_nState & GVIS_FIXEDROW; }
    virtual BOOL IsSelected() const { return m_nState & GVIS_SELECTED; }
    virtual BOOL IsReadOnly() const { return m_nState & GVIS_READONLY; }
    virtual BOOL IsModified() const { return m_nState & GVIS_MODIFIED; }
    virtual BOOL IsDropHighlighted() const { return m_nState & GVIS_DROPHILITED; }

    virtual void operator=(const CGridCellBase& cell);
    virtual void Reset() { m_nState = 0; }

    virtual BOOL Draw(CDC* pDC, int row, int col, CRect rect, BOOL eraseBkgnd = TRUE);
    virtual BOOL GetTextRect(LPRECT rect);
    virtual BOOL GetTipTextRect(LPRECT rect) { return GetTextRect(rect); }
    virtual CSize GetTextExtent(LPCTSTR text, CDC* pDC = nullptr);
    virtual CSize GetCellExtent(CDC* pDC);

    virtual BOOL Edit(int row, int col, CRect rect, CPoint point, UINT id, UINT ch) { return FALSE; }
    virtual BOOL ValidateEdit(LPCTSTR text) { return TRUE; }
    virtual void EndEdit() {}
    virtual BOOL PrintCell(CDC* pDC, int row, int col, CRect rect);
    virtual void OnEndEdit() {}

    virtual void OnMouseEnter() {}
    virtual void OnMouseOver() {}
    virtual void OnMouseLeave() {}
    virtual void OnClick(CPoint pointCellRelative) {}
    virtual void OnClickDown(CPoint pointCellRelative) {}
    virtual void OnRClick(CPoint pointCellRelative) {}
    virtual void OnDblClick(CPoint pointCellRelative) {}
    virtual BOOL OnSetCursor();

    // The pieces of GetTextExtent and GetCellExtent, for measuring many cells on one DC: the extent
    // of an empty text; a text's extent from its plain extent in the cell's font (margins added,
    // turned for a vertical font); a cell's extent from its text's extent (the image added).
    CSize EmptyTextExtent() const;
    CSize TextExtentFromMeasured(CSize size) const;
    CSize CellExtentFromText(CSize text) const;

    // Every cell paints its selection in the same colours, so they are constants, not fields.
    COLORREF GetSelectedTextClr() const { return RGB(0, 0, 0); }
    COLORREF GetSelectedBackClr() const { return RGB(0xCC, 0xCC, 0xCC); }

protected:
    DWORD m_nState;

private:
    void DrawSortArrow(HDC hdc, CRect& rect);
    void DrawRaisedEdge(HDC hdc, const CRect& rect);
};

// Sets a DC up for drawing many cells of one kind, as a paint of the grid does: the background mode,
// text colour and font that the kind's default cell draws with, so that each cell's Draw finds them
// set and changes nothing for a cell that keeps the defaults; and keeps the widths of that font's
// characters, so that a cell's text is measured without a call to the system. The DC's attributes
// are put back when the object goes. Cell texts that need no clipping wait in it to be drawn with
// their neighbours in one call. Draw gives the same pixels with or without it.
class CellPaintRun
{
public:
    CellPaintRun(HDC hdc, CGridCellBase* defaultCell);
    ~CellPaintRun();
    CellPaintRun(const CellPaintRun&) = delete;
    CellPaintRun& operator=(const CellPaintRun&) = delete;

    struct FontMetrics;
    // The innermost run on the DC, or none.
    static CellPaintRun* ActiveOn(HDC hdc);
    // The run font's measures, or none when they cannot be had.
    const FontMetrics* Metrics() const { return m_metrics.get(); }
    // How the run font's glyphs are placed, or none when texts cannot be drawn together.
    const GlyphTable* Glyphs() const { return m_glyphs; }
    // Cell texts waiting to be drawn together; drawn at the latest when the run ends.
    CellTextBatch& Texts() { return m_texts; }

private:
    HDC m_hdc;
    int m_bkMode;
    COLORREF m_textColour;
    HGDIOBJ m_font;
    std::unique_ptr<FontMetrics> m_metrics;
    const GlyphTable* m_glyphs = nullptr;
    CellTextBatch m_texts;
    CellPaintRun* m_outer;
};
