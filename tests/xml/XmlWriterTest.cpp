// Serialiser output byte for byte: layout, prolog, escaping, CDATA splitting and indentation.
#include <gtest/gtest.h>
#include "TreeDump.h"
#include "xml/TreeNode.h"

namespace {

struct WriteRow {
    const char* name;
    const char* input;
    const char* output;
};

const WriteRow kGolden[] = {
    {"two children", "<r><a>x</a><b>y</b></r>", "\r\n<r>\r\n    <a>x</a>\r\n    <b>y</b>\r\n</r>\r\n"},
    {"empty element closed at once", "<r></r>", "\r\n<r />\r\n"},
    {"standalone written last", "<?xml standalone=\"yes\" version=\"1.0\"?><r/>",
     "<?xml version=\"1.0\" standalone=\"yes\" ?>\r\n\r\n<r />\r\n"},
    {"declaration without attributes", "<?xml ?><r/>", "<?xml ?>\r\n\r\n<r />\r\n"},
    {"whole prolog", "<?xml version=\"1.0\"?><?xml-stylesheet href=\"a.css\"?><!DOCTYPE r><r/>",
     "<?xml version=\"1.0\" ?>\r\n<?xml-stylesheet href=\"a.css\" ?>\r\n<!DOCTYPE r>\n\r\n\r\n<r />\r\n"},
    {"content escaping", "<r>&lt;&amp;lt; &quot;'&gt; &amp;reg; &amp;reg &#65; &amp;copy; &amp;Copy; &amp;COPY;</r>",
     "\r\n<r>&lt;&amp;lt; &quot;&apos;&gt; &reg; &amp;reg &#65; &copy; &Copy; &amp;COPY;</r>\r\n"},
    {"predefined names escaped again", "<r>&amp;amp; &amp;gt; &amp;quot; &amp;apos; &amp;laquo;</r>",
     "\r\n<r>&amp;amp; &amp;gt; &amp;quot; &amp;apos; &laquo;</r>\r\n"},
    {"longest kept names, a name cut short and one after a non-letter",
     "<r>&amp;frac12; &amp;Aelig;x &amp;nbsp &amp; nbsp; &amp;2nbsp; &amp;nbsp</r>",
     "\r\n<r>&frac12; &Aelig;x &amp;nbsp &amp; nbsp; &amp;2nbsp; &amp;nbsp</r>\r\n"},
    {"ampersand at the end", "<r>a &amp;</r>", "\r\n<r>a &amp;</r>\r\n"},
    {"attribute escaping", "<r a=\"x&amp;y &#38; &lt;&quot;&apos;&gt;\"/>",
     "\r\n<r a=\"x&amp;y &#38; &lt;&quot;&apos;&gt;\" />\r\n"},
    {"cdata holding the end marker split", "<r><![CDATA[a]]]]><![CDATA[>b]]></r>",
     "\r\n<r><![CDATA[a]]]]><![CDATA[>b]]></r>\r\n"},
    {"content and children", "<r>t<a/></r>", "\r\n<r>t\r\n    <a />\r\n</r>\r\n"},
};

class WriterGolden : public ::testing::TestWithParam<WriteRow> {};

TEST_P(WriterGolden, BytesMatch)
{
    EXPECT_EQ(parseAndSerialize(GetParam().input), GetParam().output);
}

INSTANTIATE_TEST_SUITE_P(Rows, WriterGolden, ::testing::ValuesIn(kGolden),
                         [](const ::testing::TestParamInfo<WriteRow>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p)
                                 name += isalnum((unsigned char)*p) ? *p : '_';
                             return name;
                         });

std::string serializeNode(TreeNode* node)
{
    kit::StringBuffer out;
    TreeNode::serialize(node, out, 0, 0, false);
    return std::string(sbText(out), sbLength(out));
}

TEST(Writer, CdataEndMarkerInsideContentLosesNothing)
{
    TreeNode* root = TreeNode::createRoot("r");
    root->setContentN("x]]>y]]>", 8);
    root->setCdata(true);
    std::string text = serializeNode(root);
    EXPECT_EQ(text, "\r\n<r><![CDATA[x]]]]><![CDATA[>y]]]]><![CDATA[>]]></r>\r\n");
    EXPECT_EQ(parseAndDump(text), "r:c\"x]]>y]]>\"");
    root->deleteTree();
}

TEST(Writer, EscapesFoundAtEveryPositionAndLength)
{
    // One byte to escape, or a kept reference, at each place in contents and values of each length
    // around the sixteen-byte blocks the search looks at.
    TreeNode* root = TreeNode::createRoot("r");
    for (int length = 1; length < 40; ++length) {
        for (int at = 0; at < length; ++at) {
            std::string plain(length, 'a');
            std::string content = plain, written = plain, value = plain, writtenValue = plain;
            content[at] = '>';
            written.replace(at, 1, "&gt;");
            value[at] = '&';
            writtenValue.replace(at, 1, "&amp;");
            root->setContentN(content.data(), length);
            root->removeAttribute("v");
            root->setAttribute("v", value.c_str());
            ASSERT_EQ(serializeNode(root), "\r\n<r v=\"" + writtenValue + "\">" + written + "</r>\r\n")
                << "length " << length << " at " << at;
            std::string kept = plain.substr(0, at) + "&reg;";
            root->setContentN(kept.data(), (int)kept.size());
            ASSERT_EQ(serializeNode(root), "\r\n<r v=\"" + writtenValue + "\">" + kept + "</r>\r\n")
                << "length " << length << " at " << at;
            std::string cut = plain.substr(0, at) + "&reg";
            root->setContentN(cut.data(), (int)cut.size());
            ASSERT_EQ(serializeNode(root),
                      "\r\n<r v=\"" + writtenValue + "\">" + plain.substr(0, at) + "&amp;reg</r>\r\n")
                << "length " << length << " at " << at;
        }
    }
    root->deleteTree();
}

TEST(Writer, ContentEndingWithLineFeedPutsCloseTagOnItsOwnLine)
{
    TreeNode* root = TreeNode::createRoot("r");
    TreeNode* a = TreeNode::createChild(root, "a");
    a->setContentN("x\n", 2);
    EXPECT_EQ(serializeNode(root), "\r\n<r>\r\n    <a>x\n    </a>\r\n</r>\r\n");
    root->deleteTree();
}

TEST(Writer, IndentationStopsAtFiftyLevels)
{
    TreeNode* root = TreeNode::createRoot("n");
    TreeNode* n = root;
    for (int i = 0; i < 60; ++i)
        n = TreeNode::createChild(n, "n");
    std::string text = serializeNode(root);
    std::string deepest = "\r\n" + std::string(200, ' ') + "<n />\r\n";
    EXPECT_NE(text.find(deepest), std::string::npos);
    EXPECT_EQ(text.find(std::string(201, ' ') + "<"), std::string::npos);
    root->deleteTree();
}

TEST(Writer, ElementEmptiedBySwapKeepsOpenAndCloseTags)
{
    TreeNode* root = TreeNode::createRoot("r");
    TreeNode* a = TreeNode::createChild(root, "a");
    TreeNode::createChild(a, "x");
    TreeNode* b = TreeNode::createChild(root, "b");
    ASSERT_TRUE(TreeNode::swapContent(a, b));
    EXPECT_EQ(serializeNode(root), "\r\n<r>\r\n    <b>    </b>\r\n    <a>\r\n        <x />\r\n    </a>\r\n</r>\r\n");
    root->deleteTree();
}

TEST(Writer, ChildNodeWrittenWithoutProlog)
{
    kit::StringBuffer text("<?xml version=\"1.0\"?><r><a k=\"v\">x</a></r>");
    TreeNode* root = nullptr;
    TreeNode::parseXml(text, nullptr, nullptr, root, true);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(serializeNode(root->getChild(0)), "\r\n<a k=\"v\">x</a>\r\n");
    root->deleteTree();
}

} // namespace
