// Switches by which tests steer the viewer: what the form hears and when it answers, when a page
// reports its document complete, and navigations made by a page. Production code never sets them.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

namespace viewer {

class BrowserCore;

struct ViewerTestControl
{
    // Every command text a form received, in order.
    std::vector<std::wstring> commands;
    // A reply reaches the page only after this many further messages were pumped.
    int replyDelay = 0;
    // Forms never answer.
    bool neverReply = false;
    // DocumentComplete arrives after this many further pumped messages, or not at all.
    int documentCompleteDelay = 0;
    bool documentCompleteMissing = false;
    // Views have no document at all: every page call does nothing.
    bool noDocument = false;
    // Printing goes to this device context instead of a printer the user chooses; the function,
    // when set, runs where the print dialog would pump messages.
    HDC printTarget = nullptr;
    std::function<void()> whileChoosingPrinter;

    // Back to the defaults.
    void Reset() { *this = ViewerTestControl(); }
};

// The one set of switches of the process.
ViewerTestControl& TestControl();

// A navigation made by the page shown in the view of that window (as a link or a script would).
void NavigateFromPageForTest(HWND view, const std::wstring& address);

} // namespace viewer
