// The clearinghouse layout table: its invariants, places written down for it, and the fields of the
// sample claim form (read from the generated PDF), which must match its keys one for one.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "export/ClearinghouseLayout.h"
#include "tests/support/TempFolder.h"
#include "viewer/FormFieldNames.h"
#include "viewer/PdfForm.h"

TEST(ClearinghouseLayout, EntriesAreNumberedWithoutGapsAndPlacedOnce)
{
    size_t count = 0;
    const ClearinghouseEntry* entries = ClearinghouseEntries(count);
    ASSERT_EQ(225u, count);
    std::set<std::string> keys;
    std::set<std::pair<int, int>> places;
    for (size_t i = 0; i < count; ++i)
    {
        const ClearinghouseEntry& entry = entries[i];
        EXPECT_EQ(static_cast<int>(i), entry.number);
        EXPECT_GE(entry.column, 2) << entry.name;
        EXPECT_LE(entry.column, 87) << entry.name;
        EXPECT_GE(entry.row, 1) << entry.name;
        EXPECT_LE(entry.row, 60) << entry.name;
        EXPECT_TRUE(keys.insert(ClearinghouseKey(entry)).second) << entry.name;
        EXPECT_TRUE(places.insert({entry.column, entry.row}).second) << entry.name;
    }
    ClearinghouseLayout layout;
    EXPECT_EQ(225u, layout.Size());
    layout.Clear();
    EXPECT_EQ(0u, layout.Size());
    layout.FillClearinghouseLayout();
    EXPECT_EQ(225u, layout.Size());
}

TEST(ClearinghouseLayout, KnownPlaces)
{
    const ClearinghouseLayout layout;
    struct Place
    {
        const char* key;
        int column, row;
    };
    const Place places[] = {
        {"_1_MEDICARE----0-_1_MEDICARE", 2, 7},
        {"_34_Mailing_Address_1----221-_34_Mailing_Address_1", 49, 1},
        {"_34_Mailing_Address_4----224-_34_Mailing_Address_4", 49, 4},
        {"_30_Balance_Due_Charges_Cents----206-_30_Balance_Due_Charges_Cents", 87, 55},
        {"SERVICE_LINE_1----87-SERVICE_LINE_1", 2, 43},
        {"_24J_1_PROVIDER_ID_RENDERING_NPI----104-_24J_1_PROVIDER_ID_RENDERING_NPI", 74, 44},
        {"_24d_2_PROCEDURES_SERVICES_OR_SUPPLIES_MODIFIER_box4----114-"
         "_24d_2_PROCEDURES_SERVICES_OR_SUPPLIES_MODIFIER_box4", 44, 46},
        {"SERVICE_LINE_3----123-SERVICE_LINE_3", 2, 47},
        {"_24d_3_PROCEDURES_SERVICES_OR_SUPPLIES_Modifier_box1----129-"
         "_24d_3_PROCEDURES_SERVICES_OR_SUPPLIES_Modifier_box1", 35, 48},
        {"_24J_6_PROVIDER_ID_RENDERING_NPI----194-_24J_6_PROVIDER_ID_RENDERING_NPI", 74, 54},
        {"_24f_6_Charges_dollars----188-_24f_6_Charges_dollars", 53, 54},
        {"_33b_2_Other_Id_Number----220-_33b_2_Other_Id_Number", 69, 60},
    };
    for (const Place& place : places)
    {
        const ClearinghousePosition* found = layout.Find(place.key);
        ASSERT_NE(nullptr, found) << place.key;
        EXPECT_EQ(place.column, found->column) << place.key;
        EXPECT_EQ(place.row, found->row) << place.key;
    }
    // Exact keys only.
    EXPECT_EQ(nullptr, layout.Find("_1_medicare----0-_1_medicare"));
    EXPECT_EQ(nullptr, layout.Find("_1_MEDICARE"));
    EXPECT_EQ(nullptr, layout.Find("_24d_3_PROCEDURES_SERVICES_OR_SUPPLIES_MODIFIER_box1----129-"
                                   "_24d_3_PROCEDURES_SERVICES_OR_SUPPLIES_MODIFIER_box1"));
}

TEST(ClearinghouseLayout, MatchesEveryFieldOfTheSampleClaimForm)
{
    const std::string bytes = ReadWholeFile(std::wstring(FORMSTEAD_SAMPLES_DIR) + L"cms1500.pdf");
    ASSERT_FALSE(bytes.empty());
    pdf::FormDocument form;
    std::string error;
    ASSERT_TRUE(pdf::ReadPdfForm(bytes, form, error)) << error;
    const std::vector<std::wstring> formKeys = viewer::MakeFieldKeys(form.fields);
    ASSERT_EQ(225u, formKeys.size());

    const ClearinghouseLayout layout;
    std::set<std::string> seen;
    for (const std::wstring& wide : formKeys)
    {
        const std::string key(wide.begin(), wide.end());
        EXPECT_NE(nullptr, layout.Find(key)) << key;
        seen.insert(key);
    }
    size_t count = 0;
    const ClearinghouseEntry* entries = ClearinghouseEntries(count);
    for (size_t i = 0; i < count; ++i)
        EXPECT_EQ(1u, seen.count(ClearinghouseKey(entries[i]))) << "no field for " << entries[i].name;
}
