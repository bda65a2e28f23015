// Paths of the current form's files.
#include "pages/FormPageHost.h"

CString FormFilePath(const FormPageHost& host, const wchar_t* extension)
{
    CString path = host.GetStoreFolder();
    if (path.IsEmpty() || path[path.GetLength() - 1] != L'\\')
        path += L'\\';
    path += host.GetFormName();
    path += extension;
    return path;
}
