// System libraries loaded when the program first calls one of their functions (cmake/DelayLoad.cmake
// makes the import pointers that lead here). When such a library, or the function asked for, cannot be
// found, the call cannot be made: the user is told which library and function and the program ends,
// instead of crashing.
#pragma once
#include <windows.h>
#include <functional>
#include "framework/CString.h"

// The function of the library (loaded now when it is not yet), also stored in *slot, the import
// pointer the call went through, so that later calls go straight to it. Reports a failure below.
extern "C" FARPROC WINAPI AfxResolveDelayLoad(const char* library, const char* function, FARPROC* slot);

enum class DelayLoadFailure
{
    Library,    // the library cannot be loaded
    Function,   // the library has no such function
};

// The message for a failure; error is the system's error code.
CString DelayLoadFailureText(DelayLoadFailure failure, const char* library, const char* function, DWORD error);

// Shows that message and ends the program with exit code 1, through the ender.
void AfxReportDelayLoadFailure(DelayLoadFailure failure, const char* library, const char* function, DWORD error);

// How the report ends the program: ExitProcess, unless a test sets another (an empty function restores it).
using ProgramEnder = std::function<void(UINT exitCode)>;
void AfxSetDelayLoadFailureEnder(ProgramEnder ender);
