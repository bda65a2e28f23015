// The text letterhead dialog: filled from the settings, saved on "OK" as a text letterhead.
#include "pages/HeaderText.h"

#include "export/HeaderSettings.h"

namespace {
const UINT kText = 1024, kSize = 1026, kFont = 1030;
const wchar_t* const kSizes[] = {L"7", L"8", L"10", L"12", L"14", L"16", L"18", L"20", L"22", L"24", L"26", L"32", L"64"};
const wchar_t* const kFonts[] = {L"Arial", L"Myriad Pro Black", L"Calibri", L"Arial Black", L"Cambria", L"Courier New",
                                 L"Helvetica", L"Times New Roman"};
} // namespace

BOOL HeaderText::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_sizes.SubclassDlgItem(kSize, this);
    // Both combo boxes sort their items as text.
    for (const wchar_t* size : kSizes) m_sizes.AddString(size);
    for (const wchar_t* font : kFonts) ::SendDlgItemMessageW(m_hWnd, kFont, CB_ADDSTRING, 0, (LPARAM)font);
    const HeaderSettings settings;
    SetDlgItemText(kText, settings.m_strText);
    SetDlgItemText(kFont, settings.m_strFontName);
    // The first item that begins with the stored size, searched from the second item on.
    m_sizes.SetCurSel(static_cast<int>(m_sizes.SendMessage(CB_FINDSTRING, 0, (LPARAM)settings.m_strSize.GetString())));
    return TRUE;
}

void HeaderText::OnOK()
{
    CString text, font, size;
    GetDlgItemText(kText, text);
    GetDlgItemText(kFont, font);
    const int chosen = m_sizes.GetCurSel();
    if (chosen >= 0) m_sizes.GetLBText(chosen, size);
    else GetDlgItemText(kSize, size); // a size typed that matches no item
    HeaderSettings settings;
    settings.SaveText(text, size, font);
    settings.SetHeaderType(true);
    settings.Load();
    EndDialog(IDOK);
}
