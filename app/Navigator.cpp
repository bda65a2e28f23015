// The step bar and its panel: steps, arrows, colours, layout and the logo drawn from the logo file.
#include "app/Navigator.h"
#include "formdb/MasterDatabase.h"
#include "resources/resource.h"

CFont g_navigatorTitleFont;

namespace
{
const COLORREF kCurrentStepColour = RGB(192, 0, 0);
const COLORREF kOtherStepColour = RGB(128, 128, 128);
const COLORREF kWhite = RGB(255, 255, 255);
}

BEGIN_MESSAGE_MAP(CNavButtons, CDialog)
    ON_WM_CTLCOLOR()
    ON_STN_CLICKED(IDC_NEXT_ARROW, OnNext)
    ON_STN_CLICKED(IDC_BACK_ARROW, OnBack)
END_MESSAGE_MAP()

CNavButtons::CNavButtons()
{
    m_brush.CreateSolidBrush(kWhite);
}

BOOL CNavButtons::OnInitDialog()
{
    CDialog::OnInitDialog();
    CRect client;
    GetClientRect(&client);

    CStatic* next = static_cast<CStatic*>(GetDlgItem(IDC_NEXT_ARROW));
    CStatic* back = static_cast<CStatic*>(GetDlgItem(IDC_BACK_ARROW));
    HINSTANCE resources = AfxGetResourceHandle();
    if (next)
    {
        m_nextArrow.DeleteObject();
        m_nextArrow.Attach(::LoadBitmapW(resources, MAKEINTRESOURCEW(IDB_NEXT_ARROW)));
        next->SetBitmap((HBITMAP)m_nextArrow.m_hObject);
        CRect rect;
        next->GetWindowRect(&rect);
        ScreenToClient(&rect);
        rect.left = client.Width() - 50;
        next->MoveWindow(&rect);
    }
    if (back)
    {
        m_backArrow.DeleteObject();
        m_backArrow.Attach(::LoadBitmapW(resources, MAKEINTRESOURCEW(IDB_BACK_ARROW)));
        back->SetBitmap((HBITMAP)m_backArrow.m_hObject);
        CRect rect;
        back->GetWindowRect(&rect);
        ScreenToClient(&rect);
        rect.left = 5;
        rect.right = 50;
        back->MoveWindow(&rect);
    }
    if (CWnd* step = GetDlgItem(IDC_STEP_SELECT_FORM))
        step->ShowWindow(SW_HIDE);
    if (CWnd* step = GetDlgItem(IDC_STEP_SELECT_TYPE))
        step->ShowWindow(SW_HIDE);

    // The captions keep their font for as long as they exist (a font released while a control uses
    // it would leave the control drawing with a deleted font).
    m_captionFont.CreatePointFont(120, L"Times New Roman");
    for (int id : {IDC_STEP_SELECT_FORM, IDC_STEP_SELECT_TYPE, IDC_STEP_CREATE_RECORD, IDC_STEP_VIEW_DATABASE})
        if (CWnd* step = GetDlgItem(id))
            step->SetFont(&m_captionFont, FALSE);
    if (CWnd* step = GetDlgItem(IDC_STEP_CREATE_RECORD))
    {
        step->SetWindowText(L"1\n\nCreate New Record");
        step->MoveWindow(110, 30, 200, 100);
    }
    if (CWnd* step = GetDlgItem(IDC_STEP_VIEW_DATABASE))
    {
        step->SetWindowText(L"2\n\nDatabase");
        step->MoveWindow(350, 30, 100, 100);
    }

    if (m_title.SubclassDlgItem(IDC_PANEL_TITLE, this))
    {
        if (!g_navigatorTitleFont.m_hObject)
            g_navigatorTitleFont.CreatePointFont(200, L"Arial");
        m_title.SetWindowText(L"CMS-1500 Collections / Patients Statements");
        m_title.SetFont(&g_navigatorTitleFont);
    }
    return TRUE;
}

Navigator* CNavButtons::GetNavigator() const
{
    CWnd* parent = CWnd::FromHandlePermanent(::GetParent(m_hWnd));
    return parent && parent->IsKindOf(RUNTIME_CLASS(Navigator)) ? static_cast<Navigator*>(parent) : nullptr;
}

HBRUSH CNavButtons::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT)
{
    Navigator* navigator = GetNavigator();
    UINT id = pWnd ? (UINT)pWnd->GetDlgCtrlID() : 0;
    if (navigator && id == navigator->GetCurrentStepId())
        pDC->SetTextColor(kCurrentStepColour);
    else if (navigator && navigator->IsStepId(id))
        pDC->SetTextColor(kOtherStepColour);
    else if (id == IDC_PANEL_TITLE)
        pDC->SetTextColor(kCurrentStepColour);
    pDC->SetBkColor(kWhite);
    return m_brush;
}

void CNavButtons::OnNext()
{
    if (Navigator* navigator = GetNavigator())
        navigator->NextStep();
}

void CNavButtons::OnBack()
{
    if (Navigator* navigator = GetNavigator())
        navigator->PrevStep();
}

IMPLEMENT_DYNAMIC(Navigator, CDialogBar)

BEGIN_MESSAGE_MAP(Navigator, CDialogBar)
    ON_WM_SIZE()
    ON_WM_DRAWITEM()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

Navigator::Navigator()
{
    m_brush.CreateSolidBrush(kWhite);
}

void Navigator::AddStep(UINT nID)
{
    if (m_nStepCount < kMaxSteps)
        m_steps[m_nStepCount++] = nID;
}

bool Navigator::IsStepId(UINT nID) const
{
    for (int i = 0; i < m_nStepCount; ++i)
        if (m_steps[i] == nID)
            return true;
    return false;
}

void Navigator::SetStep(int nStep)
{
    if (nStep < 0 || nStep > m_nStepCount - 1)
        return;
    m_nCurrentStep = nStep;
    CWnd* parent = CWnd::FromHandlePermanent(::GetParent(m_hWnd));
    if (parent && parent->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
    {
        if (CDocument* document = static_cast<CFrameWnd*>(parent)->GetActiveDocument())
        {
            document->SetModifiedFlag(TRUE);
            document->UpdateAllViews(nullptr);
        }
    }
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void Navigator::OnSize(UINT nType, int cx, int cy)
{
    CDialogBar::OnSize(nType, cx, cy);
    if (!m_buttons.m_hWnd)
        return;
    CRect bar, panel;
    GetClientRect(&bar);
    m_buttons.GetWindowRect(&panel);
    ScreenToClient(&panel);
    int left = bar.Width() / 2 - panel.Width() / 2;
    if (left < 0)
        left = 0;
    int top = (bar.Height() - panel.Height()) / 2;
    m_buttons.MoveWindow(left, top, panel.Width(), panel.Height());
    if (CWnd* logo = GetDlgItem(IDC_LOGO))
    {
        CRect rect;
        logo->GetWindowRect(&rect);
        ScreenToClient(&rect);
        logo->MoveWindow(rect.left, rect.top, left, rect.Height());
    }
}

void Navigator::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (nIDCtl != IDC_LOGO)
    {
        CDialogBar::OnDrawItem(nIDCtl, lpDrawItemStruct);
        return;
    }
    // The logo file is read at each drawing; without it nothing is drawn.
    HBITMAP logo = (HBITMAP)::LoadImageW(nullptr, LogoFilePath(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    if (!logo)
        return;
    BITMAP info = {};
    ::GetObjectW(logo, sizeof(info), &info);
    HDC memory = ::CreateCompatibleDC(lpDrawItemStruct->hDC);
    HGDIOBJ old = ::SelectObject(memory, logo);
    CRect area;
    ::GetClientRect(lpDrawItemStruct->hwndItem, &area);
    ::SetStretchBltMode(lpDrawItemStruct->hDC, COLORONCOLOR);
    ::StretchBlt(lpDrawItemStruct->hDC, 0, 0, area.Width(), area.Height(), memory, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    ::DeleteObject(logo);
}

HBRUSH Navigator::OnCtlColor(CDC* pDC, CWnd*, UINT)
{
    pDC->SetBkColor(kWhite);
    return m_brush;
}
