// The bridge between the program and a form's script: sending a command, loading a PDF into the
// container page, and the three waits. Each pass of a wait pumps one message through the
// framework's pump (waiting for one when the queue is empty); the viewer posts a heartbeat while a
// page is shown, so every pass ends within a few tens of milliseconds.
#pragma once
#include "bridge/HTMLCtrl.h"

// "MsgText1" := command, then the page function "Button2_onclick".
void SendBridgeCommand(CHTMLCtrl& ctrl, LPCTSTR command);

// "docpath" := the PDF's path (a Windows path or a file:/// address), then "DoLoadDoc".
void LoadPdfIntoPage(CHTMLCtrl& ctrl, LPCTSTR pdfPath);

// Every wait ends early when a pumped message destroys the control's window (the control is then
// not touched again).

// Page-load wait: while m_bLoaded is false, at most 100 passes of (sleep 20 ms, pump one message).
// Returns m_bLoaded (false when the window went away). A control without a window is not waited for.
bool WaitForPageLoad(CHTMLCtrl& ctrl);

// Page wait (after "Save" and the text dump): at most 100 passes; reply gets "MsgRsp1" at each pass
// (empty when it is empty) and the wait ends at the first value other than "--"; while it is "--"
// a pass sleeps 20 ms, then pumps one message. A pass without a document does neither. Returns the
// number of passes made.
int WaitForPageReply(CHTMLCtrl& ctrl, CString& reply);

// Registration wait (after "FieldList"): the same with at most 300 passes and 60 ms sleeps.
int WaitForRegistrationReply(CHTMLCtrl& ctrl, CString& reply);

// The reply wait with its bound and sleep given; the two waits above are this with their numbers.
int WaitForReply(CHTMLCtrl& ctrl, CString& reply, int maxPasses, DWORD sleepMs);

// The marker of a reply that has not come yet.
extern const wchar_t* const kNoReplyYet;
