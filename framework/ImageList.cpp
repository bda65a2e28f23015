// CImageList over the common controls' image lists.
#include "framework/ImageList.h"

BOOL CImageList::Create(int cx, int cy, UINT flags, int initial, int grow)
{
    DeleteImageList();
    m_hImageList = ImageList_Create(cx, cy, flags, initial, grow);
    return m_hImageList != nullptr;
}

BOOL CImageList::DeleteImageList()
{
    if (!m_hImageList)
        return FALSE;
    ImageList_Destroy(m_hImageList);
    m_hImageList = nullptr;
    return TRUE;
}

int CImageList::Add(CBitmap* bitmap, COLORREF maskColour)
{
    if (!m_hImageList || !bitmap)
        return -1;
    return ImageList_AddMasked(m_hImageList, static_cast<HBITMAP>(bitmap->GetSafeHandle()), maskColour);
}

BOOL CImageList::GetImageInfo(int image, IMAGEINFO* info) const
{
    if (!m_hImageList || image < 0 || image >= GetImageCount())
        return FALSE;
    return ImageList_GetImageInfo(m_hImageList, image, info);
}

BOOL CImageList::Draw(CDC* pDC, int image, POINT point, UINT style)
{
    if (!m_hImageList || !pDC)
        return FALSE;
    return ImageList_Draw(m_hImageList, image, pDC->GetSafeHdc(), point.x, point.y, style);
}
