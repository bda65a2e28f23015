// The edit control that opens over a grid cell to change its text. It reports the result to the
// grid as an end-of-edit notification and deletes itself when its window goes.
#pragma once
#include "framework/Controls.h"

class CInPlaceEdit : public CEdit
{
public:
    CInPlaceEdit(CWnd* parent, CRect& rect, DWORD style, UINT id, int nRow, int nColumn, CString initText,
                 UINT firstChar);

    void EndEdit();
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void PostNcDestroy() override;
    afx_msg void OnKillFocus(CWnd* newWnd);
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg UINT OnGetDlgCode();
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    DECLARE_MESSAGE_MAP()

private:
    void SelectAllAndScroll();

    int m_nRow;
    int m_nColumn;
    CString m_sInitText;
    UINT m_nLastChar;
    BOOL m_bExitOnArrows;
    CRect m_Rect;
};
