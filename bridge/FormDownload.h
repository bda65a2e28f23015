// Form updates: which addresses belong to the updates address, the file name a downloaded form gets
// in the store, and the download itself.
#pragma once
#include <string>

// True for an "http://" or "https://" address (scheme in any case).
bool IsWebAddress(const std::wstring& address);

// True when the address lies in the folder of the updates address or below it: the same scheme, host
// (without regard to case) and port (a missing port is the scheme's own), no user name or password in
// either, and a path that begins with the updates path up to its last "/" by whole segments (without
// regard to case; "/updates/" and the page "/updates/list.htm" both take "/updates/a.pdf" but not
// "/updatesX/a.pdf"). A path with a "." or ".." segment, plain or escaped, is never below anything.
// An empty updates address matches nothing.
bool IsUnderUpdatesAddress(const std::wstring& address, const std::wstring& updatesAddress);

// The test a web page must pass to be shown from the updates page: the address begins with the updates
// address (without regard to case, over the updates address's length) and goes on with a new segment,
// a query or a fragment ("/updates" takes "/updates/list.htm" and "/updates?x", not "/updatesX" nor
// the updates page's sibling pages), with no user name or password and no "." or ".." segment, plain
// or escaped. An empty updates address matches nothing. Downloads keep the folder rule above.
bool BeginsWithUpdatesAddress(const std::wstring& address, const std::wstring& updatesAddress);

// The test a redirect's target must pass: below the updates address, or below the same address moved
// from http to https on the standard ports.
bool IsAcceptedRedirect(const std::wstring& target, const std::wstring& updatesAddress);

// The address a redirect's Location leads to from base: absolute, scheme-relative, rooted or
// relative (with "." and ".." segments resolved). Empty when it cannot be made.
std::wstring ResolveRedirect(const std::wstring& base, const std::wstring& location);

// The file name of a downloaded form: the address without its query or fragment, after its last
// "/", with its %-escapes decoded (as UTF-8, else the ANSI code page). Empty (refused) when it holds
// a folder separator, ":", "..", a character that no file name may hold, when it ends in a blank or
// a dot (which Windows would drop), when it names a device whatever its extension or trailing blanks
// (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-9, LPT0-9 and COM or LPT with a superscript digit), or
// when nothing is left before ".pdf". A name longer than 100 characters is shortened before its
// ".pdf"; a name without ".pdf" gets it.
std::wstring CleanDownloadName(const std::wstring& address);

// store folder + name, or with "_1", "_2", ... before ".pdf" while that name is taken.
std::wstring FreeDownloadPath(const std::wstring& storeFolder, const std::wstring& name);

enum class DownloadOutcome
{
    Saved,
    NameRefused, // the address gives no usable file name; nothing was fetched
    Failed,      // no connection, a status other than 200 (after redirects), a redirect that leaves the
                 // updates address, or a body cut short; no file is left
};

struct DownloadResult
{
    DownloadOutcome outcome = DownloadOutcome::Failed;
    std::wstring savedPath; // the file written, when saved
};

// Fetches the address into a temporary file of the store and, once the whole body has arrived
// with status 200 (and as long as its Content-Length said, when it said one), renames it to its
// free name (FreeDownloadPath). Redirects are followed, at most kMaxDownloadRedirects of them, each
// only when its target passes IsAcceptedRedirect; the name comes from
// the link's own address. A failed
// download leaves no file behind.
constexpr int kMaxDownloadRedirects = 5;
DownloadResult DownloadForm(const std::wstring& address, const std::wstring& storeFolder,
                            const std::wstring& updatesAddress);
