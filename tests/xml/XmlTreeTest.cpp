// The tree: attribute pairs, tag filtering, child arrays, handle counts and swapping.
#include <gtest/gtest.h>
#include <string>
#include "TreeDump.h"
#include "xml/TreeNode.h"

namespace {

TEST(AttributeSet, PairsKeepOrderDuplicatesAndRemoval)
{
    AttributeSet set;
    EXPECT_EQ(set.getNumAttributes(), 0);
    set.addAttribute("a", "1");
    set.addAttribute("bb", nullptr);
    set.addAttribute("a", "2");
    set.addAttribute("", "x");
    set.addAttribute("c", "333");
    EXPECT_EQ(set.getNumAttributes(), 4);
    kit::StringBuffer out;
    EXPECT_TRUE(set.getAttribute("a", out));
    EXPECT_STREQ(sbText(out), "1");
    EXPECT_TRUE(set.getAttribute("bb", out));
    EXPECT_STREQ(sbText(out), "");
    EXPECT_FALSE(set.getAttribute("A", out));
    EXPECT_FALSE(set.getAttribute("b", out));
    set.removeAttribute("a");
    EXPECT_EQ(set.getNumAttributes(), 2);
    EXPECT_FALSE(set.hasAttribute("a"));
    EXPECT_TRUE(set.getAttribute("c", out));
    EXPECT_STREQ(sbText(out), "333");
    kit::StringBuffer text;
    set.serialize(text);
    EXPECT_STREQ(sbText(text), " bb=\"\" c=\"333\"");
}

TEST(AttributeSet, ManyLongPairsGrowAndStayInOrder)
{
    // Enough pairs and bytes to regrow the set's storage many times, past the small-block sizes.
    AttributeSet set;
    std::string expected;
    for (int i = 0; i < 300; ++i) {
        std::string name = "n" + std::to_string(i);
        std::string value(i % 40, char('a' + i % 26));
        set.addAttributeN(name.data(), (int)name.size(), value.data(), (int)value.size());
        expected += " " + name + "=\"" + value + "\"";
    }
    ASSERT_EQ(set.getNumAttributes(), 300);
    const char* name;
    const char* value;
    int nameLength, valueLength;
    set.getPair(299, name, nameLength, value, valueLength);
    EXPECT_EQ(std::string(name, nameLength), "n299");
    EXPECT_EQ(std::string(value, valueLength), std::string(299 % 40, char('a' + 299 % 26)));
    kit::StringBuffer text;
    set.serialize(text);
    EXPECT_EQ(std::string(sbText(text)), expected);

    // Removing from the middle closes the gap; later pairs and new ones read back intact.
    EXPECT_TRUE(set.removeFirst("n150"));
    EXPECT_FALSE(set.hasAttribute("n150"));
    set.addAttribute("last", "v");
    kit::StringBuffer out;
    EXPECT_TRUE(set.getAttribute("n151", out));
    EXPECT_EQ(std::string(sbText(out)), std::string(151 % 40, char('a' + 151 % 26)));
    EXPECT_TRUE(set.getAttribute("last", out));
    EXPECT_STREQ(sbText(out), "v");
    EXPECT_EQ(set.getNumAttributes(), 300);
    set.getPair(300, name, nameLength, value, valueLength);
    EXPECT_EQ(nameLength, 0) << "an index past the end gives an empty pair";
}

TEST(TreeNode, AttributeNamesFilteredAndPrefixed)
{
    TreeNode* root = TreeNode::createRoot("r");
    root->setAttribute("1st", "a");
    root->setAttribute("-x", "b");
    root->setAttribute(".y", "c");
    root->setAttribute("(2", "d");
    root->setAttribute("s p", "e");
    root->setAttribute("((", "f");
    EXPECT_EQ(dumpElement(root), "r[A1st=a;A-x=b;A.y=c;A2=d;sp=e]");
    root->deleteTree();
}

TEST(TreeNode, TagsKeepOnlyNameCharacters)
{
    TreeNode* root = TreeNode::createRoot("a b<c>\xC3\xA9");
    EXPECT_STREQ(root->getTag(), "abc\xC3\xA9");
    root->setTag(nullptr);
    EXPECT_STREQ(root->getTag(), "");
    root->deleteTree();
}

TEST(TreeNode, ChildArraySizedFromPreviousSibling)
{
    TreeNode* root = TreeNode::createRoot("r");
    TreeNode* first = TreeNode::createChild(root, "s");
    for (int i = 0; i < 12; ++i)
        TreeNode::createChild(first, "c");
    TreeNode* second = TreeNode::createChild(root, "t");
    TreeNode::createChild(second, "c");
    EXPECT_EQ(second->childArrayCapacity(), 12);
    TreeNode* third = TreeNode::createChild(root, "u");
    TreeNode::createChild(third, "c");
    EXPECT_EQ(third->childArrayCapacity(), 1) << "previous sibling has one child";
    EXPECT_EQ(second->getPrevSibling(), first);
    EXPECT_EQ(first->getNextSibling(), second);
    root->deleteTree();
}

TEST(TreeNode, LookupsByIndexAndTag)
{
    TreeNode* root = TreeNode::createRoot("r");
    TreeNode* a0 = TreeNode::createChild(root, "a");
    TreeNode::createChild(root, "b");
    TreeNode* a1 = TreeNode::createChild(root, "a");
    EXPECT_EQ(root->getChild(0), a0);
    EXPECT_EQ(root->getChild(-1), nullptr);
    EXPECT_EQ(root->getChild(3), nullptr);
    EXPECT_EQ(root->getNthChildWithTag(0, "a"), a0);
    EXPECT_EQ(root->getNthChildWithTag(1, "a"), a1);
    EXPECT_EQ(root->getNthChildWithTag(2, "a"), nullptr);
    EXPECT_EQ(a1->getRoot(), root);
    root->deleteTree();
}

TEST(TreeNode, SwapMovesEverythingButTheCdataFlag)
{
    kit::StringBuffer text("<r><a k=\"1\"><![CDATA[c<d]]><x/></a><b>plain<y/><z/></b></r>");
    TreeNode* root = nullptr;
    TreeNode::parseXml(text, nullptr, nullptr, root, true);
    ASSERT_NE(root, nullptr);
    TreeNode* a = root->getChild(0);
    TreeNode* b = root->getChild(1);
    ASSERT_TRUE(TreeNode::swapContent(a, b));
    EXPECT_EQ(dumpElement(root), "r(b:c\"plain\"(y z) a[k=1]:\"c<d\"(x))");
    EXPECT_EQ(a->getChild(0)->getParent(), a);
    EXPECT_EQ(b->getChild(0)->getParent(), b);
    root->deleteTree();
}

TEST(TreeNode, SwapWithAncestorRefused)
{
    kit::StringBuffer text("<r><a><b><c/></b></a></r>");
    TreeNode* root = nullptr;
    TreeNode::parseXml(text, nullptr, nullptr, root, true);
    ASSERT_NE(root, nullptr);
    TreeNode* a = root->getChild(0);
    TreeNode* c = a->getChild(0)->getChild(0);
    std::string before = dumpElement(root);
    EXPECT_FALSE(TreeNode::swapContent(a, c));
    EXPECT_FALSE(TreeNode::swapContent(c, root));
    EXPECT_TRUE(TreeNode::swapContent(a, a));
    EXPECT_EQ(dumpElement(root), before);
    root->deleteTree();
}

TEST(TreeNode, SwapAcrossDocumentsCarriesHandleCounts)
{
    TreeNode* docA = TreeNode::createRoot("A");
    TreeNode* a = TreeNode::createChild(docA, "a");
    TreeNode* deep = TreeNode::createChild(TreeNode::createChild(a, "a1"), "a2");
    TreeNode* docB = TreeNode::createRoot("B");
    TreeNode* b = TreeNode::createChild(docB, "b");
    TreeInfo::addRef(deep); // a handle inside a's subtree
    TreeInfo::addRef(docB); // a handle on B's root
    EXPECT_EQ(docA->treeHandleCount(), 1);
    EXPECT_EQ(docB->treeHandleCount(), 1);
    ASSERT_TRUE(TreeNode::swapContent(a, b));
    // The subtree holding the handle now lives in document B.
    EXPECT_EQ(deep->getRoot(), docB);
    EXPECT_EQ(docA->treeHandleCount(), 0);
    EXPECT_EQ(docB->treeHandleCount(), 2);
    EXPECT_EQ(docB->subtreeHandleCount(), 2);
    docA->deleteTree();
    TreeInfo::release(deep);
    TreeInfo::release(docB);
    EXPECT_EQ(docB->treeHandleCount(), 0);
    EXPECT_FALSE(TreeInfo::release(docB)) << "counts never go below zero";
    docB->deleteTree();
}

TEST(TreeNode, DeclarationEncodingReplaced)
{
    TreeNode* root = TreeNode::createRoot("r");
    kit::StringBuffer value;
    bool found = true;
    root->getDeclEncoding(value, found);
    EXPECT_FALSE(found);
    root->setDeclEncoding("utf-8");
    root->getDeclEncoding(value, found);
    EXPECT_TRUE(found);
    EXPECT_STREQ(sbText(value), "utf-8");
    root->setDeclEncoding("x");
    EXPECT_EQ(dumpDocument(root), "?xml[version=1.0;encoding=x] r");
    root->deleteTree();
}

TEST(TreeNode, AddChildRefusesNodesOfItsOwnDocument)
{
    TreeNode* root = TreeNode::createRoot("r");
    TreeNode* a = TreeNode::createChild(root, "a");
    TreeNode* b = TreeNode::createChild(root, "b");
    EXPECT_FALSE(a->addChild(b));
    EXPECT_FALSE(a->addChild(a));
    TreeNode* other = TreeNode::createRoot("o");
    EXPECT_TRUE(a->addChild(other));
    EXPECT_EQ(other->getRoot(), root);
    EXPECT_EQ(dumpElement(root), "r(a(o) b)");
    root->deleteTree();
}

} // namespace
