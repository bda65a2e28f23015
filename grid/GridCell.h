// The ordinary grid cell (text, data, image, format, colours, font, margin, in-place editor) and the
// default cell that holds the fallback values and the measured default size of one kind of cell.
#pragma once
#include <typeinfo>
#include "grid/GridCellBase.h"

// The attributes that few cells set. A cell makes this block when it is given a value other than
// the default for one of them, and frees it again once every one is back at its default. A plain
// background colour alone (a search mark) needs no block: the cell keeps it in its own word.
struct alignas(16) CGridCellAttributes
{
    int image = -1;
    DWORD format = static_cast<DWORD>(-1);   // only a format the shared table has no room for
    COLORREF textClr = CLR_DEFAULT;
    COLORREF backClr = CLR_DEFAULT;
    LOGFONT* font = nullptr;                 // owned
    UINT margin = static_cast<UINT>(-1);
    BOOL editing = FALSE;
    CWnd* editWnd = nullptr;

    bool AllDefault() const;
};

class CGridCell : public CGridCellBase
{
    DECLARE_DYNCREATE(CGridCell)
public:
    CGridCell();
    ~CGridCell() override;
    CGridCell(const CGridCell&) = delete;
    // Plain cells come from a pool of blocks of their size.
    static void* operator new(size_t size);
    static void operator delete(void* block, size_t size);
    // count new cells, as new CGridCell makes them, taken from the pool together; throws
    // std::bad_alloc (with none made) when the system has no memory left.
    static void NewCells(CGridCell** cells, size_t count);
    // Assignment copies through the getters and setters, as for any cell.
    using CGridCellBase::operator=;
    CGridCell& operator=(const CGridCell& cell)
    {
        CGridCellBase::operator=(cell);
        return *this;
    }

    void SetText(LPCTSTR text) override;
    void SetImage(int image) override;
    void SetData(LPARAM data) override { m_lParam = data; }
    void SetFormat(DWORD format) override;
    void SetTextClr(COLORREF clr) override;
    void SetBackClr(COLORREF clr) override;
    void SetFont(const LOGFONT* font) override;
    void SetMargin(UINT margin) override;
    void SetGrid(CGridCtrl* grid) override { m_pGrid = grid; }

    LPCTSTR GetText() const override
    {
        const wchar_t* text = reinterpret_cast<const wchar_t*>(m_text & ~SHARED_TEXT);
        return text ? text : L"";
    }
    int GetImage() const override;
    LPARAM GetData() const override { return m_lParam; }
    DWORD GetFormat() const override;
    COLORREF GetTextClr() const override;
    COLORREF GetBackClr() const override;
    LOGFONT* GetFont() const override;
    CFont* GetFontObject() const override;
    CGridCtrl* GetGrid() const override { return m_pGrid; }
    CWnd* GetEditWnd() const override;
    UINT GetMargin() const override;

    BOOL IsDefaultFont() const override { return OwnFont() == nullptr; }
    BOOL IsEditing() const override;
    void Reset() override;

    BOOL Edit(int row, int col, CRect rect, CPoint point, UINT id, UINT ch) override;
    void EndEdit() override;
    void OnEndEdit() override;

    // SetText for a text of known length that need not be terminated: UTF-16, or bytes each
    // widened to the character of its number (ASCII, Latin-1).
    void SetText(const wchar_t* text, size_t length);
    void SetText(const char* ascii, size_t length);
    // Whether the cell's text is these length characters (UTF-16, or bytes widened as above).
    bool TextEquals(const wchar_t* text, size_t length) const;
    bool TextEquals(const char* ascii, size_t length) const;

    // Makes this cell hold the same text as source, as one block that both hold (nothing is copied);
    // a later SetText on either gives that cell a text of its own. For a fill that meets the same
    // values again and again in a column.
    void ShareText(CGridCell& source);
    // Whether the cell's text is a block held with other cells.
    bool HasSharedText() const { return (m_text & SHARED_TEXT) != 0; }

    // Whether the cell holds a block of rarely set attributes (memory beyond the cell and its text).
    bool HasAttributeBlock() const { return Attributes() != nullptr; }
    // Blocks of rarely set attributes held by all cells of the process.
    static size_t LiveAttributeBlocks();
    // Text blocks held by all cells of the process (a shared block counts once).
    static size_t LiveTextBlocks();
    // The bytes of those blocks.
    static size_t LiveTextBytes();

protected:
    LOGFONT* OwnFont() const;

    // A cell is kept small, since a grid holds millions: the text is a copy (null when empty), from
    // a pool of blocks of its size class when short, or a block shared by cells of equal text (bit 0
    // set; the holders' count lies in the word before the characters). The rare attributes live in
    // the block, whose pointer's low three bits name the cell's own format in a small table shared
    // by all cells (0: the format is in the block, or the cell has none). Without a block, bit 3 set says that bits
    // 8 to 31 hold the cell's background as a plain RGB colour: marking every cell of a large list
    // then costs no memory at all.
    UINT_PTR m_text;
    LPARAM m_lParam;
    CGridCtrl* m_pGrid;
    UINT_PTR m_attributes;

private:
    static const UINT_PTR SHARED_TEXT = 1;
    void FreeText();
    template <class Char> void SetTextOf(const Char* text, size_t length);
    template <class Char> bool TextIs(const Char* text, size_t length) const;
    static const UINT_PTR FORMAT_INDEX_MASK = 7;
    static const UINT_PTR OWN_BACK_COLOUR = 8;
    static const UINT_PTR LOW_BITS = 15;
    static const int BACK_COLOUR_SHIFT = 8;
    CGridCellAttributes* Attributes() const
    {
        if (m_attributes & OWN_BACK_COLOUR)
            return nullptr;
        return reinterpret_cast<CGridCellAttributes*>(m_attributes & ~LOW_BITS);
    }
    // The background kept in the cell's word; CLR_DEFAULT when there is none.
    COLORREF OwnBackColour() const
    {
        return (m_attributes & OWN_BACK_COLOUR) ? static_cast<COLORREF>(m_attributes >> BACK_COLOUR_SHIFT)
                                                : CLR_DEFAULT;
    }
    CGridCellAttributes& MakeAttributes();
    // Frees the block once nothing in it differs from the defaults.
    void ReleaseAttributesIfDefault();
    void FreeAttributes();
    DWORD OwnFormat() const;
};

// Whether the cell is exactly the ordinary cell, not a kind derived from it (which need not name a
// runtime class of its own, so the C++ type is asked). The type's record is compared by address
// first: within one module that settles it without comparing names.
inline bool IsOrdinaryGridCell(const CGridCellBase& cell)
{
    const std::type_info& type = typeid(cell);
    return &type == &typeid(CGridCell) || type == typeid(CGridCell);
}

class CGridDefaultCell : public CGridCell
{
    DECLARE_DYNCREATE(CGridDefaultCell)
public:
    CGridDefaultCell();
    ~CGridDefaultCell() override;

    DWORD GetState() const override { return CGridCell::GetState() | GVIS_READONLY; }
    void SetFont(const LOGFONT* font) override;
    LOGFONT* GetFont() const override { return OwnFont(); }
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
