// An off-screen device context over a target DC: drawing goes into a bitmap the size of the target's
// clip box, which is copied to the target in one BitBlt when the object goes. On a printer DC it
// draws straight into the target.
#pragma once
#include "framework/Gdi.h"
#include "grid/DibCanvas.h"

// A bitmap kept from one paint to the next, so that repeated paints of a window reuse its memory.
struct PaintBuffer
{
    CBitmap bitmap;
    CSize size;
};

// The off-screen bitmap for a target: on a 32-bit display a 32-bit DIB section, whose pixels cell
// texts can be put into directly (it is copied to the screen as fast as a compatible bitmap); on
// any other, or when the section cannot be made, a bitmap compatible with the target.
inline void CreatePaintBitmap(CBitmap& bitmap, CDC* target, int width, int height)
{
    HDC hdc = target->GetSafeHdc();
    if (::GetDeviceCaps(hdc, BITSPIXEL) * ::GetDeviceCaps(hdc, PLANES) == 32)
    {
        DWORD* bits = nullptr;
        if (HBITMAP section = CreateDib32(hdc, width, height, &bits))
        {
            bitmap.Attach(section);
            return;
        }
    }
    bitmap.CreateCompatibleBitmap(target, width, height);
}

class CMemDC : public CDC
{
public:
    explicit CMemDC(CDC* target, PaintBuffer* buffer = nullptr)
        : m_pOldBitmap(nullptr), m_pDC(target), m_bMemDC(!target->IsPrinting())
    {
        if (m_bMemDC)
        {
            ::GetClipBox(target->GetSafeHdc(), &m_rect);
            CreateCompatibleDC(target);
            CBitmap* bitmap = &m_bitmap;
            if (buffer)
            {
                if (!buffer->bitmap.GetSafeHandle() || buffer->size.cx < m_rect.Width() || buffer->size.cy < m_rect.Height())
                {
                    buffer->bitmap.DeleteObject();
                    CreatePaintBitmap(buffer->bitmap, target, m_rect.Width(), m_rect.Height());
                    buffer->size = CSize(m_rect.Width(), m_rect.Height());
                }
                bitmap = &buffer->bitmap;
            }
            else
            {
                CreatePaintBitmap(m_bitmap, target, m_rect.Width(), m_rect.Height());
            }
            m_pOldBitmap = SelectObject(bitmap);
            ::SetWindowOrgEx(m_hDC, m_rect.left, m_rect.top, nullptr);
            // A kept bitmap may be larger than this paint: drawing stops at the target's clip box,
            // so that a paint of a strip costs a strip.
            ::IntersectClipRect(m_hDC, m_rect.left, m_rect.top, m_rect.right, m_rect.bottom);
            HBRUSH background = ::CreateSolidBrush(::GetBkColor(target->GetSafeHdc()));
            ::FillRect(m_hDC, &m_rect, background);
            ::DeleteObject(background);
        }
        else
        {
            m_bPrinting = target->IsPrinting();
            m_hDC = target->m_hDC;
            m_hAttribDC = target->m_hAttribDC;
        }
    }

    ~CMemDC() override
    {
        if (m_bMemDC)
        {
            ::BitBlt(m_pDC->GetSafeHdc(), m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(),
                     m_hDC, m_rect.left, m_rect.top, SRCCOPY);
            if (m_pOldBitmap)
                SelectObject(m_pOldBitmap);
            DeleteDC();
        }
        else
        {
            // The handles belong to the target.
            m_hDC = m_hAttribDC = nullptr;
        }
    }

private:
    CBitmap m_bitmap;
    CBitmap* m_pOldBitmap;
    CDC* m_pDC;
    CRect m_rect;
    BOOL m_bMemDC;
};
