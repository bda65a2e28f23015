// Win32 file access for the toolkit: the ANSI call for short names the ANSI page holds exactly,
// else the wide call on the "\\?\" long-path form; every failure goes to the optional log.
#include "xml/WinFiles.h"
#include "xml/LogBase.h"
#include "xml/OsServices.h"
#include "xml/XString.h"
#include <string.h>

namespace {

const int kMaxPathChars = 260;
const DWORD kQueryBufferChars = 2048;
const uint32_t kWritePiece = 10000000;
const int kOpenRetries = 3;
const DWORD kRetryDelayMs = 50;

// Copies the name with "/" turned into "\" and says whether the ANSI call serves it.
bool prepareName(XString& name, XString& scratch)
{
    scratch.clear();
    scratch.appendX(name);
    scratch.replaceAnsiChar('/', '\\');
    return scratch.getNumChars() < kMaxPathChars && (scratch.isAnsiExact() || systemIsMajorVersion4());
}

int errorKindOf(DWORD systemError)
{
    if (systemError == ERROR_ACCESS_DENIED)
        return FileErrorAccessDenied;
    if (systemError == ERROR_PATH_NOT_FOUND)
        return FileErrorPathNotFound;
    return FileErrorOther;
}

void logSystemError(LogBase* log, DWORD code)
{
    if (!log)
        return;
    kit::StringBuffer text;
    text.appendWindowsError(code);
    log->logError(sbText(text));
}

HANDLE createFileEitherWay(XString& name, DWORD access, DWORD share, DWORD disposition, DWORD& systemError)
{
    XString scratch;
    HANDLE h;
    if (prepareName(name, scratch)) {
        h = CreateFileA(scratch.getAnsi(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    } else {
        XString longName;
        makeLongPath(scratch, longName);
        h = CreateFileW(longName.getUtf16(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    systemError = h == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    return h;
}

} // namespace

void getFullPath(XString& name, XString& full)
{
    if (systemIsMajorVersion4()) {
        char buffer[kQueryBufferChars];
        DWORD n = GetFullPathNameA(name.getAnsi(), kQueryBufferChars, buffer, nullptr);
        if (n == 0 || n >= kQueryBufferChars)
            full.setFromAnsi(name.getAnsi());
        else
            full.setFromAnsi(buffer);
        return;
    }
    wchar_t buffer[kQueryBufferChars];
    DWORD n = GetFullPathNameW(name.getUtf16(), kQueryBufferChars, buffer, nullptr);
    if (n == 0 || n >= kQueryBufferChars)
        full.setFromUtf16(name.getUtf16());
    else
        full.setFromUtf16(buffer);
}

void getCurrentDir(XString& dir)
{
    if (!systemIsMajorVersion4()) {
        wchar_t buffer[kQueryBufferChars];
        DWORD n = GetCurrentDirectoryW(kQueryBufferChars, buffer);
        if (n != 0 && n < kQueryBufferChars) {
            dir.setFromUtf16(buffer);
            return;
        }
    }
    char buffer[kQueryBufferChars];
    DWORD n = GetCurrentDirectoryA(kQueryBufferChars, buffer);
    dir.setFromAnsi(n != 0 && n < kQueryBufferChars ? buffer : "");
}

void makeLongPath(XString& name, XString& path)
{
    XString full;
    getFullPath(name, full);
    const wchar_t* text = full.getUtf16();
    if (wcsncmp(text, L"\\\\?\\", 4) == 0) {
        path.setFromUtf16(text);
    } else if (wcsncmp(text, L"\\\\", 2) == 0) {
        path.setFromUtf16(L"\\\\?\\UNC");
        path.appendUtf16(text + 1);
    } else {
        path.setFromUtf16(L"\\\\?\\");
        path.appendUtf16(text);
    }
}

bool getFileAttributes(XString& name, DWORD& attributes, DWORD& systemError, LogBase* log)
{
    attributes = INVALID_FILE_ATTRIBUTES;
    systemError = 0;
    if (name.getNumChars() == 0) {
        if (log)
            log->logError("GetAttributes: filename is empty");
        return false;
    }
    XString scratch;
    if (prepareName(name, scratch)) {
        attributes = GetFileAttributesA(scratch.getAnsi());
    } else {
        XString longName;
        makeLongPath(scratch, longName);
        attributes = GetFileAttributesW(longName.getUtf16());
    }
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        systemError = GetLastError();
        return false;
    }
    return true;
}

bool setFileAttributes(XString& name, DWORD attributes)
{
    XString scratch;
    scratch.appendX(name);
    scratch.replaceAnsiChar('/', '\\');
    if (systemIsMajorVersion4())
        return SetFileAttributesA(scratch.getAnsi(), attributes) != 0;
    XString longName;
    makeLongPath(scratch, longName);
    return SetFileAttributesW(longName.getUtf16(), attributes) != 0;
}

HANDLE openFileWithRetryA(const char* name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                          DWORD disposition, DWORD flags, HANDLE templateFile, DWORD& systemError, LogBase* log)
{
    systemError = 0;
    kit::StringBuffer path;
    path.append(name);
    path.replaceChar('/', '\\');
    HANDLE h;
    for (int retries = 0;; ++retries) {
        h = CreateFileA(sbText(path), access, share, security, disposition, flags, templateFile);
        if (h != INVALID_HANDLE_VALUE || retries == kOpenRetries || GetLastError() != ERROR_SHARING_VIOLATION)
            break;
        if (share == FILE_SHARE_READ)
            share = FILE_SHARE_READ | FILE_SHARE_WRITE;
        Sleep(kRetryDelayMs);
    }
    if (h == INVALID_HANDLE_VALUE) {
        systemError = GetLastError();
        if (log) {
            log->logError("Failed to open file (2)");
            log->logData("filename", sbText(path));
            XString dir;
            getCurrentDir(dir);
            log->logData("currentWorkingDirectory", dir.getUtf8());
            kit::StringBuffer text;
            text.appendWindowsError(systemError);
            log->logData("osErrorInfo", sbText(text));
        }
    }
    return h;
}

HANDLE openFileWithRetryW(const wchar_t* name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                          DWORD disposition, DWORD flags, HANDLE templateFile, DWORD& systemError, LogBase* log)
{
    systemError = 0;
    XString path;
    path.setFromUtf16(name);
    path.replaceAnsiChar('/', '\\');
    HANDLE h;
    for (int retries = 0;; ++retries) {
        h = CreateFileW(path.getUtf16(), access, share, security, disposition, flags, templateFile);
        if (h != INVALID_HANDLE_VALUE || retries == kOpenRetries || GetLastError() != ERROR_SHARING_VIOLATION)
            break;
        Sleep(kRetryDelayMs);
    }
    if (h == INVALID_HANDLE_VALUE) {
        systemError = GetLastError();
        if (log) {
            log->logError("Failed to open file (3)");
            log->logData("utf8Filename", path.getUtf8());
            kit::StringBuffer text;
            text.appendWindowsError(systemError);
            log->logData("osErrorInfo", sbText(text));
        }
    }
    return h;
}

HANDLE openFileForRead(XString& name, int& errorKind, LogBase* log)
{
    errorKind = FileErrorNone;
    if (name.getNumChars() == 0) {
        if (log)
            log->logError("Cannot open file, filename is empty.");
        errorKind = FileErrorOther;
        return INVALID_HANDLE_VALUE;
    }
    XString scratch;
    DWORD systemError = 0;
    HANDLE h;
    if (prepareName(name, scratch)) {
        h = openFileWithRetryA(scratch.getAnsi(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr, systemError, log);
    } else {
        XString longName;
        makeLongPath(scratch, longName);
        h = openFileWithRetryW(longName.getUtf16(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr, systemError, log);
    }
    if (h == INVALID_HANDLE_VALUE) {
        errorKind = errorKindOf(systemError);
        if (log)
            log->logDataHex("WindowsError", systemError);
    }
    return h;
}

HANDLE createFileForWrite(XString& name, int& errorKind, LogBase* log)
{
    errorKind = FileErrorNone;
    DWORD systemError = 0;
    HANDLE h = createFileEitherWay(name, GENERIC_WRITE, 0, CREATE_ALWAYS, systemError);
    if (h == INVALID_HANDLE_VALUE) {
        DWORD attributes, attrError;
        if (getFileAttributes(name, attributes, attrError, nullptr) && (attributes & FILE_ATTRIBUTE_READONLY) &&
            setFileAttributes(name, attributes & ~FILE_ATTRIBUTE_READONLY))
            h = createFileEitherWay(name, GENERIC_WRITE, 0, CREATE_ALWAYS, systemError);
    }
    if (h == INVALID_HANDLE_VALUE) {
        errorKind = errorKindOf(systemError);
        if (log)
            log->logData("Filename", name.getUtf8());
    }
    return h;
}

int64_t getFileSize64(HANDLE handle, LogBase* log)
{
    LARGE_INTEGER size;
    if (!GetFileSizeEx(handle, &size)) {
        logSystemError(log, GetLastError());
        if (log)
            log->logError("Failed to get file size (64)");
        return -1;
    }
    return size.QuadPart;
}

void closeFileHandle(HANDLE handle)
{
    if (handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
}

bool writeFileInPieces(HANDLE handle, const void* data, uint32_t n, uint32_t& written)
{
    written = 0;
    const unsigned char* p = static_cast<const unsigned char*>(data);
    while (written < n) {
        DWORD piece = n - written < kWritePiece ? n - written : kWritePiece;
        DWORD done = 0;
        if (!WriteFile(handle, p + written, piece, &done, nullptr))
            return false;
        written += done;
        if (done != piece)
            return false;
    }
    return true;
}

bool writeWholeFile(const char* ansiName, const void* data, uint32_t n, LogBase* log)
{
    if (!ansiName || !*ansiName)
        return false;
    XString name;
    name.setFromAnsi(ansiName);
    int errorKind;
    HANDLE h = createFileForWrite(name, errorKind, log);
    if (h == INVALID_HANDLE_VALUE) {
        if (log) {
            log->logDataQP("ansiFilename", ansiName);
            log->logError("Failed to write complete file (7)");
        }
        return false;
    }
    if (data && n > 0) {
        uint32_t written = 0;
        if (!writeFileInPieces(h, data, n, written)) {
            DWORD error = GetLastError();
            if (log) {
                log->logDataQP("ansiFilename2", ansiName);
                logSystemError(log, error);
                log->logError("Failed to write complete file (1)");
            }
            closeFileHandle(h);
            return false;
        }
    }
    closeFileHandle(h);
    return true;
}

namespace {

// Reads the opened file whole into the emptied buffer, followed by four zero bytes.
// ansiName is NULL for the wide form, which logs less on a failed read.
bool readOpenedFile(DataBuffer& buffer, HANDLE h, int64_t size, const char* ansiName, LogBase* log)
{
    if (size == 0)
        return true;
    // The block holds the content and four zero bytes, so its size must stay below 4 GB.
    if (size < 0 || size > (int64_t)0xFFFFFFFFu - 4) {
        if (log) {
            log->logError("Out of memory for data buffer");
            log->logDataInt64("fileSize", size);
        }
        return false;
    }
    uint32_t n = (uint32_t)size;
    if (!buffer.ensureBuffer(n + 4)) {
        if (log) {
            log->logError(!ansiName ? "Out of memory when loading Unicode file into data buffer." : "Out of memory");
            log->logDataInt("fileSize", (int)n);
        }
        return false;
    }
    unsigned char* block = static_cast<unsigned char*>(buffer.getData());
    memset(block, 0, n + 4);
    DWORD got = 0;
    if (!ReadFile(h, block, n, &got, nullptr)) {
        logSystemError(log, GetLastError());
        if (log && ansiName) {
            log->logData("filename", ansiName);
            XString dir;
            getCurrentDir(dir);
            log->logData("current_dir", dir.getUtf8());
        }
        buffer.clear();
        return false;
    }
    if (got != n) {
        if (log)
            log->logError("Failed to read the entire file");
        buffer.clear();
        return false;
    }
    buffer.setSize(n);
    return true;
}

} // namespace

namespace {

// Opens the named file and reads it whole into the emptied buffer.
bool loadNamedFile(DataBuffer& buffer, XString& name, const char* ansiName, LogBase* log)
{
    buffer.takeOwnership(nullptr, 0);
    int errorKind;
    HANDLE h = openFileForRead(name, errorKind, log);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    // A 64-bit size, so a file of 4 GB or more is refused instead of being read in part.
    int64_t size = getFileSize64(h, log);
    bool ok = size >= 0 && readOpenedFile(buffer, h, size, ansiName, log);
    closeFileHandle(h);
    return ok;
}

} // namespace

bool DataBuffer::loadFile(const char* ansiName, LogBase* log)
{
    XString name;
    name.setFromAnsi(ansiName);
    return loadNamedFile(*this, name, ansiName, log);
}

bool DataBuffer::loadFileW(const wchar_t* wideName, LogBase* log)
{
    XString name;
    name.setFromUtf16(wideName);
    return loadNamedFile(*this, name, nullptr, log);
}

bool loadFileToBufferUtf8(DataBuffer& buffer, const char* utf8Name, LogBase* log)
{
    XString name;
    name.setFromUtf8(utf8Name);
    if (name.isAnsiExact())
        return buffer.loadFile(name.getAnsi(), log);
    return buffer.loadFileW(name.getUtf16(), log);
}
