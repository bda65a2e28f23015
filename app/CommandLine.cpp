// Test mode from the command line; no argument is handed to the framework's own parsing, so the
// shell command stays "new document".
#include "app/CommandLine.h"

void CCommandLine::ParseParam(const TCHAR* pszParam, BOOL, BOOL)
{
    m_bTestMode = lstrcmpW(pszParam, L"test") == 0;
}
