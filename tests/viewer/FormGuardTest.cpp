// The form window's net on real windows: a step of opening, painting or printing a form that fails
// (allocation failures made by a failing step) leaves the window standing with the form refused in the
// viewer's "could not be opened" words, the paint ended and the print reported, and the trace told.
// Forms refused for what they hold show the same words with the reader's reason.
#include "PdfTestFiles.h"
#include "ViewerWindowTest.h"
#include "framework/Seams.h"
#include "tests/support/TempFolder.h"
#include "viewer/FormGuard.h"
#include "viewer/FormWindow.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <new>
#include <stdexcept>

namespace {

class RecordingHost : public viewer::FormWindowHost
{
public:
    void NavigateFromPage(const std::wstring&) override {}
    bool OpenAddress(const std::wstring&) override { return false; }
    void ShowMessage(const std::wstring& text) override { messages.push_back(text); }
    HDC ChoosePrinter(bool& ownsDc) override
    {
        ownsDc = false;
        return printer;
    }
    std::vector<std::wstring> messages;
    HDC printer = nullptr;
};

class FormWindowGuard : public ::testing::Test
{
protected:
    void SetUp() override
    {
        AfxSetTraceSink([this](const wchar_t* line) { trace.push_back(line); });
        parent = CreateWindowExW(0, L"STATIC", L"form parent", WS_POPUP | WS_VISIBLE, 0, 0, 600, 500, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(nullptr, parent);
        RECT rc = {0, 0, 600, 500};
        ASSERT_TRUE(form.Create(parent, rc));
        path = folder.File(L"form.pdf");
        ASSERT_TRUE(WriteWholeFile(path, MakeLibraryStyleForm()));
    }
    void TearDown() override
    {
        viewer::SetFormStepHook(nullptr);
        if (parent) DestroyWindow(parent);
        PumpPending();
        AfxSetTraceSink(nullptr);
    }

    // Makes the named step throw that failure.
    template <typename Failure> void FailAt(const std::string& step, Failure failure)
    {
        viewer::SetFormStepHook([step, failure](const char* now) {
            if (step == now) throw failure;
        });
    }
    bool Traced(const std::wstring& line) const { return std::find(trace.begin(), trace.end(), line) != trace.end(); }
    size_t ChildCount() const
    {
        size_t count = 0;
        for (HWND child = GetWindow(form.Hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) ++count;
        return count;
    }
    std::wstring CouldNotBeOpened(const std::wstring& why) const
    {
        return L"The form " + path + L" could not be opened. " + why;
    }

    TempFolder folder;
    std::wstring path;
    RecordingHost host;
    viewer::FormWindow form{host};
    HWND parent = nullptr;
    std::vector<std::wstring> trace;
};

TEST_F(FormWindowGuard, AnAllocationFailureAtAnyStepOfOpeningIsAFormThatCouldNotBeOpened)
{
    for (const char* step : {"read", "parse", "script", "controls", "letterhead"}) {
        SCOPED_TRACE(step);
        trace.clear();
        FailAt(step, std::bad_alloc());
        EXPECT_FALSE(form.Load(path));
        EXPECT_EQ(CouldNotBeOpened(L"The file could not be read (not enough memory)."), form.Error());
        EXPECT_FALSE(form.Script().IsLoaded());
        EXPECT_TRUE(form.Script().Form().fields.empty());
        EXPECT_EQ(0u, ChildCount());
        EXPECT_TRUE(Traced(L"Form viewer: opening a form failed: not enough memory"));
        EXPECT_TRUE(Traced(L"Form viewer: " + form.Error()));
    }
    FailAt("controls", std::runtime_error("no room for windows"));
    EXPECT_FALSE(form.Load(path));
    EXPECT_EQ(CouldNotBeOpened(L"The file could not be read (no room for windows)."), form.Error());

    // Nothing of a failed opening stays behind: the same window opens the form afterwards.
    viewer::SetFormStepHook(nullptr);
    ASSERT_TRUE(form.Load(path)) << form.Error();
    EXPECT_EQ(L"", form.Error());
    EXPECT_EQ(7u, form.Script().Form().fields.size());
    EXPECT_NE(0u, ChildCount());
}

TEST_F(FormWindowGuard, APaintThatFailsStillEndsAndSaysSo)
{
    ASSERT_TRUE(form.Load(path)) << form.Error();
    PumpPending();
    FailAt("paint", std::bad_alloc());
    InvalidateRect(form.Hwnd(), nullptr, TRUE);
    UpdateWindow(form.Hwnd()); // WM_PAINT through the window procedure
    EXPECT_TRUE(Traced(L"Form viewer: painting a form failed: not enough memory"));
    // The paint ended: nothing of the window is left to paint (else WM_PAINT would come forever).
    RECT left;
    EXPECT_FALSE(GetUpdateRect(form.Hwnd(), &left, FALSE));
}

TEST_F(FormWindowGuard, APrintThatFailsTellsTheUser)
{
    ASSERT_TRUE(form.Load(path)) << form.Error();
    host.printer = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, host.printer);
    FailAt("print", std::bad_alloc());
    form.Print(viewer::PrintMode::All, 0, 0);
    DeleteEnhMetaFile(CloseEnhMetaFile(host.printer));
    EXPECT_EQ(std::vector<std::wstring>{L"The form could not be printed."}, host.messages);
    EXPECT_TRUE(Traced(L"Form viewer: printing a form failed: not enough memory"));
}

TEST_F(FormWindowGuard, AFormRefusedForWhatItHoldsShowsTheReaderReason)
{
    std::vector<TestPdfObject> objects = {
        {1, "<< /Type /Catalog /Pages 2 0 R /AcroForm << /Fields [10 0 R] >> >>"},
        {2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>"},
        {3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] >>"},
        {10, "<< /T (name) /FT /Tx /Rect ) >>"},
    };
    std::string bytes = MakeClassicPdf(objects, 1);
    ASSERT_TRUE(WriteWholeFile(path, bytes));
    size_t bad = bytes.find("/Rect )") + 6;
    EXPECT_FALSE(form.Load(path));
    EXPECT_EQ(CouldNotBeOpened(L"The file is not a readable PDF form (field object 10 0 is damaged (unexpected token at offset " +
                               std::to_wstring(bad) + L"))."),
              form.Error());
    EXPECT_TRUE(Traced(L"Form viewer: " + form.Error()));
    EXPECT_EQ(0u, ChildCount());
}

TEST_F(FormWindowGuard, AFormOfMoreFieldsThanItsTableHoldsIsReadButNotOpened)
{
    std::string fields = "[";
    for (int i = 0; i < 8190; ++i) fields += "<< /T (f" + std::to_string(i) + ") /FT /Tx /Rect [0 0 9 9] >>";
    std::vector<TestPdfObject> objects = {
        {1, "<< /Type /Catalog /Pages 2 0 R /AcroForm << /Fields " + fields + "] >> >>"},
        {2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>"},
        {3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] >>"},
    };
    ASSERT_TRUE(WriteWholeFile(path, MakeCompressedPdf(objects, 1)));
    EXPECT_FALSE(form.Load(path));
    EXPECT_EQ(CouldNotBeOpened(L"The file is not a readable PDF form (the form has more than 8189 fields)."), form.Error());
    EXPECT_TRUE(Traced(L"Form viewer: " + form.Error()));
    EXPECT_EQ(0u, ChildCount());
}

} // namespace
