// The letterhead chooser "Header" (template 167): a text line or a logo image; either choice sends
// the collection data again so that the statement shows the new letterhead.
#pragma once
#include "framework/Dialog.h"

class CCollectionsPage;

class StatementHeader : public CDialog
{
public:
    enum { IDD = 167 };
    explicit StatementHeader(CCollectionsPage* page, CWnd* parent = nullptr);

protected:
    afx_msg void OnInsertLogo();
    afx_msg void OnInsertText();

    CCollectionsPage* m_page;

    DECLARE_MESSAGE_MAP()
};
