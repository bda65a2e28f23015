// Diagnostic outputs: trace lines for an outside debug-viewer window (class "TavikDebug") and a log
// file beside the executable. Both are silent when their target is missing and never affect the caller.
#pragma once
#include <windows.h>

// Appends text (and CR LF when lineBreak is set) to the edit control 1020 of the first top-level window
// of class "TavikDebug", but only when that window answers the probe WM_USER+4 with 0. The window is
// looked up anew for every call. A null text counts as empty.
void DebugTraceA(const char* text, BOOL lineBreak);
void DebugTraceW(const wchar_t* text, BOOL lineBreak);

// The window class the traces look for: "TavikDebug" unless a test process has named one of its own, so
// that its traces reach only its own stand-in viewer and never another process's. Null or an empty name
// restores "TavikDebug"; names longer than 63 characters are refused (false).
bool SetDebugViewerClass(const char* className);
const char* DebugViewerClass();

// Shows an SQL text in the viewer; the database layer calls it with every SQL text before compiling it.
void SQLiteTraceToViewer(const char* sql, BOOL lineBreak);

// Appends the text's bytes (and CR LF when lineBreak is set) to "<executable path>.log", creating the
// file when missing. Nothing is ever truncated.
void AppendToModuleLog(const char* text, BOOL lineBreak);
