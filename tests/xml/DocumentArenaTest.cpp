// Parsed documents keep their nodes in an arena of their own, freed with the document: nodes that
// move into another document (a swap, a root added as a child) must live as long as the document
// that now holds them.
#include <gtest/gtest.h>
#include <windows.h>
#include <memory>
#include <string>
#include "TreeDump.h"
#include "xml/TreeNode.h"
#include "xml/XkXml.h"

namespace {

using Handle = std::unique_ptr<XkXml>;

MEMORY_BASIC_INFORMATION regionOf(const void* p)
{
    MEMORY_BASIC_INFORMATION info = {};
    EXPECT_EQ(VirtualQuery(p, &info, sizeof info), sizeof info);
    return info;
}

// Parses and deletes a document of a few thousand elements: memory released by earlier documents
// is taken again and overwritten, so a node still in use there would show it.
void overwriteReleasedMemory()
{
    std::string filler = "<f>";
    for (int i = 0; i < 3000; ++i)
        filler += "<g h=\"zzzzzzzz\">filler text</g>";
    filler += "</f>";
    TreeNode* root = nullptr;
    ASSERT_TRUE(TreeNode::parseXmlString(filler.c_str(), nullptr, nullptr, root, true));
    ASSERT_NE(root, nullptr);
    root->deleteTree();
}

TEST(DocumentArena, ParsedNodesGoBackWithTheirDocument)
{
    TreeNode* root = nullptr;
    ASSERT_TRUE(TreeNode::parseXmlString("<r><a k=\"v\"><b>t</b></a></r>", nullptr, nullptr, root, true));
    ASSERT_NE(root, nullptr);
    TreeNode* b = root->getChild(0)->getChild(0);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(dumpElement(root), "r(a[k=v](b:\"t\"))");
    void* chunk = regionOf(b).AllocationBase;
    root->deleteTree();
    // The chunk is kept for the next document, which starts in it, or went back to the system.
    ASSERT_TRUE(TreeNode::parseXmlString("<s><c/></s>", nullptr, nullptr, root, true));
    ASSERT_NE(root, nullptr);
    void* next = regionOf(root->getChild(0)).AllocationBase;
    root->deleteTree();
    if (next != chunk)
        EXPECT_EQ(regionOf(b).State, (DWORD)MEM_FREE);
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
    overwriteReleasedMemory();
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
    overwriteReleasedMemory();
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
    overwriteReleasedMemory();
    EXPECT_EQ(dumpElement(holder), "p(c(d[e=f]:\"g\"(h)))");
    EXPECT_EQ(regionOf(d).State, (DWORD)MEM_COMMIT);
    holder->deleteTree();
}

} // namespace
