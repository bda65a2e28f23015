// The clearinghouse file byte for byte: pages and their separators, blank pages for missing records,
// replacing an existing file, and a failure midway that leaves the folder as it was.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "export/ClearinghouseFile.h"
#include "tests/export/ComFixture.h"
#include "tests/support/TempFolder.h"

namespace {

class ClearinghouseFileTest : public ComTest
{
};

std::wstring Record(const std::wstring& name, const std::wstring& city)
{
    return L"<fields><topmostSubform>"
           L"<_2_PATIENT_S_NAME_Last_First_Middle_Initial----8-_2_PATIENT_S_NAME_Last_First_Middle_Initial>" + name +
           L"</_2_PATIENT_S_NAME_Last_First_Middle_Initial----8-_2_PATIENT_S_NAME_Last_First_Middle_Initial>"
           L"<_5_PATIENTS_CITY----14-_5_PATIENTS_CITY>" + city + L"</_5_PATIENTS_CITY----14-_5_PATIENTS_CITY>"
           L"</topmostSubform></fields>";
}

// The file names in a folder.
std::set<std::wstring> FolderNames(const TempFolder& folder)
{
    std::set<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(folder.File(L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
    {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            names.insert(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

std::string BlankPageBytes()
{
    std::string page;
    for (int row = 0; row < 61; ++row)
        page += std::string(90, ' ') + "\r\n";
    return page;
}

// Bytes of a 1-based column and row of page k (from 0) of a file.
std::string At(const std::string& file, int page, int column, int row, size_t length)
{
    return file.substr(static_cast<size_t>(page) * 5620 + static_cast<size_t>(row - 1) * 92 + column - 1, length);
}

} // namespace

TEST_F(ClearinghouseFileTest, ThreeRecordsMakeThreePagesWithSeparators)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"out.txt");
    const std::wstring records[] = {Record(L"Ann", L"Boston"), Record(L"M\u00fcller", L"K\u00f6ln"),
                                    Record(L"Cy", L"Dover")};
    const ClearinghouseResult result = WriteClearinghouseFile(path, 3, [&](size_t index, std::wstring& xml) {
        xml = records[index];
        return RecordRead::Found;
    });
    EXPECT_EQ(ClearinghouseOutcome::Written, result.outcome);
    EXPECT_EQ(3u, result.pages);
    EXPECT_EQ(0u, result.blankPages);
    const std::string file = ReadWholeFile(path);
    ASSERT_EQ(3u * (5612 + 8), file.size());
    for (int page = 0; page < 3; ++page)
    {
        for (int row = 1; row <= 61; ++row)
            EXPECT_EQ("\r\n", file.substr(page * 5620 + row * 92 - 2, 2)) << page << " " << row;
        EXPECT_EQ("\r\n\r\n\r\n\r\n", file.substr(page * 5620 + 5612, 8));
    }
    EXPECT_EQ(" Ann ", At(file, 0, 1, 9, 5));
    EXPECT_EQ("Boston ", At(file, 0, 2, 13, 7));
    EXPECT_EQ("M\xfcller ", At(file, 1, 2, 9, 7)); // ANSI, one byte per character
    EXPECT_EQ("K\xf6ln ", At(file, 1, 2, 13, 5));
    EXPECT_EQ("Dover", At(file, 2, 2, 13, 5));
    EXPECT_EQ(std::set<std::wstring>{L"out.txt"}, FolderNames(folder)); // no temporary file left
}

TEST_F(ClearinghouseFileTest, MissingAndUnreadableRecordsGiveBlankPages)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"out.txt");
    const ClearinghouseResult result = WriteClearinghouseFile(path, 3, [&](size_t index, std::wstring& xml) {
        if (index == 0)
            return RecordRead::Missing;
        xml = index == 1 ? std::wstring(L"<not xml") : Record(L"Zed", L"Troy");
        return RecordRead::Found;
    });
    EXPECT_EQ(ClearinghouseOutcome::Written, result.outcome);
    EXPECT_EQ(3u, result.pages);
    EXPECT_EQ(2u, result.blankPages);
    const std::string file = ReadWholeFile(path);
    ASSERT_EQ(3u * 5620, file.size());
    EXPECT_EQ(BlankPageBytes() + "\r\n\r\n\r\n\r\n" + BlankPageBytes() + "\r\n\r\n\r\n\r\n", file.substr(0, 2 * 5620));
    EXPECT_EQ("Zed", At(file, 2, 2, 9, 3));
}

TEST_F(ClearinghouseFileTest, ReplacesAnExistingFileWhole)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"out.txt");
    ASSERT_TRUE(WriteWholeFile(path, std::string(20000, '#')));
    const ClearinghouseResult result = WriteClearinghouseFile(path, 1, [&](size_t, std::wstring& xml) {
        xml = Record(L"Ann", L"Boston");
        return RecordRead::Found;
    });
    EXPECT_EQ(ClearinghouseOutcome::Written, result.outcome);
    const std::string file = ReadWholeFile(path);
    ASSERT_EQ(5620u, file.size());
    EXPECT_EQ(std::string::npos, file.find('#'));
    EXPECT_EQ("Ann", At(file, 0, 2, 9, 3));
}

TEST_F(ClearinghouseFileTest, AFailureMidwayLeavesTheFormerFile)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"out.txt");
    ASSERT_TRUE(WriteWholeFile(path, "former export"));
    int reads = 0;
    const ClearinghouseResult result = WriteClearinghouseFile(path, 5, [&](size_t index, std::wstring& xml) {
        ++reads;
        xml = Record(L"Ann", L"Boston");
        return index == 3 ? RecordRead::Failed : RecordRead::Found;
    });
    EXPECT_EQ(ClearinghouseOutcome::ReadFailed, result.outcome);
    EXPECT_EQ(4, reads); // stopped at the failure
    EXPECT_EQ("former export", ReadWholeFile(path));
    EXPECT_EQ(std::set<std::wstring>{L"out.txt"}, FolderNames(folder));
}

TEST_F(ClearinghouseFileTest, AFailureMidwayWithoutAFormerFileLeavesNone)
{
    TempFolder folder;
    const ClearinghouseResult result = WriteClearinghouseFile(folder.File(L"new.txt"), 2, [&](size_t index, std::wstring& xml) {
        xml = Record(L"Ann", L"Boston");
        return index == 1 ? RecordRead::Failed : RecordRead::Found;
    });
    EXPECT_EQ(ClearinghouseOutcome::ReadFailed, result.outcome);
    EXPECT_TRUE(FolderNames(folder).empty());
}

TEST_F(ClearinghouseFileTest, AFolderThatDoesNotExistFailsWithoutWriting)
{
    TempFolder folder;
    int reads = 0;
    const ClearinghouseResult result = WriteClearinghouseFile(folder.File(L"missing\\out.txt"), 1, [&](size_t, std::wstring&) {
        ++reads;
        return RecordRead::Found;
    });
    EXPECT_EQ(ClearinghouseOutcome::WriteFailed, result.outcome);
    EXPECT_EQ(0, reads);
    EXPECT_TRUE(FolderNames(folder).empty());
}

TEST(ClearinghouseNames, TextExtensionIsAddedOnlyWhenMissing)
{
    EXPECT_EQ(L"C:\\x\\dump.txt", WithTextExtension(L"C:\\x\\dump"));
    EXPECT_EQ(L"C:\\x\\a.txt", WithTextExtension(L"C:\\x\\a.txt"));
    EXPECT_EQ(L"C:\\x\\A.TXT", WithTextExtension(L"C:\\x\\A.TXT"));
    EXPECT_EQ(L"C:\\x\\a.csv.txt", WithTextExtension(L"C:\\x\\a.csv"));
    EXPECT_EQ(L"txt.txt", WithTextExtension(L"txt"));
}

TEST(ClearinghouseNames, DefaultNameFromTheClock)
{
    SYSTEMTIME afternoon = {};
    afternoon.wYear = 2010;
    afternoon.wMonth = 4;
    afternoon.wDay = 29;
    afternoon.wHour = 14;
    afternoon.wMinute = 5;
    EXPECT_EQ(L"Clearinghouse_04-29-10_(02_05pm)", DefaultClearinghouseName(afternoon));
    SYSTEMTIME midnight = afternoon;
    midnight.wHour = 0;
    midnight.wMinute = 7;
    midnight.wYear = 2003;
    midnight.wMonth = 12;
    EXPECT_EQ(L"Clearinghouse_12-29-03_(12_07am)", DefaultClearinghouseName(midnight));
    SYSTEMTIME noon = afternoon;
    noon.wHour = 12;
    noon.wMinute = 0;
    EXPECT_EQ(L"Clearinghouse_04-29-10_(12_00pm)", DefaultClearinghouseName(noon));
}

TEST_F(ClearinghouseFileTest, RecordsReadInAnotherOrderStillGiveTheirPagesInExportOrder)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"out.txt");
    const std::wstring names[] = {L"Ann", L"Bo", L"Cy", L"Di", L"Ed"};
    std::vector<size_t> reads;
    const auto reader = [&](size_t index, std::wstring& xml) {
        reads.push_back(index);
        if (index == 3)
            return RecordRead::Missing;
        xml = Record(names[index], L"Town" + std::to_wstring(index));
        return RecordRead::Found;
    };
    const ClearinghouseResult result = WriteClearinghouseFile(path, 5, reader, {4, 0, 3, 2, 1});
    EXPECT_EQ(ClearinghouseOutcome::Written, result.outcome);
    EXPECT_EQ(5u, result.pages);
    EXPECT_EQ(1u, result.blankPages);
    EXPECT_EQ((std::vector<size_t>{4, 0, 3, 2, 1}), reads);
    const std::string file = ReadWholeFile(path);
    ASSERT_EQ(5u * 5620, file.size());
    EXPECT_EQ(" Ann ", At(file, 0, 1, 9, 5));
    EXPECT_EQ(" Bo ", At(file, 1, 1, 9, 4));
    EXPECT_EQ("Town1 ", At(file, 1, 2, 13, 6));
    EXPECT_EQ(" Cy ", At(file, 2, 1, 9, 4));
    EXPECT_EQ(BlankPageBytes() + "\r\n\r\n\r\n\r\n", file.substr(3 * 5620, 5620));
    EXPECT_EQ(" Ed ", At(file, 4, 1, 9, 4));
    for (int page = 0; page < 5; ++page)
        EXPECT_EQ("\r\n\r\n\r\n\r\n", file.substr(page * 5620 + 5612, 8)) << page;

    // An order that misses or repeats a record is not used: the records are read in export order.
    reads.clear();
    ASSERT_EQ(ClearinghouseOutcome::Written, WriteClearinghouseFile(path, 5, reader, {4, 0, 0, 2, 1}).outcome);
    EXPECT_EQ((std::vector<size_t>{0, 1, 2, 3, 4}), reads);
    EXPECT_EQ(file, ReadWholeFile(path));
}

TEST_F(ClearinghouseFileTest, AFailureWhileReadingOutOfOrderLeavesNoFile)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"out.txt");
    const ClearinghouseResult result = WriteClearinghouseFile(
        path, 4,
        [&](size_t index, std::wstring& xml) {
            xml = Record(L"Ann", L"Boston");
            return index == 1 ? RecordRead::Failed : RecordRead::Found;
        },
        {3, 2, 1, 0});
    EXPECT_EQ(ClearinghouseOutcome::ReadFailed, result.outcome);
    EXPECT_TRUE(FolderNames(folder).empty());
}
