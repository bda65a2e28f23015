// The in-process program run of the app tests.
#include "ProgramFixture.h"
#include "formdb/Database.h"
#include "formdb/DatabaseStatement.h"
#include "app/ViewPages.h"
#include <algorithm>

std::string SolidBmp(int width, int height, COLORREF colour)
{
    int rowSize = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = rowSize * height;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + info.biSizeImage;
    std::string bytes((const char*)&file, sizeof(file));
    bytes.append((const char*)&info, sizeof(info));
    std::string row(rowSize, '\0');
    for (int x = 0; x < width; ++x)
    {
        row[x * 3] = (char)GetBValue(colour);
        row[x * 3 + 1] = (char)GetGValue(colour);
        row[x * 3 + 2] = (char)GetRValue(colour);
    }
    for (int y = 0; y < height; ++y)
        bytes += row;
    return bytes;
}

bool MakeMasterDatabase(const std::wstring& path, const MasterContent& content)
{
    Database db;
    if (!db.Create(path.c_str()))
        return false;
    if (!db.Execute("CREATE TABLE Logo (id INTEGER PRIMARY KEY, logo BLOB, name TEXT, updates TEXT, title TEXT)"))
        return false;
    if (!content.withRow)
        return true;
    Statement insert;
    if (!insert.Prepare(db, "INSERT INTO Logo (id, logo, name, updates, title) VALUES (1, ?, 'test', ?, ?)"))
        return false;
    if (content.logo.empty())
        insert.BindNull(1);
    else
        insert.BindBlob(1, content.logo.data(), (int)content.logo.size());
    content.address ? insert.BindText(2, content.address) : insert.BindNull(2);
    content.title ? insert.BindText(3, content.title) : insert.BindNull(3);
    return insert.Run();
}

std::wstring TestProgramFolder()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

MemoryCanvas::MemoryCanvas(int width, int height)
{
    CClientDC screen(nullptr);
    dc.CreateCompatibleDC(&screen);
    bitmap.CreateCompatibleBitmap(&screen, width, height);
    previous = dc.SelectObject(&bitmap);
}

MemoryCanvas::~MemoryCanvas()
{
    dc.SelectObject(previous);
}

std::vector<std::wstring> ComboItems(HWND combo)
{
    std::vector<std::wstring> items;
    const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const int length = static_cast<int>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0));
        std::wstring text(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
        text.resize(static_cast<size_t>(std::max(length, 0)));
        items.push_back(text);
    }
    return items;
}

void PumpPending()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        if (msg.message == WM_QUIT)
            continue;   // the closed main window's quit request; no loop runs in the tests
        if (!CWnd::WalkPreTranslateTree(nullptr, &msg))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

ProgramRun::ProgramRun(bool programPages)
{
    // The frame and view tests use plain pages: the form page's own behaviour has its own tests.
    SetViewPageFactory(programPages ? nullptr : &PlainPages());
    ::GetCurrentDirectoryW(MAX_PATH, m_savedFolder);
    ::SetCurrentDirectoryW(folder.Path().c_str());
    AfxSetMessageBoxSink([this](HWND owner, const CString& text, const CString& caption, UINT) {
        messages.push_back({text, caption, owner});
        return IDOK;
    });
}

ProgramRun::~ProgramRun()
{
    Close();
    app.reset();
    AfxSetMessageBoxSink(nullptr);
    SetViewPageFactory(nullptr);
    ::SetCurrentDirectoryW(m_savedFolder);
}

BOOL ProgramRun::Start(const wchar_t* commandLine, bool handlePending)
{
    app.reset(new CFormsteadApp);
    app->m_hInstance = ::GetModuleHandleW(nullptr);
    FormsteadAppTestAccess::SetCommandLine(*app, commandLine);
    BOOL started = app->InitInstance();
    if (!started && app->m_pMainWnd)
        app->m_pMainWnd->DestroyWindow();
    if (!started)
    {
        app->ExitInstance();
        m_exited = true;
    }
    if (handlePending)
        PumpPending();
    return started;
}

void ProgramRun::Close()
{
    if (!app || m_exited)
        return;
    if (app->m_pMainWnd)
        app->m_pMainWnd->SendMessage(WM_CLOSE);
    PumpPending();
    app->ExitInstance();
    m_exited = true;
}

CMainFrame* ProgramRun::Frame() const
{
    CWnd* main = app ? app->m_pMainWnd : nullptr;
    return main && main->IsKindOf(RUNTIME_CLASS(CMainFrame)) ? static_cast<CMainFrame*>(main) : nullptr;
}

CFormsteadView* ProgramRun::View() const
{
    CMainFrame* frame = Frame();
    CView* view = frame ? frame->GetActiveView() : nullptr;
    return view && view->IsKindOf(RUNTIME_CLASS(CFormsteadView)) ? static_cast<CFormsteadView*>(view) : nullptr;
}
