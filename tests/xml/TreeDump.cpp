// Canonical dumps of XML trees for comparing parses.
#include "TreeDump.h"
#include "xml/TreeNode.h"
#include <vector>

namespace {

std::string attributesOf(TreeNode* node)
{
    AttributeSet* attrs = node->attributes();
    if (!attrs || attrs->getNumAttributes() == 0)
        return "";
    std::string s = "[";
    for (int i = 0; i < attrs->getNumAttributes(); ++i) {
        const char *name, *value;
        int nameLength, valueLength;
        attrs->getPair(i, name, nameLength, value, valueLength);
        if (i)
            s += ";";
        s += std::string(name, nameLength) + "=" + std::string(value, valueLength);
    }
    return s + "]";
}

void dumpInto(TreeNode* node, std::string& out)
{
    // Children are appended through an explicit stack so deep trees dump too.
    struct Item {
        TreeNode* node;
        bool close;
    };
    std::vector<Item> stack{{node, false}};
    while (!stack.empty()) {
        Item item = stack.back();
        stack.pop_back();
        if (item.close) {
            out += ")";
            continue;
        }
        TreeNode* n = item.node;
        if (!out.empty() && out.back() != '(')
            out += " ";
        out += *n->getTag() ? n->getTag() : "nothing";
        out += attributesOf(n);
        if (n->getContentLength() > 0)
            out += std::string(n->isCdata() ? ":c\"" : ":\"") + std::string(n->getContent(), n->getContentLength()) + "\"";
        if (n->hasChildArray()) {
            out += "(";
            stack.push_back({nullptr, true});
            for (int i = n->getNumChildren() - 1; i >= 0; --i)
                stack.push_back({n->getChild(i), false});
        }
    }
}

} // namespace

std::string dumpElement(TreeNode* node)
{
    std::string out;
    dumpInto(node, out);
    return out;
}

std::string dumpDocument(TreeNode* root)
{
    std::string out;
    TreeInfo* info = root->getTreeInfo();
    if (TreeNode::isValidNode(info->m_declaration))
        out += "?xml" + attributesOf(info->m_declaration) + " ";
    for (int i = 0; i < info->m_stylesheets.getSize(); ++i) {
        TreeNode* sheet = static_cast<TreeNode*>(info->m_stylesheets.getAt(i));
        if (sheet->attributes() && sheet->attributes()->getNumAttributes() > 0)
            out += "?xml-stylesheet" + attributesOf(sheet) + " ";
    }
    if (info->m_doctype)
        out += "!\"" + std::string(sbText(*info->m_doctype)) + "\" ";
    std::string tree;
    dumpInto(root, tree);
    return out + tree;
}

std::string parseAndDump(const std::string& text)
{
    kit::StringBuffer sb;
    sb.appendN(text.data(), (int)text.size());
    TreeNode* root = nullptr;
    TreeNode::parseXml(sb, nullptr, nullptr, root, true);
    if (!root)
        return "<no root>";
    std::string dump = dumpDocument(root);
    root->deleteTree();
    return dump;
}

std::string parseAndSerialize(const std::string& text)
{
    kit::StringBuffer sb;
    sb.appendN(text.data(), (int)text.size());
    TreeNode* root = nullptr;
    TreeNode::parseXml(sb, nullptr, nullptr, root, true);
    if (!root)
        return "";
    kit::StringBuffer out;
    TreeNode::serialize(root, out, 0, 0, false);
    root->deleteTree();
    return std::string(sbText(out), sbLength(out));
}
