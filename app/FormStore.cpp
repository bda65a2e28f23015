// The form store folder and the current form within it.
#include "app/FormStore.h"
#include "framework/Seams.h"

CString ProgramFolderOf(const CString& modulePath)
{
    return modulePath.Left(modulePath.ReverseFind(L'\\') + 1);
}

CString ExecutableBaseName(const CString& modulePath)
{
    CString name = modulePath.Mid(modulePath.ReverseFind(L'\\') + 1);
    int dot = name.ReverseFind(L'.');
    return dot < 0 ? name : name.Left(dot);
}

CString ComposeStoreFolder(bool testMode, const CString& programFolder, const CString& modulePath,
                           const CString& appDataFolder)
{
    if (testMode)
        return programFolder;
    return appDataFolder + L"\\Formstead\\0x03\\" + ExecutableBaseName(modulePath);
}

CString PrepareStoreFolder(bool testMode, const CString& programFolder)
{
    wchar_t modulePath[1024] = {};
    ::GetModuleFileNameW(nullptr, modulePath, 1024);
    if (testMode)
        return ComposeStoreFolder(true, programFolder, modulePath, CString());
    const CString appData = AfxGetAppDataFolder();
    CString store = ComposeStoreFolder(false, programFolder, modulePath, appData);
    // Each level of the chain below the application-data folder, created when missing.
    CString level = appData;
    int start = level.GetLength() + 1;
    while (start <= store.GetLength())
    {
        int end = store.Find(L'\\', start);
        level = end < 0 ? store : store.Left(end);
        ::CreateDirectoryW(level, nullptr);
        if (end < 0)
            break;
        start = end + 1;
    }
    return store;
}

CString FirstFormIn(const CString& storeFolder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW(storeFolder + L"\\*.pdf", &found);
    if (search == INVALID_HANDLE_VALUE)
        return CString();
    ::FindClose(search);
    return ExecutableBaseName(found.cFileName);   // the same cut: the name up to its last full stop
}
