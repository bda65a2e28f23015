// The parse engine's fixed-size captures: for sets of exactly 7, 5 and 2 bytes they stop where a
// plain search for the first byte of the set stops, from every start, and capture the bytes passed.
#include <gtest/gtest.h>
#include <string>
#include "kit/StringBuffer.h"
#include "xml/ParseEngine.h"

namespace {

using Capture = void (ParseEngine::*)(const char*, kit::StringBuffer&);

void expectLikeFirstOf(Capture capture, const char* set, const std::string& text)
{
    for (size_t start = 0; start <= text.size(); ++start) {
        ParseEngine engine;
        engine.setText(text.c_str());
        engine.advance((int)start);
        kit::StringBuffer out("pre:");
        (engine.*capture)(set, out);
        size_t stop = text.find_first_of(set, start);
        if (stop == std::string::npos)
            stop = text.size();
        ASSERT_EQ(engine.index(), (int)stop) << "set \"" << set << "\" from " << start;
        ASSERT_EQ(std::string(sbText(out)), "pre:" + text.substr(start, stop - start)) << start;
    }
}

TEST(ParseEngine, FixedSizeCapturesStopAtTheFirstByteOfTheSet)
{
    const std::string text = "version=\"1.0\" enc?ding='x'\tab\r\nc>d/e\x80\xff" "abc";
    expectLikeFirstOf(&ParseEngine::captureUntilAny7, " \t\r\n=?>", text);
    expectLikeFirstOf(&ParseEngine::captureUntilAny5, "\"'\r\n>", text);
    expectLikeFirstOf(&ParseEngine::captureUntilAny2, "\xff/", text);
    expectLikeFirstOf(&ParseEngine::captureUntilAny2, "zq", text); // no byte of the set: to the end
}

TEST(ParseEngine, SevenByteCaptureReadsADeclarationName)
{
    ParseEngine engine;
    engine.setText("encoding = 'utf-8'?>");
    kit::StringBuffer name;
    engine.captureUntilAny7(" \t\r\n=?>", name);
    EXPECT_STREQ(sbText(name), "encoding");
    EXPECT_EQ(engine.current(), ' ');
}

} // namespace
