// Field-list parsing: both orders, "j" cutting, malformed entries, every rejected name, the
// 4,999-name limit.
#include <gtest/gtest.h>

#include "formdb/FieldNames.h"
#include "framework/CString.h"
#include "framework/Seams.h"

namespace {

std::string Entry(int index, const std::string& name, const std::string& key = "K")
{
    return key + "jjjj" + std::to_string(index) + "j" + name;
}

std::string ListOf(int count)
{
    std::string list;
    for (int i = 0; i < count; ++i)
        list += (i ? "|" : "") + Entry(i, "N" + std::to_string(i), "F" + std::to_string(i));
    return list;
}

void ExpectRefused(const std::string& list, const char* caption)
{
    const FieldNameList result = ParseFieldNames(list, kOrderAsListed);
    EXPECT_EQ(-1, result.count) << list;
    EXPECT_TRUE(result.columns.empty());
    EXPECT_EQ(caption, result.errorCaption) << list;
    EXPECT_FALSE(result.error.empty());
}

} // namespace

TEST(FieldNames, IndexOrderAndListOrder)
{
    const std::string list = Entry(2, "B") + "|" + Entry(1, "A");
    const FieldNameList byIndex = ParseFieldNames(list, kOrderByFieldIndex);
    EXPECT_EQ(2, byIndex.count);
    EXPECT_EQ("[A],[B]", byIndex.columns);
    const FieldNameList listed = ParseFieldNames(list, kOrderAsListed);
    EXPECT_EQ("[B],[A]", listed.columns);
    EXPECT_EQ((std::vector<std::string>{"B", "A"}), listed.names);
}

TEST(FieldNames, IndicesCompareAsNumbersAndRepeatsKeepEveryNameOnce)
{
    EXPECT_EQ("[Y],[X]", ParseFieldNames(Entry(10, "X") + "|" + Entry(9, "Y"), kOrderByFieldIndex).columns);
    const std::string repeated = Entry(3, "C") + "|" + Entry(1, "A1") + "|" + Entry(3, "D") + "|" + Entry(1, "A2");
    const FieldNameList result = ParseFieldNames(repeated, kOrderByFieldIndex);
    EXPECT_EQ(4, result.count);
    EXPECT_EQ("[A1],[A2],[C],[D]", result.columns);
}

TEST(FieldNames, NameEndsAtTheNextLowerCaseJ)
{
    const FieldNameList result = ParseFieldNames(Entry(0, "AdjustTotal") + "|" + Entry(1, "PJ"), kOrderAsListed);
    ASSERT_EQ(2, result.count);
    EXPECT_EQ("Ad", result.names[0]);
    EXPECT_EQ("PJ", result.names[1]);
    // An entry may start with the marker (no key) and carry no digits.
    EXPECT_EQ("[Name]", ParseFieldNames("jjjjjName", kOrderAsListed).columns);
}

TEST(FieldNames, MalformedEntriesAreRefusedWhereverTheyStand)
{
    ExpectRefused("", "get_db_fieldnames");
    ExpectRefused(Entry(0, "A") + "|", "get_db_fieldnames");            // trailing "|"
    ExpectRefused(Entry(0, "A") + "||" + Entry(1, "B"), "get_db_fieldnames");
    ExpectRefused(Entry(0, "A") + "|garbage|" + Entry(1, "B"), "get_db_fieldnames");
    ExpectRefused("Kjjjj12", "get_db_fieldnames");                     // no "j" after the index
}

TEST(FieldNames, EveryUnusableNameIsRefusedInAnyPosition)
{
    const std::string bad[] = {
        "",           std::string(256, 'a'), "A[1]", "B]", std::string("Tab\tName"), std::string("Del\x7f"),
        "submdate",   "FXML",                "rsrv_template_name", "_rowid_", "RowId", "oid",
        "COLLECTIONSXML", "memorizeddate", "DateTrigger",
    };
    for (const std::string& name : bad)
    {
        ExpectRefused(Entry(0, name), "get_db_fieldnames ERROR");
        ExpectRefused(Entry(0, name) + "|" + Entry(1, "Fine"), "get_db_fieldnames ERROR");
        ExpectRefused(Entry(0, "Fine") + "|" + Entry(1, name), "get_db_fieldnames ERROR");
    }
    ExpectRefused(Entry(0, "Name") + "|" + Entry(1, "NAME"), "get_db_fieldnames ERROR");
    EXPECT_EQ(1, ParseFieldNames(Entry(0, std::string(255, 'a')), kOrderAsListed).count);
    EXPECT_EQ(1, ParseFieldNames(Entry(0, "Patient Name 1a.1"), kOrderAsListed).count);
}

TEST(FieldNames, TwoNamesOfOneColumnAreBothNamed)
{
    const FieldNameList same =
        ParseFieldNames(Entry(0, "A") + "|" + Entry(1, "Name") + "|" + Entry(2, "B") + "|" + Entry(3, "nAME"),
                        kOrderByFieldIndex);
    EXPECT_EQ(-1, same.count);
    EXPECT_EQ(1, same.sameColumnFirst);
    EXPECT_EQ(3, same.sameColumnSecond);
    // Other refusals name no pair.
    const FieldNameList bracket = ParseFieldNames(Entry(0, "A") + "|" + Entry(1, "B]"), kOrderAsListed);
    EXPECT_EQ(-1, bracket.count);
    EXPECT_EQ(-1, bracket.sameColumnFirst);
    EXPECT_EQ(-1, bracket.sameColumnSecond);

    unsigned long index = 0;
    std::string name;
    ASSERT_TRUE(ParseFieldEntry("keyjjjj12jPatient Namejtail", index, name));
    EXPECT_EQ(12ul, index);
    EXPECT_EQ("Patient Name", name);
    EXPECT_FALSE(ParseFieldEntry("keyjjj12jName", index, name));
    EXPECT_FALSE(ParseFieldEntry("keyjjjj12", index, name));
}

TEST(FieldNames, LimitOf4999Names)
{
    const FieldNameList below = ParseFieldNames(ListOf(4998), kOrderByFieldIndex);
    EXPECT_EQ(4998, below.count);
    EXPECT_FALSE(below.limitReached);

    const FieldNameList exact = ParseFieldNames(ListOf(4999), kOrderByFieldIndex);
    EXPECT_EQ(4999, exact.count);
    EXPECT_TRUE(exact.limitReached);
    EXPECT_EQ("N4998", exact.names.back());

    // Entries after the limit are neither used nor checked.
    const FieldNameList over = ParseFieldNames(ListOf(4999) + "|" + Entry(5000, "[bad]"), kOrderAsListed);
    EXPECT_EQ(4999, over.count);
    EXPECT_TRUE(over.limitReached);
    EXPECT_EQ(over.columns.find("bad"), std::string::npos);
}

TEST(FieldNames, SplitEntriesKeepsEmptyOnes)
{
    EXPECT_EQ((std::vector<std::string>{"a", "", "b", ""}), SplitEntries("a||b|"));
    EXPECT_EQ((std::vector<std::string>{""}), SplitEntries(""));
}

namespace {
struct ShownBox
{
    std::wstring text, caption;
};

// Records every message box while it lives.
class BoxRecorder
{
public:
    BoxRecorder()
    {
        AfxSetMessageBoxSink([this](HWND, const CString& text, const CString& caption, UINT) {
            boxes.push_back({text.GetString(), caption.GetString()});
            return IDOK;
        });
    }
    ~BoxRecorder() { AfxSetMessageBoxSink(nullptr); }
    std::vector<ShownBox> boxes;
};
} // namespace

TEST(FieldNamesMessages, RefusalsAndTheLimitAreShownToTheUser)
{
    BoxRecorder recorder;
    CStringA columns("stale");
    EXPECT_EQ(-1, get_db_fieldnames(columns, nullptr, 0));
    EXPECT_TRUE(columns.IsEmpty());
    EXPECT_EQ(-1, get_db_fieldnames(columns, (Entry(0, "A") + "|" + Entry(1, "x[1]")).c_str(), 1));
    ASSERT_EQ(2u, recorder.boxes.size());
    EXPECT_EQ(L"allf = NULL", recorder.boxes[0].text);
    EXPECT_EQ(L"get_db_fieldnames", recorder.boxes[0].caption);
    EXPECT_EQ(L"get_db_fieldnames ERROR", recorder.boxes[1].caption);
    EXPECT_NE(std::wstring::npos, recorder.boxes[1].text.find(L"x[1]"));

    EXPECT_EQ(4999, get_db_fieldnames(columns, ListOf(4999).c_str(), 0));
    ASSERT_EQ(3u, recorder.boxes.size());
    EXPECT_EQ(L"More the 102 columns found. can register only up to 1024 columns.", recorder.boxes[2].text);
    EXPECT_EQ(L"db", recorder.boxes[2].caption);
    EXPECT_EQ(0, std::string(columns.GetString()).find("[N0],[N1],"));

    EXPECT_EQ(2, get_db_fieldnames(columns, (Entry(2, "B") + "|" + Entry(1, "A")).c_str(), 0));
    EXPECT_STREQ("[A],[B]", columns.GetString());
    EXPECT_EQ(3u, recorder.boxes.size());
}

namespace {

// Every name GetNextFieldName gives from position 0 on, and the positions it returned.
std::vector<std::string> WalkColumns(const std::string& columns, std::vector<int>* positions = nullptr)
{
    std::vector<std::string> names;
    std::string name;
    int position = 0;
    do
    {
        position = GetNextFieldName(position, name, columns);
        names.push_back(name);
        if (positions)
            positions->push_back(position);
    } while (position != -1 && names.size() < 10);
    return names;
}

} // namespace

TEST(GetNextFieldName, WalksTheColumnListNameByName)
{
    std::vector<int> positions;
    EXPECT_EQ((std::vector<std::string>{"A", "Bb", "C_3"}), WalkColumns("[A],[Bb],[C_3]", &positions));
    EXPECT_EQ((std::vector<int>{4, 9, -1}), positions);
    EXPECT_EQ((std::vector<std::string>{"Only"}), WalkColumns("[Only]"));
    // A comma or blank inside a name is part of the name, not the end of it.
    EXPECT_EQ((std::vector<std::string>{"Last, First", "Amount $"}), WalkColumns("[Last, First],[Amount $]"));
}

TEST(GetNextFieldName, AWrongPositionOrAnUnclosedNameGivesNothing)
{
    std::string name = "left over";
    EXPECT_EQ(-1, GetNextFieldName(1, name, "[A],[B]"));
    EXPECT_EQ("", name);
    EXPECT_EQ(-1, GetNextFieldName(7, name, "[A],[B]"));
    EXPECT_EQ(-1, GetNextFieldName(-1, name, "[A],[B]"));
    EXPECT_EQ(-1, GetNextFieldName(0, name, ""));
    EXPECT_EQ(-1, GetNextFieldName(0, name, "[A"));
    EXPECT_EQ("", name);
}

TEST(GetNextFieldName, ReadsBackEveryNameTheParserListed)
{
    const std::string list = ListOf(kMaxFieldNames);
    const FieldNameList parsed = ParseFieldNames(list, kOrderByFieldIndex);
    ASSERT_EQ(kMaxFieldNames, parsed.count);
    std::string name;
    int position = 0, names = 0;
    while (position != -1 && names <= kMaxFieldNames)
    {
        position = GetNextFieldName(position, name, parsed.columns);
        EXPECT_EQ("N" + std::to_string(names), name);
        ++names;
    }
    EXPECT_EQ(kMaxFieldNames, names);
}
