// Elements as the parser builds them: a plain tag and the plain attributes read ahead are stored
// with the node in one block, a first child brings its parent's child array, and anything that
// needs repair or decoding takes the general path. Either way the tree must be the same.
#include <gtest/gtest.h>
#include <string>
#include "TreeDump.h"
#include "xml/TreeNode.h"

namespace {

// The parsed root, deleted with the test.
class ParsedElements : public ::testing::Test
{
protected:
    void TearDown() override
    {
        if (m_root)
            m_root->deleteTree();
    }
    TreeNode* parse(const std::string& text)
    {
        EXPECT_TRUE(TreeNode::parseXmlString(text.c_str(), nullptr, nullptr, m_root, true));
        EXPECT_NE(m_root, nullptr);
        return m_root;
    }
    // The dump of the parsed root element; "<no root>" when none came out.
    std::string parsedDump(const std::string& text)
    {
        TreeNode* root = parse(text);
        return root ? dumpElement(root) : "<no root>";
    }

    TreeNode* m_root = nullptr;
};

TEST_F(ParsedElements, PlainAndRepairedAttributesKeepTheirOrder)
{
    // A reference, a name that gets a prefix, then plain ones again.
    EXPECT_EQ(parsedDump("<r><e a=\"1\" b='two' c=\"x&amp;y\" d=\"4\" 9z=\"5\" e=\"six\"/></r>"),
              "r(e[a=1;b=two;c=x&y;d=4;A9z=5;e=six])");
}

TEST_F(ParsedElements, MoreAttributesThanAreReadAhead)
{
    EXPECT_EQ(parsedDump("<r><e a0=\"v0\" a1=\"v1\" a2=\"v2\" a3=\"v3\" a4=\"v4\" a5=\"v5\" a6=\"v6\" a7=\"v7\" "
                         "a8=\"v8\" a9=\"v9\" a10=\"v10\"/></r>"),
              "r(e[a0=v0;a1=v1;a2=v2;a3=v3;a4=v4;a5=v5;a6=v6;a7=v7;a8=v8;a9=v9;a10=v10])");
}

TEST_F(ParsedElements, UnquotedValuesAndNamesWithoutValues)
{
    // a has no value; b's unquoted value runs to the next quote, which is passed; the name after
    // it ends at its quote. Colons, underscores and bytes above 0x7F are name bytes.
    EXPECT_EQ(parsedDump("<r><e a b=c\"d\"/><f x:y=\"1\" _z='2' \xC3\xBC=\"3\"/></r>"),
              "r(e[a=;b=c;d=] f[x:y=1;_z=2;\xC3\xBC=3])");
}

TEST_F(ParsedElements, ChainOfSingleChildrenLinksAndGrows)
{
    TreeNode* a = parse("<a><b x=\"1\"><c/></b></a>");
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(a->getNumChildren(), 1);
    TreeNode* b = a->getChild(0);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->getParent(), a);
    EXPECT_EQ(a->childArrayCapacity(), 1) << "a single child without a model takes one slot";
    TreeNode* c = b->getChild(0);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->getParent(), b);
    EXPECT_EQ(c->getPrevSibling(), nullptr);
    EXPECT_EQ(c->getNextSibling(), nullptr);
    EXPECT_EQ(c->getTreeInfo(), a->getTreeInfo());
    // Children added afterwards grow the one-slot array and are linked after the parsed child.
    TreeNode* d = TreeNode::createChild(b, "d");
    TreeNode* e = TreeNode::createChild(b, "e");
    ASSERT_NE(d, nullptr);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(b->getNumChildren(), 3);
    EXPECT_EQ(b->getChild(1), d);
    EXPECT_EQ(b->getChild(2), e);
    EXPECT_EQ(c->getNextSibling(), d);
    EXPECT_EQ(d->getPrevSibling(), c);
    EXPECT_EQ(e->getPrevSibling(), d);
    b->setAttribute("y", "2");
    EXPECT_EQ(dumpElement(a), "a(b[x=1;y=2](c d e))");
}

TEST_F(ParsedElements, SiblingsAndArraysModelledOnThePreviousSibling)
{
    TreeNode* r = parse("<r><p><c n=\"1\"/><c n=\"2\"/><c n=\"3\"/></p><q><c n=\"4\"/></q></r>");
    ASSERT_NE(r, nullptr);
    TreeNode* p = r->getChild(0);
    TreeNode* q = r->getChild(1);
    ASSERT_NE(p, nullptr);
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(q->childArrayCapacity(), 3) << "q's array takes the size of p's";
    ASSERT_EQ(p->getNumChildren(), 3);
    for (int i = 1; i < 3; ++i) {
        EXPECT_EQ(p->getChild(i)->getPrevSibling(), p->getChild(i - 1));
        EXPECT_EQ(p->getChild(i - 1)->getNextSibling(), p->getChild(i));
    }
    EXPECT_EQ(q->getPrevSibling(), p);
    EXPECT_EQ(dumpElement(r), "r(p(c[n=1] c[n=2] c[n=3]) q(c[n=4]))");
}

TEST_F(ParsedElements, LongTagsAndValuesTakeTheGeneralPath)
{
    const std::string tag = "a_tag_name_of_forty_characters_in_total_";
    const std::string value(300, 'v');
    EXPECT_EQ(parsedDump("<r><" + tag + " k=\"" + value + "\" m=\"1\"><s/></" + tag + "></r>"),
              "r(" + tag + "[k=" + value + ";m=1](s))");
}

TEST_F(ParsedElements, TagsBesideOtherMarkupAndText)
{
    // The CDATA section joins the element's content raw and marks it.
    EXPECT_EQ(parsedDump("<r><a/><!--c--><b k=\"v\" />text<?p x?><c></c>  <d\n/>\n<![CDATA[z]]></r>"),
              "r:c\"textz\"(a b[k=v] c d)");
}

TEST_F(ParsedElements, UnclosedChainAtTheEndIsClosedUpward)
{
    // The last tag's name is whole, so its element is made with the attributes before the end.
    EXPECT_EQ(parsedDump("<r><a k=\"1\"><b><c m='2'"), "r(a[k=1](b(c[m=2])))");
}

} // namespace
