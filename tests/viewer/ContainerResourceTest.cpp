// The container page carried as a resource holds what the viewer emulates: the title, the inputs
// in their order and the five page functions.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>

TEST(ContainerResource, HoldsTheInputsAndFunctionsTheViewerEmulates)
{
    HRSRC found = ::FindResourceW(nullptr, L"CONTAINER.HTM", RT_HTML);
    ASSERT_NE(nullptr, found);
    HGLOBAL loaded = ::LoadResource(nullptr, found);
    ASSERT_NE(nullptr, loaded);
    const char* bytes = static_cast<const char*>(::LockResource(loaded));
    std::string page(bytes, ::SizeofResource(nullptr, found));
    EXPECT_NE(std::string::npos, page.find("<title>PDF Javascript Test</title>"));
    EXPECT_NE(std::string::npos, page.find("charset=windows-1252"));
    size_t last = page.find("id=\"PDFArea\"");
    ASSERT_NE(std::string::npos, last);
    for (const char* id : {"MsgRsp1", "MsgRsp2", "MsgRsp3", "MsgRsp4", "MsgText1", "MsgText2", "MsgText3", "MsgText4",
                           "docpath"}) {
        size_t at = page.find(std::string("type=\"hidden\" id=\"") + id + "\"");
        ASSERT_NE(std::string::npos, at) << id;
        EXPECT_GT(at, last) << id; // in the body's order
        last = at;
    }
    for (const char* function : {"Button2_onclick()", "SetReply(id, text)", "ClearStat()", "SetMessageHandler()", "DoLoadDoc()"})
        EXPECT_NE(std::string::npos, page.find(std::string("function ") + function)) << function;
    EXPECT_NE(std::string::npos, page.find("setTimeout(SetMessageHandler, 1)"));
}
