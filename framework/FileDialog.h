// CFileDialog: the system's open and save file dialogs (through the file-chooser seam), with the
// filter given as "Name|pattern|...|" text.
#pragma once
#include <vector>
#include "framework/Dialog.h"

class CFileDialog : public CDialog
{
    DECLARE_DYNAMIC(CFileDialog)
public:
    explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr, LPCTSTR lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
                         CWnd* pParentWnd = nullptr);

    INT_PTR DoModal() override;
    CString GetPathName() const;
    CString GetFileName() const;
    CString GetFileExt() const;
    CString GetFileTitle() const;
    // Several files chosen with OFN_ALLOWMULTISELECT: iterate over their full paths.
    POSITION GetStartPosition() const;
    CString GetNextPathName(POSITION& pos) const;

    OPENFILENAMEW m_ofn;

protected:
    BOOL m_bOpenFileDialog;
    std::vector<wchar_t> m_fileBuffer;
    std::wstring m_filter;
    CString m_defExt;
    std::vector<CString> SplitChoice() const;
};
