// Printing the filled form to an enhanced metafile (text only or all, with offsets, and a page that
// goes away while the printer is chosen) and e-mailing a blank copy of the form through the shell.
#include "ViewerWindowTest.h"
#include "tests/support/TempFolder.h"
#include "viewer/ViewerTestControl.h"
#include <gtest/gtest.h>
#include <map>

using viewer::TestControl;

namespace {

struct DrawnText
{
    std::wstring text;
    POINT at;
};

int CALLBACK CollectText(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM data)
{
    if (record->iType == EMR_EXTTEXTOUTW) {
        auto* r = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
        const wchar_t* chars = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(record) + r->emrtext.offString);
        DrawnText drawn;
        drawn.text.assign(chars, r->emrtext.nChars);
        drawn.at = POINT{r->emrtext.ptlReference.x, r->emrtext.ptlReference.y};
        reinterpret_cast<std::vector<DrawnText>*>(data)->push_back(drawn);
    }
    return 1;
}

class PrintMailTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TestControl().Reset();
        LoadIntoContainer(m_window, SamplePath(L"cms1500.pdf"));
        ASSERT_NE(nullptr, m_window.Core().Form());
    }
    void TearDown() override { TestControl().Reset(); }

    // Runs the commands with printing going into a new metafile; returns the texts drawn.
    std::vector<DrawnText> PrintToMetafile(std::initializer_list<const wchar_t*> commands, double& scale)
    {
        HDC dc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
        scale = GetDeviceCaps(dc, LOGPIXELSX) / 72.0;
        TestControl().printTarget = dc;
        for (const wchar_t* command : commands) m_window.Send(command);
        TestControl().printTarget = nullptr;
        HENHMETAFILE emf = CloseEnhMetaFile(dc);
        std::vector<DrawnText> texts;
        EnumEnhMetaFile(nullptr, emf, CollectText, &texts, nullptr);
        DeleteEnhMetaFile(emf);
        return texts;
    }

    static const DrawnText* Find(const std::vector<DrawnText>& texts, const std::wstring& text)
    {
        for (const DrawnText& t : texts)
            if (t.text == text) return &t;
        return nullptr;
    }

    TestBrowserWindow m_window;
};

} // namespace

TEST_F(PrintMailTest, PrintsTheValuesAtTheirPlacesShiftedByTheOffsets)
{
    m_window.Send(L"FieldSet|<fields><topmostSubform>"
                  L"<_2_PATIENT_S_NAME_Last_First_Middle_Initial----8-_2_PATIENT_S_NAME_Last_First_Middle_Initial>"
                  L"PRINTME</_2_PATIENT_S_NAME_Last_First_Middle_Initial----8-_2_PATIENT_S_NAME_Last_First_Middle_Initial>"
                  L"<_3_PATIENTS_SEX_M----10-_3_PATIENTS_SEX_M>YES</_3_PATIENTS_SEX_M----10-_3_PATIENTS_SEX_M>"
                  L"</topmostSubform></fields>");
    double scale = 0;
    std::vector<DrawnText> plain = PrintToMetafile({L"StartPrint=0,0", L"PrintTextMode", L"PrintText"}, scale);
    const DrawnText* name = Find(plain, L"PRINTME");
    ASSERT_NE(nullptr, name);
    const pdf::Widget& widget = m_window.Core().Form()->Script().Form().fields[8].widgets[0];
    EXPECT_NEAR((widget.rect[0] + 2) * scale, name->at.x, 1.0);
    EXPECT_NE(nullptr, Find(plain, L"X")); // the checked box
    EXPECT_EQ(nullptr, Find(plain, L"HEALTH INSURANCE CLAIM FORM")); // text only: no drawing of the form
    EXPECT_EQ(2u, plain.size());

    std::vector<DrawnText> shifted = PrintToMetafile({L"Shift=36,-18", L"PrintText"}, scale);
    const DrawnText* moved = Find(shifted, L"PRINTME");
    ASSERT_NE(nullptr, moved);
    EXPECT_NEAR(36 * scale, moved->at.x - name->at.x, 1.0);  // right
    EXPECT_NEAR(18 * scale, moved->at.y - name->at.y, 1.0);  // a negative vertical offset moves down

    std::vector<DrawnText> all = PrintToMetafile({L"StartPrint=0,0", L"PrintAllMode", L"PrintAll"}, scale);
    EXPECT_NE(nullptr, Find(all, L"HEALTH INSURANCE CLAIM FORM"));
    EXPECT_NE(nullptr, Find(all, L"PRINTME"));
    EXPECT_GT(all.size(), 200u);
}

TEST_F(PrintMailTest, EmailSavesABlankCopyAndOpensAMailAddress)
{
    std::wstring copy = viewer::BlankCopyPath(SamplePath(L"cms1500.pdf"));
    DeleteFileW(copy.c_str());
    m_window.Send(L"FieldSet|<fields><topmostSubform><_1_MEDICARE----0-_1_MEDICARE>YES</_1_MEDICARE----0-_1_MEDICARE>"
                  L"</topmostSubform></fields>");
    m_window.Send(L"EmailForm");
    EXPECT_EQ(ReadWholeFile(SamplePath(L"cms1500.pdf")), ReadWholeFile(copy)); // blank: the form as given
    ASSERT_EQ(1u, m_window.opened.size());
    EXPECT_EQ(0u, m_window.opened[0].find(L"mailto:?subject=cms1500.pdf&body="));
    EXPECT_NE(std::wstring::npos, m_window.opened[0].find(viewer::MailtoEncode(copy)));
    EXPECT_TRUE(m_window.messages.empty());

    m_window.openSucceeds = false;
    m_window.Send(L"EmailForm");
    ASSERT_EQ(1u, m_window.messages.size());
    EXPECT_NE(std::wstring::npos, m_window.messages[0].find(copy));
    DeleteFileW(copy.c_str());
}

TEST_F(PrintMailTest, MailAddressesKeepNamesWithMarksWhole)
{
    // "#" would end the address, "&" start a new field, "%" an escape; blanks and accents are escaped.
    TempFolder folder;
    std::wstring form = folder.File(L"Claim #2 & 100% \u00e9+.pdf");
    ASSERT_TRUE(WriteWholeFile(form, ReadWholeFile(SamplePath(L"cms1500.pdf"))));
    ASSERT_TRUE(LoadIntoContainer(m_window, form));
    m_window.Send(L"EmailForm");
    ASSERT_EQ(1u, m_window.opened.size());
    const std::wstring& address = m_window.opened[0];
    EXPECT_EQ(0u, address.find(L"mailto:?subject=Claim%20%232%20%26%20100%25%20%C3%A9%2B.pdf&body=The%20blank%20form%20"));
    EXPECT_EQ(std::wstring::npos, address.find_first_of(L"# \\:+", 7));
    EXPECT_EQ(address.find(L'&'), address.rfind(L'&')); // only the one between subject and body
    DeleteFileW(viewer::BlankCopyPath(form).c_str());
}

TEST_F(PrintMailTest, APageReplacedWhileThePrinterIsChosenPrintsNothing)
{
    // The print dialog pumps messages; one of them may replace the page and its form.
    TestControl().whileChoosingPrinter = [this] { m_window.Core().Navigate(L"file:///C:/Program/container.htm"); };
    double scale = 0;
    EXPECT_TRUE(PrintToMetafile({L"PrintAll"}, scale).empty());
    EXPECT_EQ(nullptr, m_window.Core().Form());
    EXPECT_TRUE(m_window.messages.empty());

    TestControl().whileChoosingPrinter = nullptr;
    ASSERT_TRUE(LoadIntoContainer(m_window, SamplePath(L"cms1500.pdf")));
    EXPECT_GT(PrintToMetafile({L"PrintAll"}, scale).size(), 200u);
}
