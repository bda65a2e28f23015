// kit::StringBuffer: growth arithmetic, editing, comparisons and replaceAll.
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include "kit/DataBuffer.h"
#include "kit/StringBuffer.h"

namespace {
std::string text(const kit::StringBuffer& sb) { return std::string(sb.pointerAt(0), sb.getSize()); }
}

TEST(StringBufferGrowth, ConstructorsSetBlockAndStep)
{
    kit::StringBuffer empty;
    EXPECT_EQ(202, empty.getCapacity());
    EXPECT_EQ(202, empty.getGrowthStep());
    EXPECT_EQ(0, empty.getSize());

    kit::StringBuffer fromText("hello");
    EXPECT_EQ(6, fromText.getCapacity());
    EXPECT_EQ(200, fromText.getGrowthStep());
    EXPECT_EQ("hello", text(fromText));

    kit::StringBuffer fromNull((const char*)nullptr);
    EXPECT_EQ(4, fromNull.getCapacity());
    EXPECT_EQ(0, fromNull.getSize());

    kit::StringBuffer bytes("a\0b", 3, 0);
    EXPECT_EQ(3, bytes.getSize());
    EXPECT_EQ(4, bytes.getCapacity());
    EXPECT_EQ(200, bytes.getGrowthStep());
    EXPECT_EQ(std::string("a\0b", 3), text(bytes));

    kit::StringBuffer sized(50);
    EXPECT_EQ(50, sized.getCapacity());
    EXPECT_EQ(50, sized.getGrowthStep());
    kit::StringBuffer defaultSized(0);
    EXPECT_EQ(200, defaultSized.getCapacity());

    kit::StringBuffer copy(fromText);
    EXPECT_EQ("hello", text(copy));
    EXPECT_EQ(6, copy.getCapacity());
}

TEST(StringBufferGrowth, RulesAandBAndStepAdjustment)
{
    kit::StringBuffer sb;
    std::string big(300, 'x');
    sb.append(big.c_str());
    EXPECT_EQ(503, sb.getCapacity()); // 0 + 300 + 202 + 1
    EXPECT_EQ(251, sb.getGrowthStep());
    EXPECT_EQ(300, sb.getSize());

    kit::StringBuffer n;
    n.appendN(big.data(), 300); // rule B has no extra byte
    EXPECT_EQ(502, n.getCapacity());
    EXPECT_EQ(251, n.getGrowthStep());

    kit::StringBuffer c("ab"); // capacity 3: the next char needs room for its terminator
    c.appendChar('c');
    EXPECT_EQ(2 + 1 + 200 + 1, c.getCapacity());
    EXPECT_EQ("abc", text(c));

    // Prepend grows by rule C: no step adjustment.
    kit::StringBuffer p("yz");
    p.prepend("wx");
    EXPECT_EQ("wxyz", text(p));
    EXPECT_EQ(2 + 2 + 200 + 1, p.getCapacity());
    EXPECT_EQ(200, p.getGrowthStep());
}

TEST(StringBufferGrowth, StepKeepsFollowingHalfTheBlock)
{
    // The step is not capped: a large text keeps doubling its block, so it is copied a bounded
    // number of times per byte.
    kit::StringBuffer sb;
    std::string chunk(400000, 'q');
    for (int i = 0; i < 8; i++)
        sb.append(chunk.c_str());
    EXPECT_EQ(3200000, sb.getSize());
    EXPECT_EQ(sb.getCapacity() / 2, sb.getGrowthStep());
    EXPECT_GT(sb.getGrowthStep(), 500000);
    int capacity = sb.getCapacity();
    while (sb.getCapacity() == capacity)
        sb.append(chunk.c_str());
    // Rule A: length + n + step + 1, the step then half the new block.
    EXPECT_EQ(sb.getSize() + capacity / 2 + 1, sb.getCapacity());
    EXPECT_EQ(sb.getCapacity() / 2, sb.getGrowthStep());
    EXPECT_EQ(0, *sb.pointerAt(sb.getSize()));
}

TEST(StringBufferEdit, AppendPrependSetAndTake)
{
    kit::StringBuffer sb("abc");
    sb.append(nullptr);
    sb.append("");
    sb.appendCharN('-', 3);
    sb.appendCharN('x', 0);
    EXPECT_EQ("abc---", text(sb));
    sb.prepend(">");
    EXPECT_EQ(">abc---", text(sb));

    // setString may be handed a pointer into the buffer itself.
    sb.setString(sb.pointerAt(1));
    EXPECT_EQ("abc---", text(sb));

    kit::StringBuffer other("zz");
    sb.appendSb(other);
    EXPECT_EQ("abc---zz", text(sb));
    sb.setSb(other);
    EXPECT_EQ("zz", text(sb));

    EXPECT_TRUE(sb.ensureRoom(2));
    EXPECT_GT(sb.getCapacity(), 4);

    DataBuffer db;
    db.append("taken", 5);
    db.appendChar(0);
    unsigned char* block = db.getData();
    sb.takeDataBuffer(db);
    EXPECT_EQ("taken", text(sb));
    EXPECT_EQ((char*)block, sb.pointerAt(0));
    EXPECT_EQ(1024, sb.getGrowthStep());
    EXPECT_EQ(nullptr, db.getData());

    DataBuffer tooSmall;
    tooSmall.appendChar(0);
    sb.takeDataBuffer(tooSmall);
    EXPECT_EQ(0, sb.getSize());
    EXPECT_NE(nullptr, tooSmall.getData());

    kit::StringBuffer wide;
    std::string many(1000, 'm');
    wide.append(many.c_str());
    wide.removeRange(1, 998);
    wide.shrinkToFit();
    EXPECT_EQ(3, wide.getCapacity());
    EXPECT_EQ("mm", text(wide));
}

TEST(StringBufferEdit, OwnTextCanBeAppendedWhileGrowing)
{
    kit::StringBuffer sb("abc"); // capacity 4: every append below grows the block
    sb.append(sb.pointerAt(0));
    EXPECT_EQ("abcabc", text(sb));
    kit::StringBuffer n("xyz");
    n.appendN(n.pointerAt(1), 2);
    EXPECT_EQ("xyzyz", text(n));
    kit::StringBuffer p("12");
    p.prepend(p.pointerAt(0));
    EXPECT_EQ("1212", text(p));
    kit::StringBuffer roomy(100);
    roomy.append("ab");
    roomy.append(roomy.pointerAt(0)); // no growth needed
    EXPECT_EQ("abab", text(roomy));
}

TEST(StringBufferEdit, TrimRemoveAndFilters)
{
    kit::StringBuffer blanks(" \t\r\n ");
    blanks.trim();
    EXPECT_EQ(0, blanks.getSize());
    EXPECT_EQ(0, *blanks.pointerAt(0));

    kit::StringBuffer inner(" a b ");
    inner.trim();
    EXPECT_EQ("a b", text(inner));
    kit::StringBuffer none("ab");
    none.trim();
    EXPECT_EQ("ab", text(none));

    kit::StringBuffer sb("a-b-c-d");
    sb.removeCharFrom('-', 3);
    EXPECT_EQ("a-bcd", text(sb));
    sb.removeCharFrom('-', 99);
    EXPECT_EQ("a-bcd", text(sb));
    sb.removeChar('-');
    EXPECT_EQ("abcd", text(sb));
    sb.replaceChar('b', 'B');
    EXPECT_EQ("aBcd", text(sb));
    sb.removeRange(1, 2);
    EXPECT_EQ("ad", text(sb));
    sb.removeRange(1, 5); // reaches past the end: nothing
    EXPECT_EQ("ad", text(sb));

    kit::StringBuffer name("x y<z>.1-_:!\xC3\xA9@");
    name.keepXmlNameChars();
    EXPECT_EQ("xyz.1-_:!\xC3\xA9", text(name));

    kit::StringBuffer lower("AbC\xC9\xE9\x80\xDF");
    lower.toLowerCase();
    EXPECT_EQ("abc\xE9\xE9\x80\xFF", text(lower));
    EXPECT_EQ('\xFF', lower.lastChar());
    kit::StringBuffer empty("");
    EXPECT_EQ(0, empty.lastChar());
}

TEST(StringBufferCompare, PrefixSuffixAndCase)
{
    kit::StringBuffer ab("ab");
    EXPECT_TRUE(ab.beginsWith(""));
    EXPECT_FALSE(ab.beginsWith("abc"));
    EXPECT_FALSE(ab.beginsWith(nullptr));
    EXPECT_TRUE(ab.beginsWith("a"));
    EXPECT_TRUE(ab.endsWith(""));
    EXPECT_FALSE(ab.endsWith(nullptr));
    EXPECT_TRUE(ab.endsWith("b"));
    EXPECT_FALSE(ab.endsWith("xab"));
    EXPECT_FALSE(ab.endsWith("B"));

    kit::StringBuffer empty("");
    EXPECT_TRUE(empty.equalsIgnoreCase(nullptr));
    kit::StringBuffer a("a");
    EXPECT_FALSE(a.equalsIgnoreCase(nullptr));
    kit::StringBuffer abc("ABC");
    EXPECT_TRUE(abc.equalsIgnoreCase("abc"));
    EXPECT_FALSE(abc.equalsIgnoreCase("abcd"));

    kit::StringBuffer hay("Content-Type: text");
    EXPECT_TRUE(hay.containsIgnoreCase("TYPE"));
    EXPECT_FALSE(hay.containsIgnoreCase(nullptr));
    EXPECT_FALSE(hay.containsIgnoreCase("xml"));
    EXPECT_EQ(nullptr, findIgnoreCase("abc", ""));
    const char* s = "xx\xE9Y";
    EXPECT_EQ(s + 2, findIgnoreCase(s, "\xE9y"));
    EXPECT_EQ(nullptr, findIgnoreCase(s, "\xC9y")); // only a-z fold
}

TEST(StringBufferReplace, ReplaceAllCountsAndResumesAfterMatch)
{
    kit::StringBuffer four("aaaa");
    EXPECT_EQ(2, four.replaceAll("aa", "b"));
    EXPECT_EQ("bb", text(four));
    kit::StringBuffer three("aaa");
    EXPECT_EQ(1, three.replaceAll("aa", "b"));
    EXPECT_EQ("ba", text(three));
    kit::StringBuffer removed("a,b,,c");
    EXPECT_EQ(3, removed.replaceAll(",", nullptr));
    EXPECT_EQ("abc", text(removed));
    kit::StringBuffer grow("x");
    EXPECT_EQ(1, grow.replaceAll("x", "xx")); // the replacement is never searched again
    EXPECT_EQ("xx", text(grow));
    kit::StringBuffer absent("abc");
    EXPECT_EQ(0, absent.replaceAll("z", "y"));
    EXPECT_EQ(0, absent.replaceAll("", "y"));
    EXPECT_EQ(0, absent.replaceAll(nullptr, "y"));
    EXPECT_EQ("abc", text(absent));

    std::string longText;
    for (int i = 0; i < 500; i++)
        longText += "<a>";
    kit::StringBuffer big(longText.c_str());
    EXPECT_EQ(500, big.replaceAll("<a>", "&lt;a&gt;"));
    EXPECT_EQ(500 * 9, big.getSize());

    kit::StringBuffer entities("&lt; \"<x>\"");
    entities.encodeXmlEntities();
    EXPECT_EQ("&amp;lt; &quot;&lt;x&gt;&quot;", text(entities));
}

TEST(StringBufferSystem, WindowsErrorTextIsTrimmed)
{
    kit::StringBuffer sb;
    sb.appendWindowsError(2); // file not found
    ASSERT_GT(sb.getSize(), 0);
    EXPECT_NE('\n', sb.lastChar());
    EXPECT_NE(' ', *sb.pointerAt(0));
}
