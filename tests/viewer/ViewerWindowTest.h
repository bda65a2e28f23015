// A plain top-level window holding a BrowserCore, for tests of the browser without the framework:
// it records the events and pumps messages one at a time as the program's waits do.
#pragma once
#include "viewer/BrowserCore.h"
#include <functional>
#include <string>
#include <vector>

class TestBrowserWindow : public viewer::BrowserEvents
{
public:
    TestBrowserWindow();
    ~TestBrowserWindow() override;

    viewer::BrowserCore& Core() { return m_core; }
    HWND Hwnd() const { return m_hwnd; }

    void BeforeNavigate(const std::wstring& address, bool& cancel) override;
    void DocumentComplete(const std::wstring& address) override { completed.push_back(address); }
    bool OpenAddress(const std::wstring& address) override
    {
        opened.push_back(address);
        return openSucceeds;
    }
    void ShowMessage(const std::wstring& text) override { messages.push_back(text); }

    std::vector<std::wstring> navigations, completed, opened, messages;
    std::function<bool(const std::wstring&)> cancelWhen; // true cancels
    bool openSucceeds = true;

    // Page helpers over the document (empty when there is none or no such input).
    std::wstring Input(const std::wstring& id);
    void SetInput(const std::wstring& id, const std::wstring& value);
    bool Call(const std::wstring& function);
    void Send(const std::wstring& command)
    {
        SetInput(L"MsgText1", command);
        Call(L"Button2_onclick");
    }

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    viewer::BrowserCore m_core;
    HWND m_hwnd = nullptr;
};

// Pumps exactly one message of the thread, waiting for one when the queue is empty (with a watchdog
// that fails the test instead of hanging); false when none came.
bool PumpOne();
// Pumps until the queue is empty (no waiting).
void PumpPending();

std::wstring SamplePath(const std::wstring& name);

// Shows the container page and loads the PDF at docpath into it, pumping until its message handler
// is in place; false when the page has no DoLoadDoc.
bool LoadIntoContainer(TestBrowserWindow& window, const std::wstring& docpath);

// The client area's pixels as the window shows them after a full redraw (children included), or as
// it shows them now.
struct WindowPixels
{
    explicit WindowPixels(HWND hwnd, bool redrawFirst = true);
    COLORREF Pixel(int x, int y) const;
    int width = 0, height = 0;

private:
    std::vector<DWORD> m_bits;
};

// Where the first page's paper is drawn in a form window, found in the window's pixels (the first
// and last columns and the first row that differ from the grey around the pages), so that tests
// place points by what is on the screen rather than by the viewer's own layout arithmetic.
struct PaperOnScreen
{
    int left = 0, top = 0, right = 0; // right is one past the paper's last column
    // Window pixels per point for a page of that width in points.
    double Scale(double pageWidth) const { return (right - left) / pageWidth; }
};
// False (with a test failure) when the paper's edges are not both in view.
bool FindPaper(HWND form, PaperOnScreen& paper);
