// The whole clearinghouse page against a golden page: clearinghouse_golden.py builds it, from the
// written layout and apart from the program's table, for a record that gives each of the 225 entries a
// value of its own; every entry's key, column and row must agree, byte for byte.
#include <gtest/gtest.h>

#include "export/ClearinghousePage.h"
#include "tests/export/ComFixture.h"
#include "tests/support/TempFolder.h"

namespace {

class ClearinghouseGoldenPage : public ComTest
{
};

// The first line (1-based) where two pages differ, with both lines, for a readable failure.
std::string FirstDifference(const std::string& expected, const std::string& actual)
{
    const size_t line = static_cast<size_t>(kPageLineLength);
    for (size_t at = 0; at < expected.size() || at < actual.size(); at += line)
    {
        const std::string want = at < expected.size() ? expected.substr(at, line - 2) : std::string();
        const std::string got = at < actual.size() ? actual.substr(at, line - 2) : std::string();
        if (want != got)
            return "row " + std::to_string(at / line + 1) + "\n  expected [" + want + "]\n  actual   [" + got + "]";
    }
    return std::string();
}

} // namespace

TEST_F(ClearinghouseGoldenPage, EveryEntryStandsWhereTheLayoutPutsIt)
{
    const std::string record = ReadWholeFile(FORMSTEAD_GOLDEN_RECORD);
    const std::string golden = ReadWholeFile(FORMSTEAD_GOLDEN_PAGE);
    ASSERT_FALSE(record.empty()) << "no golden record from the build";
    ASSERT_EQ(static_cast<size_t>(kPageLength), golden.size());

    const ClearinghouseLayout layout;
    int placed = 0;
    const std::wstring page = BuildClearinghousePage(std::wstring(record.begin(), record.end()), layout, &placed);
    EXPECT_EQ(225, placed);
    const std::string bytes = PageToAnsi(page);
    EXPECT_EQ(golden, bytes) << FirstDifference(golden, bytes);
}
