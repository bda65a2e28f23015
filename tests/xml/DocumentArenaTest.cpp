// Parsed documents keep their nodes in an arena of their own, freed with the document: nodes that
// move into another document (a swap, a root added as a child) must live as long as the document
// that now holds them.
#include <gtest/gtest.h>
#include <windows.h>
#include <memory>
#include "TreeDump.h"
#include "xml/TreeNode.h"
#include "xml/XkXml.h"

namespace {

using Handle = std::unique_ptr<XkXml>;

DWORD stateOf(const void* p)
{
    MEMORY_BASIC_INFORMATION info = {};
    EXPECT_EQ(VirtualQuery(p, &info, sizeof info), sizeof info);
    return info.State;
}

TEST(DocumentArena, ParsedNodesGoBackToTheSystemWithTheirDocument)
{
    TreeNode* root = nullptr;
    ASSERT_TRUE(TreeNode::parseXmlString("<r><a k=\"v\"><b>t</b></a></r>", nullptr, nullptr, root, true));
    ASSERT_NE(root, nullptr);
    TreeNode* b = root->getChild(0)->getChild(0);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(dumpElement(root), "r(a[k=v](b:\"t\"))");
    EXPECT_EQ(stateOf(b), (DWORD)MEM_COMMIT);
    root->deleteTree();
    EXPECT_EQ(stateOf(b), (DWORD)MEM_FREE);
}

TEST(DocumentArena, SwappedNodesOutliveTheDocumentTheyCameFrom)
{
    auto one = std::make_unique<XkXml>();
    auto two = std::make_unique<XkXml>();
    ASSERT_TRUE(one->LoadXml("<one><a n=\"1\"><a1 m=\"2\">deep</a1></a></one>"));
    ASSERT_TRUE(two->LoadXml("<two><b>bee<b1/></b></two>"));
    Handle a(one->GetChild(0));
    Handle b(two->GetChild(0));
    ASSERT_TRUE(a->SwapNode(b.get()));
    // Document one, with the arena a1 was parsed into, goes; a1 now lives in document two.
    a.reset();
    one.reset();
    EXPECT_STREQ(two->getXml(),
                 "\r\n<two>\r\n    <a n=\"1\">\r\n        <a1 m=\"2\">deep</a1>\r\n    </a>\r\n</two>\r\n");
    // And the other way round: b1 came from document two into one, which outlives two.
    auto three = std::make_unique<XkXml>();
    ASSERT_TRUE(three->LoadXml("<three><c/></three>"));
    Handle c(three->GetChild(0));
    Handle moved(two->GetChild(0));
    ASSERT_TRUE(c->SwapNode(moved.get()));
    moved.reset();
    two.reset();
    EXPECT_STREQ(three->getXml(),
                 "\r\n<three>\r\n    <a n=\"1\">\r\n        <a1 m=\"2\">deep</a1>\r\n    </a>\r\n</three>\r\n");
}

TEST(DocumentArena, ParsedRootAddedAsAChildKeepsItsNodes)
{
    TreeNode* parsed = nullptr;
    ASSERT_TRUE(TreeNode::parseXmlString("<c><d e=\"f\">g<h/></d></c>", nullptr, nullptr, parsed, true));
    ASSERT_NE(parsed, nullptr);
    TreeNode* d = parsed->getChild(0);
    TreeNode* holder = TreeNode::createRoot("p");
    ASSERT_NE(holder, nullptr);
    // The parsed document's own record goes; its nodes now belong to the holder's document.
    ASSERT_TRUE(holder->addChild(parsed));
    EXPECT_EQ(parsed->getRoot(), holder);
    EXPECT_EQ(stateOf(d), (DWORD)MEM_COMMIT);
    EXPECT_EQ(dumpElement(holder), "p(c(d[e=f]:\"g\"(h)))");
    holder->deleteTree();
    EXPECT_EQ(stateOf(d), (DWORD)MEM_FREE);
}

} // namespace
