// CFormsteadApp: the application object. Start-up prepares GDI+, the common controls and OLE,
// refuses to run without the container page or a readable master database, reads the logo and the
// updates address, and creates the document, the main frame and the view; exit removes the logo file.
#pragma once
#include "app/CommandLine.h"
#include "framework/Framework.h"

class CFormsteadApp : public CWinApp
{
    DECLARE_DYNAMIC(CFormsteadApp)
public:
    CFormsteadApp();

    CCommandLine m_cmdInfo;
    CString m_strUpdatesAddress;
    ULONG_PTR m_gdiplusToken = 0;

    BOOL InitInstance() override;
    int ExitInstance() override;

protected:
    // The command line the start-up parses; the program's own unless a test sets another.
    CString m_strCommandLine;
    bool m_bGdiplusStarted = false;
    friend class FormsteadAppTestAccess;
};

extern const wchar_t kInitErrorCaption[];
