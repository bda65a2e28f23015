// Form updates: which addresses belong to the updates address, the file name a downloaded form gets
// in the store, and the download itself.
#pragma once
#include <string>

// True for an "http://" or "https://" address (scheme in any case).
bool IsWebAddress(const std::wstring& address);

// True when the address begins with the updates address (without regard to case). An empty updates
// address matches nothing, and an updates address that names only a host must match the whole host
// ("http://forms.example" does not let "http://forms.example.other" through).
bool IsUnderUpdatesAddress(const std::wstring& address, const std::wstring& updatesAddress);

// The file name of a downloaded form: the address without its query or fragment, after its last
// "/". Empty (refused) when it holds a folder separator, ":", "..", a character that no file name
// may hold, or a device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9), or when nothing is left before
// ".pdf". A name longer than 100 characters is shortened before its ".pdf"; a name without ".pdf"
// gets it.
std::wstring CleanDownloadName(const std::wstring& address);

// store folder + name, or with "_1", "_2", ... before ".pdf" while that name is taken.
std::wstring FreeDownloadPath(const std::wstring& storeFolder, const std::wstring& name);

enum class DownloadOutcome
{
    Saved,
    NameRefused, // the address gives no usable file name; nothing was fetched
    Failed,      // no connection, a status other than 200, or a body cut short; no file is left
};

struct DownloadResult
{
    DownloadOutcome outcome = DownloadOutcome::Failed;
    std::wstring savedPath; // the file written, when saved
};

// Fetches the address into a temporary file of the store and, once the whole body has arrived
// with status 200 (and as long as its Content-Length said, when it said one), renames it to its
// free name (FreeDownloadPath). A failed download leaves no file behind.
DownloadResult DownloadForm(const std::wstring& address, const std::wstring& storeFolder);
