// The step bar at the top of the main frame (Navigator) with the logo and the step panel
// (CNavButtons): two steps, "Create New Record" (form page) and "Database" (records page), and a back
// and a next arrow. Changing the step makes the view show the page of the new step.
#pragma once
#include "framework/Framework.h"

class Navigator;

class CNavButtons : public CDialog
{
public:
    enum { IDD = 147 };
    CNavButtons();

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnNext();
    afx_msg void OnBack();
    Navigator* GetNavigator() const;

    CBrush m_brush;
    CStatic m_title;
    CFont m_captionFont;   // the step captions' font, alive as long as the captions
    CBitmap m_nextArrow;   // the arrows' bitmaps: the statics show them but do not own them
    CBitmap m_backArrow;
    DECLARE_MESSAGE_MAP()
};

class Navigator : public CDialogBar
{
    DECLARE_DYNAMIC(Navigator)
public:
    enum { IDD = 103, kMaxSteps = 32 };
    Navigator();

    void AddStep(UINT nID);
    void SetStep(int nStep);
    void NextStep() { SetStep(m_nCurrentStep + 1); }
    void PrevStep() { SetStep(m_nCurrentStep - 1); }
    UINT GetCurrentStepId() const { return GetStepId(m_nCurrentStep); }
    UINT GetStepId(int nStep) const { return nStep >= 0 && nStep < m_nStepCount ? m_steps[nStep] : 0; }
    int GetCurrentStep() const { return m_nCurrentStep; }
    int GetStepCount() const { return m_nStepCount; }
    bool IsStepId(UINT nID) const;

    CBrush m_brush;
    CNavButtons m_buttons;

protected:
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

    int m_nCurrentStep = 0;
    UINT m_steps[kMaxSteps] = {};
    int m_nStepCount = 0;
    DECLARE_MESSAGE_MAP()
};

// The step panel's title font (20-point Arial), alive to the program's end.
extern CFont g_navigatorTitleFont;
