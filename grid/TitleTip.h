// A borderless top-most popup that shows a grid cell's whole text when the cell clips it. Clicks and
// keys that reach it are handed to the window beneath, so the tip never gets in the user's way.
#pragma once
#include "framework/Wnd.h"

#define TITLETIP_CLASSNAME L"ZTitleTip"

class CTitleTip : public CWnd
{
public:
    CTitleTip();
    ~CTitleTip() override;

    BOOL Create(CWnd* parent);
    void SetParentWnd(CWnd* parent) { m_pParentWnd = parent; }
    CWnd* GetParentWnd() const { return m_pParentWnd; }
    void Show(CRect titleRect, LPCTSTR text, int xOffset = 0, LPRECT hoverRect = nullptr,
              const LOGFONT* font = nullptr, COLORREF textClr = CLR_DEFAULT, COLORREF backClr = CLR_DEFAULT);
    void Hide();
    BOOL DestroyWindow() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    // Hands a mouse press at a screen point to the window beneath the tip.
    void ForwardClick(UINT message, WPARAM wParam, POINT screenPoint);

    CWnd* m_pParentWnd;
    CRect m_rectTitle;
    CRect m_rectHover;
    DWORD m_dwLastLButtonDown;
    DWORD m_dwDblClickMsecs;
    BOOL m_bCreated;
};
