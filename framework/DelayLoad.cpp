// Loading a system library on the first call of one of its functions, and the report when it fails.
#include "framework/DelayLoad.h"
#include "framework/Seams.h"

namespace
{
ProgramEnder g_ender;
}

void AfxSetDelayLoadFailureEnder(ProgramEnder ender)
{
    g_ender = std::move(ender);
}

CString DelayLoadFailureText(DelayLoadFailure failure, const char* library, const char* function, DWORD error)
{
    CString text;
    if (failure == DelayLoadFailure::Library)
        text.Format(L"The system library %s could not be loaded (error %lu), so this action cannot be carried out.\r\n"
                    L"The application will be closed.",
                    CString(library).GetString(), error);
    else
        text.Format(L"The system library %s has no function %s (error %lu), so this action cannot be carried out.\r\n"
                    L"The application will be closed.",
                    CString(library).GetString(), CString(function).GetString(), error);
    return text;
}

void AfxReportDelayLoadFailure(DelayLoadFailure failure, const char* library, const char* function, DWORD error)
{
    AfxShowMessageBox(nullptr, DelayLoadFailureText(failure, library, function, error), nullptr, MB_OK | MB_ICONSTOP);
    if (g_ender)
        g_ender(1);
    else
        ::ExitProcess(1);
}

extern "C" FARPROC WINAPI AfxResolveDelayLoad(const char* library, const char* function, FARPROC* slot)
{
    // A library already loaded (by the program or by the system) is used as it is.
    HMODULE module = ::GetModuleHandleA(library);
    if (!module)
        module = ::LoadLibraryA(library);
    if (!module)
    {
        AfxReportDelayLoadFailure(DelayLoadFailure::Library, library, function, ::GetLastError());
        return nullptr;
    }
    FARPROC address = ::GetProcAddress(module, function);
    if (!address)
    {
        AfxReportDelayLoadFailure(DelayLoadFailure::Function, library, function, ::GetLastError());
        return nullptr;
    }
    *slot = address;
    return address;
}
