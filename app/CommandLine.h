// CCommandLine: the program's one command-line setting, test mode ("test" after an optional '/' or
// '-', case-sensitive; every argument sets the mode anew, so the last one decides).
#pragma once
#include "framework/App.h"

class CCommandLine : public CCommandLineInfo
{
public:
    void ParseParam(const TCHAR* pszParam, BOOL bFlag, BOOL bLast) override;

    BOOL m_bTestMode = 0;
};
