// The clearinghouse file: pages written through a buffer, each at its place, into a temporary file of
// the target's folder, which replaces the target only at the end.
#include "export/ClearinghouseFile.h"

#include <cwchar>
#include <cwctype>
#include <vector>

#include "export/ClearinghousePage.h"

const char kPageSeparator[] = "\r\n\r\n\r\n\r\n";

namespace {

// A file handle that is closed when it goes; writes go through a buffer of 256 KB, which holds bytes
// that follow one another in the file: a write elsewhere first empties it.
class BufferedFile
{
public:
    explicit BufferedFile(HANDLE file) : m_file(file) { m_buffer.reserve(kBufferSize); }
    ~BufferedFile() { Close(); }
    BufferedFile(const BufferedFile&) = delete;
    BufferedFile& operator=(const BufferedFile&) = delete;

    bool WriteAt(unsigned long long offset, const char* bytes, size_t size)
    {
        if (offset != m_bufferStart + m_buffer.size() || m_buffer.size() + size > kBufferSize)
        {
            if (!Flush())
                return false;
            m_bufferStart = offset;
        }
        m_buffer.append(bytes, size);
        return true;
    }
    bool Flush()
    {
        if (m_buffer.empty())
            return true;
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(m_bufferStart);
        if (!::SetFilePointerEx(m_file, at, nullptr, FILE_BEGIN))
            return false;
        size_t done = 0;
        while (done < m_buffer.size())
        {
            DWORD written = 0;
            const DWORD chunk = static_cast<DWORD>(m_buffer.size() - done);
            if (!::WriteFile(m_file, m_buffer.data() + done, chunk, &written, nullptr) || written == 0)
                return false;
            done += written;
        }
        m_bufferStart += m_buffer.size();
        m_buffer.clear();
        return true;
    }
    bool Close()
    {
        if (m_file == INVALID_HANDLE_VALUE)
            return true;
        const BOOL closed = ::CloseHandle(m_file);
        m_file = INVALID_HANDLE_VALUE;
        return closed != FALSE;
    }

private:
    static constexpr size_t kBufferSize = 256 * 1024;
    HANDLE m_file;
    unsigned long long m_bufferStart = 0; // the file offset of the buffer's first byte
    std::string m_buffer;
};

// readOrder when it holds every index once, else the export order itself.
std::vector<size_t> ReadingOrder(size_t recordCount, const std::vector<size_t>& readOrder)
{
    std::vector<bool> seen(recordCount, false);
    bool whole = readOrder.size() == recordCount;
    for (size_t i = 0; whole && i < readOrder.size(); ++i)
    {
        whole = readOrder[i] < recordCount && !seen[readOrder[i]];
        if (whole)
            seen[readOrder[i]] = true;
    }
    if (whole)
        return readOrder;
    std::vector<size_t> order(recordCount);
    for (size_t i = 0; i < recordCount; ++i)
        order[i] = i;
    return order;
}

std::wstring FolderOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash + 1);
}

} // namespace

ClearinghouseResult WriteClearinghouseFile(const std::wstring& path, size_t recordCount,
                                           const RecordXmlReader& readRecord, const std::vector<size_t>& readOrder)
{
    ClearinghouseResult result;
    wchar_t temporary[MAX_PATH + 1] = {};
    if (!::GetTempFileNameW(FolderOf(path).c_str(), L"chf", 0, temporary))
        return result;
    const HANDLE handle = ::CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
    {
        ::DeleteFileW(temporary);
        return result;
    }
    BufferedFile file(handle);
    const ClearinghouseLayout layout;
    std::wstring xml;
    bool ok = true;
    // Every page takes the same bytes, so its place in the file is known whenever it is read.
    const unsigned long long pageBytes = kPageLength + sizeof kPageSeparator - 1;
    for (const size_t index : ReadingOrder(recordCount, readOrder))
    {
        xml.clear();
        const RecordRead read = readRecord(index, xml);
        if (read == RecordRead::Failed)
        {
            result.outcome = ClearinghouseOutcome::ReadFailed;
            ok = false;
            break;
        }
        int placed = 0;
        const std::wstring page = read == RecordRead::Found ? BuildClearinghousePage(xml, layout, &placed)
                                                            : BlankClearinghousePage();
        const std::string bytes = PageToAnsi(page);
        const unsigned long long at = index * pageBytes;
        if (bytes.size() != static_cast<size_t>(kPageLength) || !file.WriteAt(at, bytes.data(), bytes.size()) ||
            !file.WriteAt(at + bytes.size(), kPageSeparator, sizeof kPageSeparator - 1))
        {
            ok = false;
            break;
        }
        ++result.pages;
        if (placed == 0)
            ++result.blankPages;
    }
    if (ok)
        ok = file.Flush();
    ok = file.Close() && ok;
    if (ok && !::MoveFileExW(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING))
        ok = false;
    if (!ok)
    {
        ::DeleteFileW(temporary);
        if (result.outcome != ClearinghouseOutcome::ReadFailed)
            result.outcome = ClearinghouseOutcome::WriteFailed;
        return result;
    }
    result.outcome = ClearinghouseOutcome::Written;
    return result;
}

std::wstring WithTextExtension(const std::wstring& path)
{
    if (path.size() >= 4)
    {
        std::wstring tail = path.substr(path.size() - 4);
        for (wchar_t& c : tail)
            c = static_cast<wchar_t>(std::towlower(c));
        if (tail == L".txt")
            return path;
    }
    return path + L".txt";
}

std::wstring DefaultClearinghouseName(const SYSTEMTIME& time)
{
    const int hour12 = time.wHour % 12 == 0 ? 12 : time.wHour % 12;
    wchar_t name[64];
    std::swprintf(name, 64, L"Clearinghouse_%02u-%02u-%02u_(%02d_%02u%ls)", time.wMonth, time.wDay,
                  time.wYear % 100, hour12, time.wMinute, time.wHour < 12 ? L"am" : L"pm");
    return name;
}
