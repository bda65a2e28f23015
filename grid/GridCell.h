// The ordinary grid cell (text, data, image, format, colours, font, margin, in-place editor) and the
// default cell that holds the fallback values and the measured default size of one kind of cell.
#pragma once
#include "grid/GridCellBase.h"

class CGridCell : public CGridCellBase
{
    DECLARE_DYNCREATE(CGridCell)
public:
    CGridCell();
    ~CGridCell() override;
    CGridCell(const CGridCell&) = delete;
    // Assignment copies through the getters and setters, as for any cell.
    using CGridCellBase::operator=;
    CGridCell& operator=(const CGridCell& cell)
    {
        CGridCellBase::operator=(cell);
        return *this;
    }

    void SetText(LPCTSTR text) override { m_strText = text; }
    void SetImage(int image) override { m_nImage = image; }
    void SetData(LPARAM data) override { m_lParam = data; }
    void SetFormat(DWORD format) override { m_nFormat = format; }
    void SetTextClr(COLORREF clr) override { m_crFgClr = clr; }
    void SetBackClr(COLORREF clr) override { m_crBkClr = clr; }
    void SetFont(const LOGFONT* font) override;
    void SetMargin(UINT margin) override { m_nMargin = margin; }
    void SetGrid(CGridCtrl* grid) override { m_pGrid = grid; }

    LPCTSTR GetText() const override { return m_strText.GetString(); }
    int GetImage() const override { return m_nImage; }
    LPARAM GetData() const override { return m_lParam; }
    DWORD GetFormat() const override;
    COLORREF GetTextClr() const override { return m_crFgClr; }
    COLORREF GetBackClr() const override { return m_crBkClr; }
    LOGFONT* GetFont() const override;
    CFont* GetFontObject() const override;
    CGridCtrl* GetGrid() const override { return m_pGrid; }
    CWnd* GetEditWnd() const override { return m_pEditWnd; }
    UINT GetMargin() const override;

    BOOL IsDefaultFont() const override { return m_plfFont == nullptr; }
    BOOL IsEditing() const override { return m_bEditing; }
    void Reset() override;

    BOOL Edit(int row, int col, CRect rect, CPoint point, UINT id, UINT ch) override;
    void EndEdit() override;
    void OnEndEdit() override;

protected:
    CString m_strText;
    LPARAM m_lParam;
    int m_nImage;
    DWORD m_nFormat;
    COLORREF m_crFgClr;
    COLORREF m_crBkClr;
    LOGFONT* m_plfFont;
    UINT m_nMargin;
    BOOL m_bEditing;
    CGridCtrl* m_pGrid;
    CWnd* m_pEditWnd;
};

class CGridDefaultCell : public CGridCell
{
    DECLARE_DYNCREATE(CGridDefaultCell)
public:
    CGridDefaultCell();
    ~CGridDefaultCell() override;

    DWORD GetState() const override { return CGridCell::GetState() | GVIS_READONLY; }
    void SetFont(const LOGFONT* font) override;
    LOGFONT* GetFont() const override { return m_plfFont; }
    CFont* GetFontObject() const override { return const_cast<CFont*>(&m_Font); }

    virtual DWORD GetStyle() const { return m_dwStyle; }
    virtual void SetStyle(DWORD style) { m_dwStyle = style; }
    virtual int GetWidth() const { return m_Size.cx; }
    virtual int GetHeight() const { return m_Size.cy; }
    virtual void SetWidth(int width) { m_Size.cx = width; }
    virtual void SetHeight(int height) { m_Size.cy = height; }

protected:
    CSize m_Size;
    CFont m_Font;
    DWORD m_dwStyle;
};
