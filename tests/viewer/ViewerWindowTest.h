// A plain top-level window holding a BrowserCore, for tests of the browser without the framework:
// it records the events and pumps messages one at a time as the program's waits do.
#pragma once
#include "tests/support/WindowPixels.h"
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
