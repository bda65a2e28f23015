// Handle implementation: loads, lookups, serialisation and swaps on the node a handle stands on,
// keeping the document alive while any handle stands on one of its nodes.
#include "xml/ClsXml.h"
#include "xml/TreeNode.h"
#include "xml/XString.h"
#include <string.h>

namespace {

class Lock
{
public:
    explicit Lock(KitCritSec& cs) : m_cs(cs) { m_cs.enterCriticalSection(); }
    ~Lock() { m_cs.leaveCriticalSection(); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    KitCritSec& m_cs;
};

const int kFileNameLimit = 100;

} // namespace

void ClsBase::logSuccess(bool success)
{
    if (success)
        m_log.logInfo("Success.");
    else
        m_log.logError("Failed.");
}

ClsXml::ClsXml()
{
    attach(TreeNode::createRoot("unnamed"));
}

ClsXml::~ClsXml()
{
    Lock lock(*this);
    releaseTree();
}

bool ClsXml::nodeValid() const
{
    return TreeNode::isValidNode(m_node);
}

void ClsXml::attach(TreeNode* node)
{
    m_node = node;
    if (m_node)
        TreeInfo::addRef(m_node);
}

void ClsXml::releaseTree()
{
    if (nodeValid()) {
        TreeInfo::release(m_node);
        if (m_node->treeHandleCount() == 0)
            m_node->deleteTree();
    }
    m_node = nullptr;
}

ClsXml* ClsXml::createForNode(TreeNode* node)
{
    if (!TreeNode::isValidNode(node))
        return new (std::nothrow) ClsXml();
    ClsXml* cls = new (std::nothrow) ClsXml(Bare{});
    if (cls)
        cls->attach(node);
    return cls;
}

bool ClsXml::LoadXml(const char* text, bool trim)
{
    if (text && !strchr(text, '<')) {
        kit::StringBuffer name;
        name.append(text);
        name.trim();
        if (sbLength(name) < kFileNameLimit) {
            name.toLowerCase();
            if (name.endsWith(".xml"))
                return LoadXmlFile(text, trim);
        }
    }
    Lock lock(*this);
    m_log.clearLog();
    m_log.enterContext("LoadXml", 1);
    // The parser reads the caller's text in place; a NULL text parses as empty.
    TreeNode* root = nullptr;
    TreeNode::parseXmlString(text ? text : "", &m_log, nullptr, root, trim);
    bool ok = root != nullptr;
    if (ok) {
        releaseTree();
        attach(root);
    }
    m_log.leaveContext();
    return ok;
}

bool ClsXml::LoadXmlFile(const char* utf8Path, bool trim)
{
    Lock lock(*this);
    m_log.clearLog();
    m_log.enterContext("LoadXmlFile", 1);
    m_log.logData("filename", utf8Path);
    bool ok = loadFromFile(utf8Path, trim);
    logSuccess(ok);
    m_log.leaveContext();
    return ok;
}

bool ClsXml::loadFromFile(const char* utf8Path, bool trim)
{
    kit::StringBuffer path;
    path.append(utf8Path);
    path.trim();
    TreeNode* root = nullptr;
    TreeNode::loadXmlFile(sbText(path), &m_log, nullptr, root, trim);
    if (!root)
        return false;
    releaseTree();
    attach(root);
    return true;
}

bool ClsXml::getXmlUtf8(kit::StringBuffer& out)
{
    Lock lock(*this);
    if (!nodeValid())
        return false;
    out.clear();
    if (TreeNode::serialize(m_node, out, 0, 0, false))
        return true;
    // A text with bytes missing is never handed out: the caller gets nothing and false.
    m_log.logError("Out of memory writing the XML text");
    out.clear();
    out.shrinkToFit();
    return false;
}

void ClsXml::GetXml(XString& out)
{
    // Written straight into the string's UTF-8 form: a large document is not copied once more.
    getXmlUtf8(out.beginUtf8Writing());
    out.endUtf8Writing();
}

ClsXml* ClsXml::getChildWithTagUtf8(const char* tag)
{
    if (!nodeValid())
        return nullptr;
    kit::StringBuffer trimmed;
    trimmed.append(tag);
    trimmed.trim();
    TreeNode* child = m_node->getNthChildWithTag(0, sbText(trimmed));
    return TreeNode::isValidNode(child) ? createForNode(child) : nullptr;
}

ClsXml* ClsXml::GetChildWithTag(XString& tag)
{
    return getChildWithTagUtf8(tag.getUtf8());
}

bool ClsXml::getChildContentUtf8(const char* tag, kit::StringBuffer& out)
{
    if (!nodeValid())
        return false;
    out.clear();
    TreeNode* child = m_node->getNthChildWithTag(0, tag ? tag : "");
    if (!TreeNode::isValidNode(child))
        return false;
    out.appendN(child->getContent(), child->getContentLength());
    return true;
}

bool ClsXml::GetChildContent(XString& tag, XString& out)
{
    kit::StringBuffer content;
    bool found = getChildContentUtf8(tag.getUtf8(), content);
    out.setFromUtf8(sbText(content));
    return found;
}

ClsXml* ClsXml::GetChild(int index)
{
    Lock lock(*this);
    if (!nodeValid())
        return nullptr;
    TreeNode* child = m_node->getChild(index);
    return TreeNode::isValidNode(child) ? createForNode(child) : nullptr;
}

ClsXml* ClsXml::GetRoot()
{
    if (!nodeValid())
        return nullptr;
    TreeNode* root = m_node->getRoot();
    return TreeNode::isValidNode(root) ? createForNode(root) : nullptr;
}

int ClsXml::NumChildren()
{
    Lock lock(*this);
    return nodeValid() ? m_node->getNumChildren() : 0;
}

bool ClsXml::SwapNode(ClsXml* other)
{
    if (!nodeValid() || !other || !other->nodeValid())
        return false;
    if (other == this)
        return true;
    // Both locks are taken in address order, so two opposite swaps cannot deadlock.
    ClsXml* first = this < other ? this : other;
    ClsXml* second = this < other ? other : this;
    first->enterLock();
    second->enterLock();
    bool ok = TreeNode::swapContent(m_node, other->m_node);
    second->leaveLock();
    first->leaveLock();
    return ok;
}
