// A stand-in debug viewer for trace tests: a real hidden top-level window of the class the traces look
// for in this test process, with the multi-line edit control 1020 that collects the lines.
#pragma once
#include <windows.h>
#include <string>

class TraceViewer
{
public:
    // className null: the class this process's traces look for (DebugViewerClass()).
    explicit TraceViewer(LRESULT probeAnswer = 0, const char* className = nullptr);
    ~TraceViewer();
    TraceViewer(const TraceViewer&) = delete;
    TraceViewer& operator=(const TraceViewer&) = delete;

    // True when the window and its edit control exist and the window is the one FindWindow finds.
    bool Ready() const;
    HWND Window() const { return m_window; }
    void SetProbeAnswer(LRESULT answer) { m_probeAnswer = answer; }
    // How many times the probe WM_USER+4 was asked.
    int Probes() const { return m_probes; }
    std::wstring Text() const;
    std::string TextA() const;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    std::string m_class;
    bool m_registered = false;
    HWND m_window = nullptr;
    HWND m_edit = nullptr;
    LRESULT m_probeAnswer;
    int m_probes = 0;
};

// Gives this test process a debug-viewer class name of its own, so that its traces never reach a window
// of another process running beside it (called by the test main).
void UseProcessOwnDebugViewerClass();
