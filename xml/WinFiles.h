// File names made absolute or long-path, opening with a short retry on sharing violations, and
// whole-file read and write; each chooses between the ANSI and the wide Win32 call.
#pragma once
#include <windows.h>
#include <stdint.h>
#include "xml/KitTypes.h"

class LogBase;
class XString;

// Error kinds of the create and open functions.
enum FileErrorKind { FileErrorNone = 0, FileErrorAccessDenied = 1, FileErrorPathNotFound = 2, FileErrorOther = 3 };

void getFullPath(XString& name, XString& full);
void getCurrentDir(XString& dir);
void makeLongPath(XString& name, XString& path);
bool getFileAttributes(XString& name, DWORD& attributes, DWORD& systemError, LogBase* log);
bool setFileAttributes(XString& name, DWORD attributes);
HANDLE openFileForRead(XString& name, int& errorKind, LogBase* log);
HANDLE createFileForWrite(XString& name, int& errorKind, LogBase* log);
HANDLE openFileWithRetryA(const char* name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                          DWORD disposition, DWORD flags, HANDLE templateFile, DWORD& systemError, LogBase* log);
HANDLE openFileWithRetryW(const wchar_t* name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                          DWORD disposition, DWORD flags, HANDLE templateFile, DWORD& systemError, LogBase* log);
int64_t getFileSize64(HANDLE handle, LogBase* log);
void closeFileHandle(HANDLE handle);
bool writeFileInPieces(HANDLE handle, const void* data, uint32_t n, uint32_t& written);
bool writeWholeFile(const char* ansiName, const void* data, uint32_t n, LogBase* log);

// DataBuffer::loadFile and DataBuffer::loadFileW are defined with these functions: the whole file
// into the emptied buffer, the content followed by four zero bytes.
// By a UTF-8 name: the ANSI call when the name is exact in the ANSI code page, else the wide one.
bool loadFileToBufferUtf8(DataBuffer& buffer, const char* utf8Name, LogBase* log);
