// Starts the program's start-up in the test process on real windows: a master database made for the
// test in a temporary current folder, the container page beside the test executable, every message
// box recorded by the sink; and ends it again the way the user would (closing the main window).
#pragma once
#include "app/FormsteadApp.h"
#include "app/MainFrame.h"
#include "app/FormsteadView.h"
#include "tests/support/TempFolder.h"
#include <memory>
#include <string>
#include <vector>

struct RecordedMessage
{
    CString text;
    CString caption;
    HWND owner = nullptr;
};

// What the master database of a test holds; a null title or address is stored as SQL NULL.
struct MasterContent
{
    bool withRow = true;
    const char* title = "Test Title";
    const char* address = "http://localhost:8000/";
    std::string logo;   // BMP bytes; empty for none
};

// A BMP file of the given size filled with one colour.
std::string SolidBmp(int width, int height, COLORREF colour);
// Makes Vantorel.gdb at the path with a Logo table as the content says.
bool MakeMasterDatabase(const std::wstring& path, const MasterContent& content);
// The test executable's folder, with its final backslash.
std::wstring TestProgramFolder();
// Handles every message waiting in the queue, as the program's loop would.
void PumpPending();
// The texts of a combo box's items, in the order it lists them.
std::vector<std::wstring> ComboItems(HWND combo);

// A bitmap of the given size selected into a memory device context, for sampling drawn pixels.
struct MemoryCanvas
{
    CDC dc;
    CBitmap bitmap;
    CBitmap* previous = nullptr;
    MemoryCanvas(int width, int height);
    ~MemoryCanvas();
};

class FormsteadAppTestAccess
{
public:
    static void SetCommandLine(CFormsteadApp& app, const wchar_t* commandLine) { app.m_strCommandLine = commandLine; }
};

class ProgramRun
{
public:
    explicit ProgramRun(bool programPages = false);
    ~ProgramRun();

    TempFolder folder;                      // the current folder while the program runs
    std::vector<RecordedMessage> messages;  // every message box, in order
    std::unique_ptr<CFormsteadApp> app;

    // Runs the start-up with the command line; answers what InitInstance answered. The messages the
    // start-up left in the queue are then handled, unless handlePending is false.
    BOOL Start(const wchar_t* commandLine = L"Formstead.exe test", bool handlePending = true);
    // Closes the main window as the user would and runs the exit routine.
    void Close();

    CMainFrame* Frame() const;
    CFormsteadView* View() const;

private:
    wchar_t m_savedFolder[MAX_PATH] = {};
    bool m_exited = false;
};
