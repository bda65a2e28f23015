// The implementation behind an XML handle: the node it stands on (holding one handle count on the
// node and its document), the object's lock and its operation log.
#pragma once
#include "xml/KitTypes.h"
#include "xml/LogBase.h"
#include "xml/OsServices.h"

class TreeNode;
class XString;

class ClsBase : public KitObject
{
public:
    ClsBase() {}
    ~ClsBase() override {}
    virtual bool hasFeature(int feature) { return false; }
    virtual bool isImplementation() { return false; }

    void logSuccess(bool success);
    Logger& log() { return m_log; }

protected:
    Logger m_log;
    kit::StringBuffer m_spare;
};

class ClsXml : public ClsBase, public KitCritSec
{
public:
    ClsXml();
    ~ClsXml() override;
    ClsXml(const ClsXml&) = delete;
    ClsXml& operator=(const ClsXml&) = delete;

    bool hasFeature(int feature) override { return true; }
    bool isImplementation() override { return true; }

    // A new object standing on the node (or on a fresh "unnamed" document when it is not valid).
    static ClsXml* createForNode(TreeNode* node);

    bool LoadXml(const char* text, bool trim);
    bool LoadXmlFile(const char* utf8Path, bool trim);
    bool getXmlUtf8(kit::StringBuffer& out);
    void GetXml(XString& out);
    ClsXml* getChildWithTagUtf8(const char* tag);
    ClsXml* GetChildWithTag(XString& tag);
    bool getChildContentUtf8(const char* tag, kit::StringBuffer& out);
    bool GetChildContent(XString& tag, XString& out);
    ClsXml* GetChild(int index);
    ClsXml* GetRoot();
    int NumChildren();
    // False when either node is invalid or one node is the other's ancestor.
    bool SwapNode(ClsXml* other);

    void enterLock() { enterCriticalSection(); }
    void leaveLock() { leaveCriticalSection(); }
    TreeNode* node() const { return m_node; }

private:
    struct Bare {};
    explicit ClsXml(Bare) {}
    bool nodeValid() const;
    void releaseTree();
    void attach(TreeNode* node);
    bool loadFromFile(const char* utf8Path, bool trim);

    TreeNode* m_node = nullptr;
};
