// State outside a test's temporary folder that a test must own: a file at a fixed place (put back as it
// was, or removed, when the guard goes, even when the test fails) and a registry key of the current user
// (removed before and after; name keys under the case's own OwnRegistryKey()).
#pragma once
#include <windows.h>
#include <string>
#include "tests/support/OwnUserState.h"
#include "tests/support/TempFolder.h"

class FileGuard
{
public:
    explicit FileGuard(std::wstring path)
        : m_path(std::move(path)), m_existed(GetFileAttributesW(m_path.c_str()) != INVALID_FILE_ATTRIBUTES),
          m_bytes(m_existed ? ReadWholeFile(m_path) : std::string())
    {
    }
    ~FileGuard()
    {
        if (m_existed)
            WriteWholeFile(m_path, m_bytes);
        else
            DeleteFileW(m_path.c_str());
    }
    FileGuard(const FileGuard&) = delete;
    FileGuard& operator=(const FileGuard&) = delete;
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
    bool m_existed;
    std::string m_bytes;
};

// A folder a test may create: removed when the guard goes unless it was there before (it must then be
// empty: the files in it have guards of their own, declared after this one).
class FolderGuard
{
public:
    explicit FolderGuard(std::wstring path)
        : m_path(std::move(path)), m_existed(GetFileAttributesW(m_path.c_str()) != INVALID_FILE_ATTRIBUTES)
    {
    }
    ~FolderGuard()
    {
        if (!m_existed)
            RemoveDirectoryW(m_path.c_str());
    }
    FolderGuard(const FolderGuard&) = delete;
    FolderGuard& operator=(const FolderGuard&) = delete;

private:
    std::wstring m_path;
    bool m_existed;
};

class RegistryKeyGuard
{
public:
    explicit RegistryKeyGuard(std::wstring subKey) : m_subKey(std::move(subKey)) { Remove(); }
    ~RegistryKeyGuard() { Remove(); }
    RegistryKeyGuard(const RegistryKeyGuard&) = delete;
    RegistryKeyGuard& operator=(const RegistryKeyGuard&) = delete;

private:
    void Remove() { RegDeleteTreeW(HKEY_CURRENT_USER, m_subKey.c_str()); RegDeleteKeyW(HKEY_CURRENT_USER, m_subKey.c_str()); }
    std::wstring m_subKey;
};
