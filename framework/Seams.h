// The few places where the program meets the user or the outside world in a way tests must control:
// message boxes, file choosers, opening a file with its program, the clock and the pauses of waits. Production code calls
// these; a test installs its own function and restores the default (an empty function) afterwards.
#pragma once
#include <windows.h>
#include <commdlg.h>
#include <functional>
#include "framework/CString.h"

// Every message box of the program. A sink answers the button (IDOK, IDYES, ...) the user would.
using MessageBoxSink = std::function<int(HWND owner, const CString& text, const CString& caption, UINT type)>;
void AfxSetMessageBoxSink(MessageBoxSink sink);
bool AfxHasMessageBoxSink();
// Shows a message box (or asks the sink), centred on the owner's window. A null caption gives "Formstead".
int AfxShowMessageBox(HWND hWndOwner, LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType);

// Every open and save file dialog: fills the structure's file buffer and answers TRUE, or FALSE when
// the user cancels.
using FileChooser = std::function<BOOL(OPENFILENAMEW& ofn, bool bOpen)>;
void AfxSetFileChooser(FileChooser chooser);
BOOL AfxChooseFile(OPENFILENAMEW& ofn, bool bOpen);

// Opening a file or address with its associated program (ShellExecute); TRUE when it was started. A
// mail address ("mailto:") counts as opened only where a mail program takes it, not the web browser.
using ShellOpener = std::function<BOOL(HWND owner, const CString& verb, const CString& file, const CString& parameters, const CString& directory, int nShowCmd)>;
void AfxSetShellOpener(ShellOpener opener);
BOOL AfxShellOpen(HWND hWndOwner, LPCTSTR lpszVerb, LPCTSTR lpszFile, LPCTSTR lpszParameters = nullptr,
                  LPCTSTR lpszDirectory = nullptr, int nShowCmd = SW_SHOWNORMAL);

// The local date and time the program sees.
using Clock = std::function<SYSTEMTIME()>;
void AfxSetClock(Clock clock);
SYSTEMTIME AfxGetLocalTime();

// Every pause the program makes while it waits for something else (Sleep). A test records the pauses
// asked for instead of spending them.
using Sleeper = std::function<void(DWORD milliseconds)>;
void AfxSetSleeper(Sleeper sleeper);
void AfxSleep(DWORD milliseconds);

// A line for the program's trace from a layer below the application (the form viewer, when a limit
// cuts a page short or a file cannot be read). The application routes it to its debug viewer; a test
// collects the lines. Without a sink the line is dropped.
using TraceSink = std::function<void(const wchar_t* line)>;
void AfxSetTraceSink(TraceSink sink);
void AfxTraceLine(const wchar_t* line);

// Where the user's settings and files live: the registry key the profile functions use (the name given
// to SetRegistryKey) and the user's application-data folder. A test gives each of its cases a key and a
// folder of their own, so it never reads or changes the user's; an empty text restores the real one.
void AfxSetRegistryKeyOverride(const CString& registryKey);
CString AfxGetRegistryKeyOverride();
void AfxSetAppDataFolder(const CString& folder);
// The user's application-data folder (created when missing), without a final backslash; empty when the
// system names none.
CString AfxGetAppDataFolder();
