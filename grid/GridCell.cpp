// The ordinary grid cell and the default cell of a kind of cell.
#include "grid/GridCell.h"

#include <algorithm>
#include "grid/GridCtrl.h"
#include "grid/InPlaceEdit.h"
#include "grid/SmallBlockPool.h"
#include <atomic>
#include <cwchar>
#include <new>

IMPLEMENT_DYNCREATE(CGridCell, CGridCellBase)
IMPLEMENT_DYNCREATE(CGridDefaultCell, CGridCell)

namespace {

// One font object serves every cell that has a font of its own; it is made anew for each request.
CFont& SharedCellFont()
{
    static CFont font;
    return font;
}

// The formats cells use are few (one per kind of cell and per column style), so a cell names its
// own format by an index into this table, filled on first use and never changed after; slot 0 is
// never used and a free slot holds -1, which is no format. Slots are claimed atomically, as a cell
// may be made on any thread.
const DWORD NO_FORMAT = static_cast<DWORD>(-1);
std::atomic<DWORD> g_sharedFormats[8] = {{NO_FORMAT}, {NO_FORMAT}, {NO_FORMAT}, {NO_FORMAT},
                                         {NO_FORMAT}, {NO_FORMAT}, {NO_FORMAT}, {NO_FORMAT}};

// The table index of the format, claiming a free slot for it; 0 when the table is full.
UINT_PTR SharedFormatIndex(DWORD format)
{
    for (UINT_PTR index = 1; index < 8; index++)
    {
        DWORD held = g_sharedFormats[index].load(std::memory_order_acquire);
        if (held == NO_FORMAT && g_sharedFormats[index].compare_exchange_strong(held, format))
            return index;
        if (held == format)
            return index;
    }
    return 0;
}

// Cells and short texts come from pools: a large grid holds millions of each, and the heap's own
// header and rounding would add a third to a cell. The pools are never destroyed, since cells of
// static grids may outlive any static object.
SmallBlockPool& CellPool()
{
    static SmallBlockPool* pool = new SmallBlockPool(sizeof(CGridCell));
    return *pool;
}

// Texts of up to 64 bytes with their terminator, in classes 4 bytes apart (the alignment a text
// needs); longer ones on the heap.
const size_t POOLED_TEXT_BYTES = 64;
const size_t TEXT_CLASS_STEP = 4;

SmallBlockPool& TextPool(size_t bytes)
{
    static SmallBlockPool** pools = [] {
        SmallBlockPool** made = new SmallBlockPool*[POOLED_TEXT_BYTES / TEXT_CLASS_STEP];
        for (size_t i = 0; i < POOLED_TEXT_BYTES / TEXT_CLASS_STEP; i++)
            made[i] = new SmallBlockPool((i + 1) * TEXT_CLASS_STEP, TEXT_CLASS_STEP);
        return made;
    }();
    return *pools[(bytes - 1) / TEXT_CLASS_STEP];
}

std::atomic<size_t> g_heapTextBlocks{0};
std::atomic<size_t> g_heapTextBytes{0};

void* NewTextBlock(size_t bytes)
{
    if (bytes <= POOLED_TEXT_BYTES)
        return TextPool(bytes).Allocate();
    void* block = ::operator new(bytes);
    g_heapTextBlocks.fetch_add(1, std::memory_order_relaxed);
    g_heapTextBytes.fetch_add(bytes, std::memory_order_relaxed);
    return block;
}

void FreeTextBlock(void* block, size_t bytes)
{
    if (bytes <= POOLED_TEXT_BYTES)
    {
        TextPool(bytes).Free(block);
        return;
    }
    ::operator delete(block);
    g_heapTextBlocks.fetch_sub(1, std::memory_order_relaxed);
    g_heapTextBytes.fetch_sub(bytes, std::memory_order_relaxed);
}

// A block's size is known from its text's length, which never changes while it is held. A shared
// block starts with the count of the cells holding it.
size_t OwnTextBytes(size_t length)
{
    return (length + 1) * sizeof(wchar_t);
}

size_t SharedTextBytes(size_t length)
{
    return sizeof(LONG) + (length + 1) * sizeof(wchar_t);
}

} // namespace

namespace {

// A byte is widened as the character of the same number (ASCII and Latin-1 alike).
inline wchar_t Widened(char byte)
{
    return static_cast<wchar_t>(static_cast<unsigned char>(byte));
}

inline wchar_t Widened(wchar_t character)
{
    return character;
}

} // namespace

static_assert(sizeof(CGridCell) == 6 * sizeof(void*), "a grid cell is kept to six words");

namespace {
std::atomic<size_t> g_attributeBlocks{0};
}

size_t CGridCell::LiveAttributeBlocks()
{
    return g_attributeBlocks.load(std::memory_order_relaxed);
}

size_t CGridCell::LiveTextBlocks()
{
    size_t live = g_heapTextBlocks.load(std::memory_order_relaxed);
    for (size_t bytes = TEXT_CLASS_STEP; bytes <= POOLED_TEXT_BYTES; bytes += TEXT_CLASS_STEP)
        live += TextPool(bytes).LiveBlocks();
    return live;
}

size_t CGridCell::LiveTextBytes()
{
    size_t live = g_heapTextBytes.load(std::memory_order_relaxed);
    for (size_t bytes = TEXT_CLASS_STEP; bytes <= POOLED_TEXT_BYTES; bytes += TEXT_CLASS_STEP)
        live += TextPool(bytes).LiveBlocks() * TextPool(bytes).BlockSize();
    return live;
}

void* CGridCell::operator new(size_t size)
{
    // A derived kind of cell of another size is made on the heap.
    return size == sizeof(CGridCell) ? CellPool().Allocate() : ::operator new(size);
}

void CGridCell::NewCells(CGridCell** cells, size_t count)
{
    const size_t BATCH = 256;
    void* blocks[BATCH];
    for (size_t first = 0; first < count; first += BATCH)
    {
        const size_t batch = std::min(BATCH, count - first);
        try
        {
            CellPool().AllocateMany(blocks, batch);
        }
        catch (const std::bad_alloc&)
        {
            for (size_t i = 0; i < first; i++)
                delete cells[i];
            throw;
        }
        for (size_t i = 0; i < batch; i++)
            cells[first + i] = ::new (blocks[i]) CGridCell;
    }
}

void CGridCell::operator delete(void* block, size_t size)
{
    if (size == sizeof(CGridCell))
        CellPool().Free(block);
    else
        ::operator delete(block);
}

bool CGridCellAttributes::AllDefault() const
{
    return image == -1 && format == NO_FORMAT && textClr == CLR_DEFAULT && backClr == CLR_DEFAULT
           && font == nullptr && margin == static_cast<UINT>(-1) && !editing && editWnd == nullptr;
}

// Every field starts at what Reset leaves, with nothing to free.
CGridCell::CGridCell() : m_text(0), m_lParam(0), m_pGrid(nullptr), m_attributes(0) {}

CGridCell::~CGridCell()
{
    FreeText();
    FreeAttributes();
}

void CGridCell::Reset()
{
    CGridCellBase::Reset();
    FreeText();
    m_lParam = 0;
    FreeAttributes();
    m_attributes = 0;
    m_pGrid = nullptr;
}

CGridCellAttributes& CGridCell::MakeAttributes()
{
    if (CGridCellAttributes* block = Attributes())
        return *block;
    // Made with its alignment asked for, so the pointer's low four bits are free for the index and
    // the flag; a background kept in the cell's word moves into the block.
    void* memory = ::operator new(sizeof(CGridCellAttributes), std::align_val_t(alignof(CGridCellAttributes)));
    CGridCellAttributes* block = new (memory) CGridCellAttributes;
    g_attributeBlocks.fetch_add(1, std::memory_order_relaxed);
    block->backClr = OwnBackColour();
    m_attributes = reinterpret_cast<UINT_PTR>(block) | (m_attributes & FORMAT_INDEX_MASK);
    return *block;
}

void CGridCell::FreeAttributes()
{
    CGridCellAttributes* block = Attributes();
    if (!block)
        return;
    delete block->font;
    block->~CGridCellAttributes();
    ::operator delete(block, std::align_val_t(alignof(CGridCellAttributes)));
    g_attributeBlocks.fetch_sub(1, std::memory_order_relaxed);
    m_attributes &= FORMAT_INDEX_MASK;
}

void CGridCell::ReleaseAttributesIfDefault()
{
    CGridCellAttributes* block = Attributes();
    if (!block)
        return;
    // A block left holding nothing but a plain background gives it back to the cell's word.
    const COLORREF back = block->backClr;
    if (back != CLR_DEFAULT && (back & 0xFF000000u) != 0)
        return;
    block->backClr = CLR_DEFAULT;
    const bool allDefault = block->AllDefault();
    block->backClr = back;
    if (!allDefault)
        return;
    FreeAttributes();
    SetBackClr(back);
}

void CGridCell::FreeText()
{
    if (!m_text)
        return;
    wchar_t* text = reinterpret_cast<wchar_t*>(m_text & ~SHARED_TEXT);
    const size_t length = wcslen(text);
    if (m_text & SHARED_TEXT)
    {
        volatile LONG* holders = reinterpret_cast<LONG*>(text) - 1;
        if (::InterlockedDecrement(holders) == 0)
            FreeTextBlock(const_cast<LONG*>(holders), SharedTextBytes(length));
    }
    else
    {
        FreeTextBlock(text, OwnTextBytes(length));
    }
    m_text = 0;
}

void CGridCell::SetText(LPCTSTR text)
{
    SetTextOf(text, text ? wcslen(text) : 0);
}

void CGridCell::SetText(const wchar_t* text, size_t length)
{
    SetTextOf(text, length);
}

void CGridCell::SetText(const char* ascii, size_t length)
{
    SetTextOf(ascii, length);
}

template <class Char>
void CGridCell::SetTextOf(const Char* text, size_t length)
{
    // The text ends at a NUL within it, as every reader of the cell sees it; a block's size is
    // found again from that length when it is freed.
    for (size_t i = 0; i < length; i++)
        if (text[i] == 0)
        {
            length = i;
            break;
        }
    if (length == 0)
    {
        FreeText();
        return;
    }
    // Characters are copied one by one: texts are short, and a call to the library costs more.
    // A text of the same length goes into the block the cell holds alone (the new text may be the
    // old one); a shared block is left to its other holders.
    if (m_text && !(m_text & SHARED_TEXT) && wcslen(reinterpret_cast<wchar_t*>(m_text)) == length)
    {
        wchar_t* own = reinterpret_cast<wchar_t*>(m_text);
        if (static_cast<const void*>(own) != static_cast<const void*>(text))
            for (size_t i = 0; i < length; i++)
                own[i] = Widened(text[i]);
        return;
    }
    // Copied before the old block goes, since text may lie in it.
    wchar_t* copy = static_cast<wchar_t*>(NewTextBlock(OwnTextBytes(length)));
    for (size_t i = 0; i < length; i++)
        copy[i] = Widened(text[i]);
    copy[length] = L'\0';
    FreeText();
    m_text = reinterpret_cast<UINT_PTR>(copy);
}

bool CGridCell::TextEquals(const wchar_t* text, size_t length) const
{
    return TextIs(text, length);
}

bool CGridCell::TextEquals(const char* ascii, size_t length) const
{
    return TextIs(ascii, length);
}

template <class Char>
bool CGridCell::TextIs(const Char* text, size_t length) const
{
    // As SetText would store it: up to a NUL within the length.
    const wchar_t* own = CGridCell::GetText();
    for (size_t i = 0; i < length; i++)
    {
        if (own[i] != Widened(text[i]))
            return false;
        if (own[i] == L'\0')
            return true;
    }
    return own[length] == L'\0';
}

void CGridCell::ShareText(CGridCell& source)
{
    if (&source == this || m_text == source.m_text)
        return;
    if (!source.m_text)
    {
        FreeText();
        return;
    }
    if (!(source.m_text & SHARED_TEXT))
    {
        // The source's own copy moves into a block that counts its holders.
        wchar_t* own = reinterpret_cast<wchar_t*>(source.m_text);
        const size_t length = wcslen(own);
        LONG* block = static_cast<LONG*>(NewTextBlock(SharedTextBytes(length)));
        *block = 1;
        wmemcpy(reinterpret_cast<wchar_t*>(block + 1), own, length + 1);
        FreeTextBlock(own, OwnTextBytes(length));
        source.m_text = reinterpret_cast<UINT_PTR>(block + 1) | SHARED_TEXT;
    }
    ::InterlockedIncrement(reinterpret_cast<volatile LONG*>(source.m_text & ~SHARED_TEXT) - 1);
    FreeText();
    m_text = source.m_text;
}

void CGridCell::SetImage(int image)
{
    if (image == -1 && !Attributes())
        return;
    MakeAttributes().image = image;
    ReleaseAttributesIfDefault();
}

int CGridCell::GetImage() const
{
    const CGridCellAttributes* block = Attributes();
    return block ? block->image : -1;
}

void CGridCell::SetFormat(DWORD format)
{
    UINT_PTR index = format == NO_FORMAT ? 0 : SharedFormatIndex(format);
    m_attributes = (m_attributes & ~FORMAT_INDEX_MASK) | index;
    if (index != 0 || format == NO_FORMAT)
    {
        if (CGridCellAttributes* block = Attributes())
        {
            block->format = NO_FORMAT;
            ReleaseAttributesIfDefault();
        }
        return;
    }
    MakeAttributes().format = format;
}

DWORD CGridCell::OwnFormat() const
{
    UINT_PTR index = m_attributes & FORMAT_INDEX_MASK;
    if (index != 0)
        return g_sharedFormats[index].load(std::memory_order_relaxed);
    const CGridCellAttributes* block = Attributes();
    return block ? block->format : NO_FORMAT;
}

void CGridCell::SetTextClr(COLORREF clr)
{
    if (clr == CLR_DEFAULT && !Attributes())
        return;
    MakeAttributes().textClr = clr;
    ReleaseAttributesIfDefault();
}

COLORREF CGridCell::GetTextClr() const
{
    const CGridCellAttributes* block = Attributes();
    return block ? block->textClr : CLR_DEFAULT;
}

void CGridCell::SetBackClr(COLORREF clr)
{
    if (!Attributes())
    {
        // A plain RGB colour (or none) fits the cell's own word; palette colours need the block.
        if (clr == CLR_DEFAULT)
        {
            m_attributes &= FORMAT_INDEX_MASK;
            return;
        }
        if ((clr & 0xFF000000u) == 0)
        {
            m_attributes = (static_cast<UINT_PTR>(clr) << BACK_COLOUR_SHIFT) | OWN_BACK_COLOUR |
                           (m_attributes & FORMAT_INDEX_MASK);
            return;
        }
    }
    MakeAttributes().backClr = clr;
    ReleaseAttributesIfDefault();
}

COLORREF CGridCell::GetBackClr() const
{
    const CGridCellAttributes* block = Attributes();
    return block ? block->backClr : OwnBackColour();
}

void CGridCell::SetMargin(UINT margin)
{
    if (margin == static_cast<UINT>(-1) && !Attributes())
        return;
    MakeAttributes().margin = margin;
    ReleaseAttributesIfDefault();
}

void CGridCell::SetFont(const LOGFONT* font)
{
    if (!font)
    {
        if (CGridCellAttributes* block = Attributes())
        {
            delete block->font;
            block->font = nullptr;
            ReleaseAttributesIfDefault();
        }
        return;
    }
    CGridCellAttributes& block = MakeAttributes();
    if (!block.font)
        block.font = new LOGFONT;
    *block.font = *font;
}

LOGFONT* CGridCell::OwnFont() const
{
    const CGridCellAttributes* block = Attributes();
    return block ? block->font : nullptr;
}

CWnd* CGridCell::GetEditWnd() const
{
    const CGridCellAttributes* block = Attributes();
    return block ? block->editWnd : nullptr;
}

BOOL CGridCell::IsEditing() const
{
    const CGridCellAttributes* block = Attributes();
    return block ? block->editing : FALSE;
}

DWORD CGridCell::GetFormat() const
{
    DWORD format = OwnFormat();
    if (format != NO_FORMAT)
        return format;
    CGridCellBase* def = GetDefaultCell();
    return def ? def->GetFormat() : 0;
}

UINT CGridCell::GetMargin() const
{
    const CGridCellAttributes* block = Attributes();
    if (block && block->margin != static_cast<UINT>(-1))
        return block->margin;
    CGridCellBase* def = GetDefaultCell();
    return def ? def->GetMargin() : 0;
}

LOGFONT* CGridCell::GetFont() const
{
    if (LOGFONT* font = OwnFont())
        return font;
    CGridCellBase* def = GetDefaultCell();
    return def ? def->GetFont() : nullptr;
}

CFont* CGridCell::GetFontObject() const
{
    if (LOGFONT* own = OwnFont())
    {
        CFont& font = SharedCellFont();
        font.DeleteObject();
        font.CreateFontIndirect(own);
        return &font;
    }
    CGridCellBase* def = GetDefaultCell();
    return def ? def->GetFontObject() : nullptr;
}

BOOL CGridCell::Edit(int row, int col, CRect rect, CPoint point, UINT id, UINT ch)
{
    if (IsEditing())
    {
        CWnd* editor = GetEditWnd();
        if (editor && editor->GetSafeHwnd())
            ::SendMessage(editor->GetSafeHwnd(), WM_CHAR, ch, 0);
        return TRUE;
    }
    DWORD format = GetFormat();
    DWORD style = ES_LEFT;
    if (format & DT_RIGHT)
        style = ES_RIGHT;
    else if (format & DT_CENTER)
        style = ES_CENTER;
    MakeAttributes().editing = TRUE;
    CWnd* editor = new CInPlaceEdit(GetGrid(), rect, style, id, row, col, GetText(), ch);
    // The block is looked up again: the editor's creation may have ended the edit and freed it.
    MakeAttributes().editWnd = editor;
    if (!editor->GetSafeHwnd())
    {
        // No window, so nothing will ever end this edit: the cell is not left editing.
        delete editor;
        OnEndEdit();
    }
    return TRUE;
}

void CGridCell::EndEdit()
{
    if (CWnd* editor = GetEditWnd())
        static_cast<CInPlaceEdit*>(editor)->EndEdit();
}

void CGridCell::OnEndEdit()
{
    if (CGridCellAttributes* block = Attributes())
    {
        block->editing = FALSE;
        block->editWnd = nullptr;
        ReleaseAttributesIfDefault();
    }
}

CGridDefaultCell::CGridDefaultCell() : m_Size(30, 10), m_dwStyle(0)
{
    CGridCell::SetFormat(DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    CGridCell::SetTextClr(CLR_DEFAULT);
    CGridCell::SetBackClr(CLR_DEFAULT);

    // The metrics record is asked for without its last field, as older systems know it.
    union
    {
        NONCLIENTMETRICSW metrics;
        BYTE bytes[504];
    } buffer;
    ZeroMemory(&buffer, sizeof(buffer));
    buffer.metrics.cbSize = 500;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, 500, &buffer.metrics, 0))
        SetFont(&buffer.metrics.lfMessageFont);
}

CGridDefaultCell::~CGridDefaultCell()
{
    m_Font.DeleteObject();
}

void CGridDefaultCell::SetFont(const LOGFONT* font)
{
    if (!font)
        return;
    m_Font.DeleteObject();
    m_Font.CreateFontIndirect(font);
    CGridCell::SetFont(font);

    HDC hdc = ::GetDC(nullptr);
    if (!hdc)
    {
        SetMargin(3);
        m_Size = CSize(40, 16);
        return;
    }
    HGDIOBJ old = SelectObject(hdc, m_Font.GetSafeHandle());
    SIZE space = {0, 0};
    GetTextExtentPoint32W(hdc, L" ", 1, &space);
    SetMargin(space.cx);
    SIZE sample = {0, 0};
    GetTextExtentPoint32W(hdc, L" XXXXXXXXXXXX ", 14, &sample);
    // One and a half text heights, but never less than a header cell needs to show its text whole:
    // the text height, the margin above and below it, and one pixel for the raised edge. With less,
    // a font whose space is wide cuts descenders and underscores off the headings.
    const int whole = static_cast<int>(sample.cy) + 2 * static_cast<int>(space.cx) + 1;
    m_Size = CSize(sample.cx, std::max(static_cast<int>(sample.cy * 3 / 2), whole));
    SelectObject(hdc, old);
    ::ReleaseDC(nullptr, hdc);
}
