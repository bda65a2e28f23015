// The operation log: one golden output per rendering, tag normalisation, context pruning, the bound
// on entries and saving.
#include <gtest/gtest.h>
#include "tests/support/TempFolder.h"
#include "xml/LogBase.h"

namespace {

void fillSample(LogBase& log)
{
    log.clearLog();
    log.enterContext("LoadXml", 1);
    log.logData(" my tag ", "v<1");
    log.logError("bad\nline");
    log.logInfo("ok");
    log.enterContext("inner", 1);
    log.logDataInt("n", -5);
    log.leaveContext();
    log.enterContext("empty", 1);
    log.leaveContext();
    log.logRaw("raw");
    log.logDataHex("h", 255);
    log.logDataInt64("big", -9000000000LL);
    log.leaveContext();
}

std::string text(const kit::StringBuffer& sb)
{
    return std::string(sbText(sb), sbLength(sb));
}

TEST(Log, XmlRendering)
{
    Logger log;
    fillSample(log);
    kit::StringBuffer out("stale");
    log.getLogXml(out);
    EXPECT_EQ(text(out), "<KitLog>\r\n<LoadXml>\r\n<my_tag><![CDATA[v<1]]></my_tag>\r\n"
                         "<error><![CDATA[bad\nline]]></error>\r\n<info>ok</info>\r\n"
                         "<inner>\r\n<n>-5</n>\r\n</inner>\r\nraw\r\n<h>0xff</h>\r\n"
                         "<big>-9000000000</big>\r\n</LoadXml>\r\n</KitLog>\r\n");
}

TEST(Log, HtmlRendering)
{
    Logger log;
    fillSample(log);
    kit::StringBuffer out;
    log.getLogHtml(out);
    EXPECT_EQ(text(out), "KitLog:<blockquote>\r\nLoadXml:<blockquote>\r\nmy_tag: v&lt;1<br>\r\nbad\nline<br>\r\n"
                         "ok<br>\r\ninner:<blockquote>\r\nn: -5<br>\r\n</blockquote>\r\nraw<br>\r\nh: 0xff<br>\r\n"
                         "big: -9000000000<br>\r\n</blockquote>\r\n</blockquote>\r\n");
}

TEST(Log, TextRendering)
{
    Logger log;
    fillSample(log);
    kit::StringBuffer out;
    log.getLogText(out);
    EXPECT_EQ(text(out), "KitLog:\r\n  LoadXml:\r\n    my_tag: v<1\r\n    bad\nline\r\n    ok\r\n    inner:\r\n"
                         "      n: -5\r\n    raw\r\n    h: 0xff\r\n    big: -9000000000\r\n");
}

TEST(Log, CdataOnlyWhereNeeded)
{
    EXPECT_FALSE(LogEntry2::needsCdata("only\rcarriage return"));
    EXPECT_FALSE(LogEntry2::needsCdata(nullptr));
    EXPECT_TRUE(LogEntry2::needsCdata("tab\there"));
    EXPECT_TRUE(LogEntry2::needsCdata("a & b"));
    EXPECT_FALSE(LogEntry2::needsCdata("<![CDATA[x]]> & more"));
}

TEST(Log, TaggedValuesEdgeCases)
{
    Logger log;
    EXPECT_TRUE(log.logData("t", nullptr));
    EXPECT_FALSE(log.logData("   ", "x"));
    EXPECT_FALSE(log.logDataInt("", 1));
    EXPECT_TRUE(log.logError(nullptr));
    log.logWindowsError(0);
    kit::StringBuffer out;
    log.getLogText(out);
    EXPECT_EQ(text(out), "KitLog:\r\n  t: (NULL)\r\n");
}

TEST(Log, WindowsErrorAndTickCount)
{
    Logger log;
    log.logWindowsError(ERROR_FILE_NOT_FOUND);
    log.logTickCount("ticks");
    kit::StringBuffer out;
    log.getLogText(out);
    std::string s = text(out);
    EXPECT_EQ(s.find("KitLog:\r\n  WindowsError: "), 0u) << s;
    EXPECT_GT(s.find("\r\n", 26), 27u) << "the system text is not empty";
    EXPECT_NE(s.find("\r\n  ticks: "), std::string::npos);
}

TEST(Log, ContextsLeftEmptyArePrunedBelowTheRoot)
{
    Logger log;
    log.enterContext("a", 1);
    log.enterContext("b", 1);
    log.leaveContext();
    log.leaveContext();
    log.leaveContext(); // never pops the root
    log.logInfo("after");
    kit::StringBuffer out;
    log.getLogText(out);
    EXPECT_EQ(text(out), "KitLog:\r\n  a:\r\n  after\r\n");
}

TEST(Log, EntriesAreBounded)
{
    Logger log;
    for (int i = 0; i < ErrorLog::MaxEntries + 500; ++i)
        log.logInfo("x");
    log.enterContext("late", 1);
    log.logInfo("y");
    log.leaveContext();
    kit::StringBuffer out;
    log.getLogText(out);
    std::string s = text(out);
    size_t lines = 0;
    for (char c : s)
        lines += c == '\n';
    EXPECT_EQ(lines, (size_t)ErrorLog::MaxEntries + 1);
    log.clearLog();
    log.logInfo("fresh");
    log.getLogText(out);
    EXPECT_EQ(text(out), "KitLog:\r\n  fresh\r\n");
}

TEST(Log, PrunedContextsDoNotUseUpTheBound)
{
    Logger log;
    log.enterContext("outer", 1);
    for (int i = 0; i < ErrorLog::MaxEntries + 10; ++i) {
        log.enterContext("quiet", 1);
        log.leaveContext();
    }
    log.logError("still recorded");
    log.leaveContext();
    kit::StringBuffer out;
    log.getLogText(out);
    EXPECT_EQ(text(out), "KitLog:\r\n  outer:\r\n    still recorded\r\n");
}

TEST(Log, SavedAsXml)
{
    TempFolder folder;
    Logger log;
    fillSample(log);
    std::string path(folder.Path().begin(), folder.Path().end());
    path += "log.xml";
    ASSERT_TRUE(log.saveLog(0, path.c_str()));
    kit::StringBuffer xml;
    log.getLogXml(xml);
    EXPECT_EQ(ReadWholeFile(folder.File(L"log.xml")), text(xml));
}

TEST(Log, NullLogAcceptsEverything)
{
    LogNull log;
    EXPECT_TRUE(log.logData("t", "v"));
    EXPECT_TRUE(log.enterContext("c", 1));
    kit::StringBuffer out("kept");
    log.getLogText(out);
    EXPECT_STREQ(sbText(out), "kept");
}

} // namespace
