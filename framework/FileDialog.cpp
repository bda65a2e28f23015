// CFileDialog over the file-chooser seam: the "Name|pattern|" filter turned into the system's
// NUL-separated form, and the chosen names read back (one file or several).
#include "framework/FileDialog.h"
#include "framework/Seams.h"
#include "framework/App.h"
#include "framework/Dialog.h"

IMPLEMENT_DYNAMIC(CFileDialog, CDialog)

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog), m_fileBuffer(32768, L'\0'), m_defExt(lpszDefExt)
{
    m_pParentWnd = pParentWnd;
    ZeroMemory(&m_ofn, sizeof(m_ofn));
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.Flags = dwFlags | OFN_EXPLORER | OFN_ENABLESIZING;
    if (lpszFileName)
        lstrcpynW(m_fileBuffer.data(), lpszFileName, (int)m_fileBuffer.size());
    if (lpszFilter)
    {
        m_filter = lpszFilter;
        for (wchar_t& ch : m_filter)
            if (ch == L'|')
                ch = L'\0';
        m_filter.push_back(L'\0');
    }
}

INT_PTR CFileDialog::DoModal()
{
    m_ofn.hwndOwner = CDialog::ModalOwnerFor(m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : AfxGetMainWnd()->GetSafeHwnd());
    m_ofn.lpstrFile = m_fileBuffer.data();
    m_ofn.nMaxFile = (DWORD)m_fileBuffer.size();
    m_ofn.lpstrFilter = m_filter.empty() ? nullptr : m_filter.c_str();
    m_ofn.lpstrDefExt = m_defExt.IsEmpty() ? nullptr : m_defExt.GetString();
    return AfxChooseFile(m_ofn, m_bOpenFileDialog != FALSE) ? IDOK : IDCANCEL;
}

// With several files the buffer holds the folder, then each name, each ended by a NUL.
std::vector<CString> CFileDialog::SplitChoice() const
{
    std::vector<CString> parts;
    const wchar_t* p = m_fileBuffer.data();
    while (*p && p < m_fileBuffer.data() + m_fileBuffer.size())
    {
        parts.emplace_back(p);
        p += lstrlenW(p) + 1;
        if (!(m_ofn.Flags & OFN_ALLOWMULTISELECT))
            break;
    }
    std::vector<CString> paths;
    if (parts.size() <= 1)
        return parts;
    CString folder = parts[0];
    if (folder.Right(1) != L"\\")
        folder += L"\\";
    for (size_t i = 1; i < parts.size(); ++i)
        paths.push_back(folder + parts[i]);
    return paths;
}

CString CFileDialog::GetPathName() const
{
    std::vector<CString> paths = SplitChoice();
    return paths.empty() ? CString() : paths.front();
}

CString CFileDialog::GetFileName() const
{
    CString path = GetPathName();
    return path.Mid(path.ReverseFind(L'\\') + 1);
}

CString CFileDialog::GetFileExt() const
{
    CString name = GetFileName();
    int dot = name.ReverseFind(L'.');
    return dot < 0 ? CString() : name.Mid(dot + 1);
}

CString CFileDialog::GetFileTitle() const
{
    CString name = GetFileName();
    int dot = name.ReverseFind(L'.');
    return dot < 0 ? name : name.Left(dot);
}

POSITION CFileDialog::GetStartPosition() const
{
    return SplitChoice().empty() ? nullptr : (POSITION)(INT_PTR)1;
}

CString CFileDialog::GetNextPathName(POSITION& pos) const
{
    std::vector<CString> paths = SplitChoice();
    size_t index = (size_t)(INT_PTR)pos - 1;
    if (!pos || index >= paths.size())
    {
        pos = nullptr;
        return CString();
    }
    pos = index + 1 < paths.size() ? (POSITION)(INT_PTR)(index + 2) : nullptr;
    return paths[index];
}
