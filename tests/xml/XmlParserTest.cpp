// The parser, one row per behaviour, checked through the canonical dump of the tree; every row also
// survives a round trip through the serialiser.
#include <gtest/gtest.h>
#include <string.h>
#include "TreeDump.h"
#include "xml/TreeNode.h"
#include "xml/LogBase.h"

namespace {

struct ParseRow {
    const char* name;
    const char* input;
    const char* dump;
};

const ParseRow kRows[] = {
    // Mixed content and trimming.
    {"chunks joined by one space", "<a> x <b/> y </a>", "a:\"x y\"(b)"},
    {"blank lines trimmed", "<a>\n   x  \r\n</a>", "a:\"x\""},
    {"text outside elements dropped", "junk<r>x</r>more", "r:\"x\""},
    // Entities.
    {"five entities decoded", "<a>&lt;&gt;&amp;&quot;&apos;</a>", "a:\"<>&\"'\""},
    {"numeric and other references kept", "<a>&#65; &#x41; &reg; &foo</a>", "a:\"&#65; &#x41; &reg; &foo\""},
    {"decoded once per chunk", "<a>&amp;lt;<b/>x</a>", "a:\"&lt; x\"(b)"},
    {"earlier chunk not decoded again", "<a>&amp;amp;<b/>&amp;gt;</a>", "a:\"&amp; &gt;\"(b)"},
    // CDATA.
    {"cdata kept raw", "<a><![CDATA[1<2 &amp;]]></a>", "a:c\"1<2 &amp;\""},
    {"cdata after text not decoded", "<a>x<![CDATA[&amp;]]></a>", "a:c\"x&amp;\""},
    {"text after cdata kept", "<a><![CDATA[1<2]]>tail<b/></a>", "a:c\"1<2 tail\"(b)"},
    {"adjacent sections join", "<a><![CDATA[x]]> <![CDATA[y]]></a>", "a:c\"xy\""},
    {"unterminated cdata", "<a><![CDATA[abc", "a:c\"abc\""},
    // Comments.
    {"comment skipped", "<r><!-- <x/> --><y/></r>", "r(y)"},
    {"unclosed comment ends the parse", "<r/><!-- x <s/>", "r"},
    {"unclosed comment before any element", "<!-- x <r/>", "<no root>"},
    {"comment closed by its own opening dashes", "<r><!--><a/></r>", "r(a)"},
    {"comment of three dashes closes at once", "<r><!---><a/></r>", "r(a)"},
    {"short comments do not swallow a later end", "<r><!--><a/><!---><b/><!-- c --><d/></r>", "r(a b d)"},
    {"empty comment", "<r><!----><a/></r>", "r(a)"},
    // Prolog.
    {"declaration in single quotes", "<?xml version='1.0' encoding='ISO-8859-1'?><r/>",
     "?xml[version=1.0;encoding=ISO-8859-1] r"},
    {"stylesheet instruction", "<?xml-stylesheet type=\"text/xsl\" href=\"s.xsl\"?><r/>",
     "?xml-stylesheet[type=text/xsl;href=s.xsl] r"},
    {"doctype with internal subset", "<!DOCTYPE r [<!ELEMENT r ANY>]><r/>", "!\"<!DOCTYPE r [<!ELEMENT r ANY>]>\n\" r"},
    {"other instruction after doctype", "<!DOCTYPE r><?pi data?><r/>", "!\"<!DOCTYPE r>\n<?pi data?>\n\" r"},
    {"unterminated instruction dropped", "<?pi <r/>", "r"},
    {"many unterminated instructions", "<?a <?b <?c <r/><?d", "r"},
    // Written back, a stray "<?" would take everything up to a "?>" that joined sections hold.
    {"unterminated instruction before joined sections holding its end", "<?u <a><![CDATA[?]]><![CDATA[>]]></a>",
     "a:c\"?>\""},
    // Quoted literals in the DOCTYPE: a '<' or '>' inside counts for nothing (each of these
    // documents is well-formed; an independent parser reads the root r with the text x).
    {"doctype entity value holding a greater-than", "<!DOCTYPE r [<!ENTITY e \"a>b\">]><r>x</r>",
     "!\"<!DOCTYPE r [<!ENTITY e \"a>b\">]>\n\" r:\"x\""},
    {"doctype system literal holding a less-than", "<!DOCTYPE r SYSTEM \"a<b.dtd\"><r>x</r>",
     "!\"<!DOCTYPE r SYSTEM \"a<b.dtd\">\n\" r:\"x\""},
    {"doctype system literal in apostrophes", "<!DOCTYPE r SYSTEM 's>t.dtd'><r>x</r>",
     "!\"<!DOCTYPE r SYSTEM 's>t.dtd'>\n\" r:\"x\""},
    {"doctype attribute default holding a greater-than", "<!DOCTYPE r [<!ATTLIST r a CDATA '>'>]><r>x</r>",
     "!\"<!DOCTYPE r [<!ATTLIST r a CDATA '>'>]>\n\" r:\"x\""},
    {"doctype entity value holding markup and the other quote", "<!DOCTYPE r [<!ENTITY e '<b>\"'>]><r>x</r>",
     "!\"<!DOCTYPE r [<!ENTITY e '<b>\"'>]>\n\" r:\"x\""},
    {"doctype comment holding a greater-than and an apostrophe",
     "<!DOCTYPE r [<!-- a>b ' --><!ELEMENT r ANY>]><r>x</r>",
     "!\"<!DOCTYPE r [<!-- a>b ' --><!ELEMENT r ANY>]>\n\" r:\"x\""},
    {"doctype instruction holding a greater-than", "<!DOCTYPE r [<?pi a>b?><!ELEMENT r ANY>]><r>x</r>",
     "!\"<!DOCTYPE r [<?pi a>b?><!ELEMENT r ANY>]>\n\" r:\"x\""},
    {"doctype cut off inside a literal is closed", "<r><!DOCTYPE x SYSTEM \"a>",
     "!\"<!DOCTYPE x SYSTEM \"a>\">\n\" r"},
    // Declarations: a value ends at its own quote, and an unclosed quote or a missing "?>" costs the
    // declaration only, never the document after it.
    {"declaration values in both quotes", "<?xml version='1.0' encoding='X' standalone=\"no\"?><r/>",
     "?xml[version=1.0;encoding=X;standalone=no] r"},
    {"declaration quote closed by the end of the declaration", "<?xml version=\"1.0?><r>a</r>",
     "?xml[version=1.0] r:\"a\""},
    {"declaration quote cut off by markup", "<?xml version=\"1.0\" encoding='utf-8><r>a</r>",
     "?xml[version=1.0;encoding=utf-8] r:\"a\""},
    {"declaration without its end", "<?xml version=\"1.0\"<r>a</r>", "?xml[version=1.0] r:\"a\""},
    {"stylesheet quote cut off by markup", "<?xml-stylesheet href=\"s.xsl<r>a</r>",
     "?xml-stylesheet[href=s.xsl] r:\"a\""},
    {"stylesheet value holding a greater-than", "<?xml-stylesheet href=\"a>b.xsl\" type=\"text/xsl\"?><r/>",
     "?xml-stylesheet[href=a>b.xsl;type=text/xsl] r"},
    {"declaration goes to the first element", "<?xml version=\"1.0\"?><a/><b/>", "b"},
    // Names.
    {"name characters kept", "<a.b-c_d:e!f/>", "a.b-c_d:e!f"},
    {"other characters dropped from tags", "<a$b%>x</a$b%>", "ab:\"x\""},
    {"less-than removed from a tag", "<<a>x</a>", "a:\"x\""},
    {"blank after the less-than", "< a>x</a>", "a:\"x\""},
    {"tag never begins with an exclamation mark", "<r><<!DOCTYPE x/>< !-a/></r>", "r(DOCTYPE[x=] -a)"},
    {"empty tag", "<>x</>", "nothing:\"x\""},
    // Attributes.
    {"quoted values with entities", "<a b='x&quot;y' c=\"&lt;&amp;lt;\"/>", "a[b=x\"y;c=<&lt;]"},
    {"value without quotes runs to the next quote", "<a x=1 y=\"2\">t</a>", "a[x=1 y=;A2=]:\"t\""},
    {"unquoted value swallows markup", "<a x=b><c y=\"1\"/></a>", "a[x=b><c y=;A1=]"},
    {"names filtered then prefixed", "<a 1b=\"v\" (2c=\"w\" d e=\"z\"/>", "a[A1b=v;A2c=w;d=;e=z]"},
    {"duplicate attributes kept", "<a x=\"1\" x=\"2\"/>", "a[x=1;x=2]"},
    // Repairs of malformed markup.
    {"mismatched close tag closes the current element", "<a><b></c></a>", "a(b)"},
    {"unclosed chain closed at the end", "<a><b>", "a(b)"},
    {"last complete top-level element wins", "<a/><b/>", "b"},
    {"open element after the root dropped", "<a/><b><c>", "a"},
    {"close tag broken by a less-than", "<r><a>x</a<b/></r>", "r(a:\"x\" b)"},
    {"no element at all", "just text", "<no root>"},
    {"empty text", "", "<no root>"},
};

class ParserTable : public ::testing::TestWithParam<ParseRow> {};

TEST_P(ParserTable, DumpMatches)
{
    EXPECT_EQ(parseAndDump(GetParam().input), GetParam().dump);
}

TEST_P(ParserTable, SurvivesRoundTrip)
{
    std::string first = parseAndDump(GetParam().input);
    if (first == "<no root>")
        return;
    EXPECT_EQ(parseAndDump(parseAndSerialize(GetParam().input)), first);
}

INSTANTIATE_TEST_SUITE_P(Rows, ParserTable, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<ParseRow>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p)
                                 name += isalnum((unsigned char)*p) ? *p : '_';
                             return name;
                         });

TEST(Parser, LogsErrors)
{
    Logger log;
    kit::StringBuffer text("<r><a>x</a<b/></r><!-- open");
    TreeNode* root = nullptr;
    ASSERT_TRUE(TreeNode::parseXml(text, &log, nullptr, root, true));
    ASSERT_NE(root, nullptr);
    root->deleteTree();
    kit::StringBuffer out;
    log.getLogText(out);
    EXPECT_STREQ(sbText(out), "KitLog:\r\n  Error in closing tag\r\n  error_tag: a\r\n  Unclosed comment\r\n");
}

TEST(Parser, DoctypeWithoutEndLogged)
{
    Logger log;
    kit::StringBuffer text("<r/><!DOCTYPE x [<!ELEMENT");
    TreeNode* root = nullptr;
    TreeNode::parseXml(text, &log, nullptr, root, true);
    ASSERT_NE(root, nullptr);
    root->deleteTree();
    kit::StringBuffer out;
    log.getLogText(out);
    EXPECT_STREQ(sbText(out), "KitLog:\r\n  Failed to parse DTD\r\n");
}


TEST(Parser, TextReadInPlaceGivesTheSameTreeAtEveryAlignment)
{
    // Markup, entities and section ends placed so that each falls on and beside sixteen-byte block
    // edges as the text moves through the alignments; the parser reads the caller's bytes in place.
    const std::string text = "<r><a>0123456789abcd&amp;</a><b x=\"&lt;\">ef</b><![CDATA[]]]]>"
                             "<c>&quot;0123456789abcdef&apos;</c><d/>tail&gt;</r>";
    const std::string expected = parseAndDump(text);
    ASSERT_EQ(expected, "r:c\"]] tail>\"(a:\"0123456789abcd&\" b[x=<]:\"ef\" c:\"\"0123456789abcdef'\" d)");
    alignas(16) char area[256];
    for (size_t offset = 0; offset < 32; ++offset) {
        memcpy(area + offset, text.c_str(), text.size() + 1);
        TreeNode* root = nullptr;
        ASSERT_TRUE(TreeNode::parseXmlString(area + offset, nullptr, nullptr, root, true));
        ASSERT_NE(root, nullptr) << "offset " << offset;
        EXPECT_EQ(dumpDocument(root), expected) << "offset " << offset;
        root->deleteTree();
    }
}

TEST(Parser, DeepNestingNeitherRecursesNorLoses)
{
    const int depth = 100000;
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "<a>";
    text += "x";
    kit::StringBuffer sb;
    sb.appendN(text.data(), (int)text.size());
    TreeNode* root = nullptr;
    TreeNode::parseXml(sb, nullptr, nullptr, root, true);
    ASSERT_NE(root, nullptr);
    int levels = 1;
    TreeNode* n = root;
    while (n->getNumChildren() == 1) {
        n = n->getChild(0);
        ++levels;
    }
    EXPECT_EQ(levels, depth);
    EXPECT_STREQ(n->getContent(), "x");
    kit::StringBuffer out;
    TreeNode::serialize(root, out, 0, 0, false);
    EXPECT_GT(sbLength(out), depth * 200);
    root->deleteTree();
}

TEST(Parser, ManyTopLevelElementsKeepTheLast)
{
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += "<e" + std::to_string(i) + "/>";
    EXPECT_EQ(parseAndDump(text), "e19999");
}

} // namespace
