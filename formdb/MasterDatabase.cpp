// Reading the master database through the read-only query classes.
#include "formdb/MasterDatabase.h"
#include "formdb/SQLiteQuery.h"
#include "formdb/SQLiteWrappers.h"

const wchar_t* const kMasterDatabaseName = L"Vantorel.gdb";

CString LogoFilePath()
{
    wchar_t temp[500] = {};
    ::GetTempPathW(500, temp);
    CString path = temp;
    return path.Left(path.ReverseFind(L'\\') + 1) + L"A_34.bmp";
}

namespace
{
// Writes the BLOB over the logo file (an existing file is reused, not truncated) and loads it.
HBITMAP WriteAndLoadLogo(const void* blob, int size)
{
    CString path = LogoFilePath();
    HANDLE file = ::CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    DWORD written = 0;
    BOOL ok = ::WriteFile(file, blob, (DWORD)size, &written, nullptr);
    ::CloseHandle(file);
    if (!ok || written != (DWORD)size)
        return nullptr;
    return (HBITMAP)::LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
}
}

bool ReadMasterLogo(MasterLogo& result)
{
    result = MasterLogo();
    SQLiteConnection connection(kMasterDatabaseName, DatabaseAccess::ReadOnly);
    SQLiteCommand command("select * from Logo", &connection);
    try
    {
        connection.Open();
        SQLiteDataReader reader = command.ExecuteReader();
        if (reader.Read())
        {
            result.hasRow = true;
            result.updatesAddress = CString(reader.GetText(3));
            const void* blob = reader.GetBlob(1);
            int size = reader.GetBytes(1);
            if (blob && size > 0)
                result.logo = WriteAndLoadLogo(blob, size);
        }
    }
    catch (const Sharption&)
    {
        if (result.logo)
            ::DeleteObject(result.logo);
        result = MasterLogo();
        return false;
    }
    connection.Close();
    return true;
}

CString ReadMasterTitle()
{
    return QueryFirstValue(kMasterDatabaseName, "SELECT title from Logo");
}
