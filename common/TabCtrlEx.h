// CTabCtrlEx: a tab control that draws its own tabs, the selected one dark red with its own text
// colour and font, the others grey with theirs.
#pragma once
#include "framework/Controls.h"

class CTabCtrlEx : public CTabCtrl
{
public:
    CTabCtrlEx() = default;

    void SetColours(COLORREF selected, COLORREF normal);
    // Makes both fonts from the control's current font (or the system's message font) with the given
    // weights and flags; the control itself then uses the heavier of the two, which sets the tab sizes.
    void SetupFonts(int selectedWeight, BOOL selectedItalic, BOOL selectedUnderline,
                    int normalWeight, BOOL normalItalic, BOOL normalUnderline);
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

    COLORREF GetSelectedColour() const { return m_crSelected; }
    COLORREF GetNormalColour() const { return m_crNormal; }
    CFont& GetSelectedFont() { return m_fontSelected; }
    CFont& GetNormalFont() { return m_fontNormal; }

protected:
    void PreSubclassWindow() override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);

    COLORREF m_crSelected = RGB(0, 0, 255);
    COLORREF m_crNormal = RGB(50, 50, 50);
    CFont m_fontSelected;
    CFont m_fontNormal;

    DECLARE_MESSAGE_MAP()
};
