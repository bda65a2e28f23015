// "Insert Logo" and "Insert Text" of the letterhead chooser.
#include "pages/StatementHeader.h"

#include "export/HeaderSettings.h"
#include "framework/FileDialog.h"
#include "framework/Seams.h"
#include "pages/CollectionsPage.h"
#include "pages/HeaderText.h"

BEGIN_MESSAGE_MAP(StatementHeader, CDialog)
    ON_BN_CLICKED(1015, OnInsertLogo)
    ON_BN_CLICKED(1016, OnInsertText)
END_MESSAGE_MAP()

StatementHeader::StatementHeader(CCollectionsPage* page, CWnd* parent)
    : CDialog(IDD, parent ? parent : page), m_page(page)
{
}

void StatementHeader::OnInsertText()
{
    HeaderText dialog(this);
    if (dialog.DoModal() != IDOK) {
        EndDialog(IDCANCEL);
        return;
    }
    if (m_page) m_page->BuildAndSendCollections();
    EndDialog(IDOK);
}

void StatementHeader::OnInsertLogo()
{
    HeaderSettings settings;
    const CString lastPath = settings.GetImagePath();
    CFileDialog chooser(TRUE, nullptr, lastPath, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                        L"Image files (*.jpg,*.jpeg)|*.jpg;*.jpeg|", this);
    if (chooser.DoModal() != IDOK) return; // the chooser stays open
    CString error;
    if (!settings.StoreImage(chooser.GetPathName(), &error)) {
        AfxShowMessageBox(m_hWnd, error, nullptr, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    settings.SetHeaderType(false);
    if (m_page) m_page->BuildAndSendCollections();
    EndDialog(IDOK);
}
