// CImageList: an owned Win32 image list with the members window code uses to fill it and draw
// its images.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include "framework/Gdi.h"

class CImageList
{
public:
    CImageList() = default;
    ~CImageList() { DeleteImageList(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    HIMAGELIST m_hImageList = nullptr;
    operator HIMAGELIST() const { return m_hImageList; }

    BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
    BOOL DeleteImageList();
    int GetImageCount() const { return m_hImageList ? ImageList_GetImageCount(m_hImageList) : 0; }
    // Adds a bitmap; pixels of maskColour are transparent when the list has a mask. Answers the index
    // of the first new image, or -1.
    int Add(CBitmap* bitmap, COLORREF maskColour);
    BOOL GetImageInfo(int image, IMAGEINFO* info) const;
    BOOL Draw(CDC* pDC, int image, POINT point, UINT style);
};
