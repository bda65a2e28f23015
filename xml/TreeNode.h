// The XML document model: one TreeNode per element, one TreeInfo per document (prolog items and the
// count of handles standing on it), and each element's AttributeSet.
#pragma once
#include "xml/KitTypes.h"
#include "xml/NodePool.h"
#include <stdint.h>

class LogBase;
class ParseEngine;
class ProgressMonitor;
class TreeNode;

const unsigned char kTreeAlive = 206;
const unsigned char kTreeDead = '1';

// An attribute as the parser found it in the text: a plain name and a value without references.
struct ParsedAttribute {
    const char* name;
    int nameLength;
    const char* value;
    int valueLength;
};

class AttributeSet
{
public:
    POOLED_ALLOCATION(AttributeSet)
    AttributeSet() {}
    virtual ~AttributeSet();
    // A new set with room for a first pair of that many record bytes in the same allocation (freed
    // with delete as any other set), placed in the arena when one is given; NULL when no memory is
    // left.
    static AttributeSet* create(int firstPairBytes, kit::BlockArena* arena = nullptr);
    // Bytes one pair takes in the block.
    static int pairBytes(int nameLength, int valueLength) { return 2 * (int)sizeof(int) + nameLength + valueLength; }
    // Bytes a set with room for pairs of that many record bytes takes when placed in a block of its
    // owner's; placeIn makes it there (the block must outlive the set, as an arena's does).
    static size_t placedBytes(int pairBytes) { return (sizeof(AttributeSet) + sizeof(Block) + (size_t)pairBytes + 3) & ~(size_t)3; }
    // The set holds the pairs given, whose records take pairBytes.
    static AttributeSet* placeIn(void* memory, const ParsedAttribute* attrs, int count, int pairBytes);
    AttributeSet(const AttributeSet&) = delete;
    AttributeSet& operator=(const AttributeSet&) = delete;

    void addAttribute(const char* name, const char* value);
    // False when the pair could not be stored (no memory).
    bool addAttributeN(const char* name, int nameLength, const char* value, int valueLength);
    bool getAttribute(const char* name, kit::StringBuffer& out) const;
    bool hasAttribute(const char* name) const;
    int getNumAttributes() const;
    bool removeFirst(const char* name);
    void removeAttribute(const char* name);

    // Pair access for the serialiser and tests: name and value bytes with their lengths.
    void getPair(int index, const char*& name, int& nameLength, const char*& value, int& valueLength) const;
    void serialize(kit::StringBuffer& out) const;
    static void escapeValue(kit::StringBuffer& out, const char* bytes, int length);

private:
    // The pairs lie in one block: this header, then per pair the name and value lengths and the
    // name and value bytes.
    struct Block {
        int capacity; // bytes after the header
        int used;
        int pairs;
    };
    // The record of the first pair with this name; NULL when absent.
    char* findPair(const char* name) const;
    char* recordAt(int index) const;
    bool ensureRoom(int bytes);
    Block* inlineBlock();
    void freeBlock();

    Block* m_block = nullptr;
};

class TreeInfo : public KitObject
{
public:
    TreeInfo();
    ~TreeInfo() override;
    TreeInfo(const TreeInfo&) = delete;
    TreeInfo& operator=(const TreeInfo&) = delete;

    bool isValid() const { return m_integrity == kTreeAlive; }
    static bool addRef(TreeNode* node);
    static bool release(TreeNode* node);

    // Gives the document an arena of its own that new nodes are placed in until stopBuilding; false
    // (nodes then come from the pool) when none could be made.
    bool startArena();
    void stopBuilding() { m_building = nullptr; }
    kit::BlockArena* buildingArena() const { return m_building; }
    // Before nodes move from one document into another: the receiving document takes a reference on
    // every arena the nodes may lie in. False when it cannot (no memory, or no valid receiving
    // document while the other has arenas); nothing may move then.
    static bool shareArenas(TreeInfo* to, const TreeInfo* from);

    unsigned char m_integrity = kTreeAlive;
    TreeNode* m_root = nullptr;
    TreeNode* m_declaration = nullptr;
    ExtPtrArray m_stylesheets;
    kit::StringBuffer* m_doctype = nullptr;
    int m_handleCount = 0;
    int m_sourceBytes = 0; // length of the text the document was parsed from: a hint for writing it

private:
    bool holdsArena(const KitObject* arena) const;

    // Arenas that nodes of this document may lie in, one reference on each, released when the
    // document is deleted (after all its nodes).
    ExtPtrArray m_arenas;
    kit::BlockArena* m_building = nullptr;
};

class TreeNode : public KitObject
{
public:
    POOLED_ALLOCATION(TreeNode)
    TreeNode(const char* tag, const char* content);
    ~TreeNode() override;
    TreeNode(const TreeNode&) = delete;
    TreeNode& operator=(const TreeNode&) = delete;

    static bool isValidNode(const TreeNode* node) { return node && node->m_integrity == kTreeAlive; }

    static TreeNode* createRoot(const char* tag);
    static TreeNode* createChild(TreeNode* parent, const char* tag);
    // Makes a child with a tag of the given bytes; NULL when it could not be appended.
    static TreeNode* createChildN(TreeNode* parent, const char* tag, int tagLength);
    // The parser's child: the node, its tag (name bytes only, as the caller found), its first
    // attributes (plain names, values as they are stored) and, for a first child, its parent's
    // child array in one block of the arena the parent's document is being built in. NULL, nothing
    // appended, without an arena, for a long tag or block, or when no memory is left: the caller
    // then makes the child the usual way.
    static TreeNode* createParsedChild(kit::BlockArena* arena, TreeNode* parent, const char* tag, int tagLength,
                                       const ParsedAttribute* attrs, int count);
    bool addChild(TreeNode* child);

    void setTag(const char* tag);
    // False, the tag gone, when its block could not be made.
    bool setTagN(const char* tag, int length);
    void deleteTag();
    const char* getTag() const;
    const char* getContent() const;
    int getContentLength() const;
    // A new content buffer starts with room for capacity bytes (its terminating zero included).
    kit::StringBuffer* getOrCreateContent(int capacity = 120);
    kit::StringBuffer* contentBuffer() { return m_content; }
    // False when the content could not be stored (no memory).
    bool setContentN(const char* bytes, int length);
    bool isCdata() const { return m_cdata; }
    void setCdata(bool cdata) { m_cdata = cdata; }

    int getNumChildren() const;
    bool hasChildArray() const { return m_children != nullptr; }
    int childArrayCapacity() const { return m_children ? m_children->getCapacity() : 0; }
    TreeNode* getChild(int index) const;
    TreeNode* getNthChildWithTag(int n, const char* tag) const;
    TreeNode* getParent() const { return m_parent; }
    TreeNode* getRoot() const;
    TreeNode* getNextSibling() const { return m_next; }
    TreeNode* getPrevSibling() const { return m_prev; }
    TreeInfo* getTreeInfo() const { return m_tree; }
    bool isDescendantOf(const TreeNode* ancestor) const;

    void setAttribute(const char* name, const char* value);
    // False when the attribute could not be stored (no memory).
    bool setAttributeN(const char* name, int nameLength, const char* value, int valueLength);
    bool getAttribute(const char* name, kit::StringBuffer& out) const;
    void removeAttribute(const char* name);
    AttributeSet* attributes() const { return m_attrs; }

    // False, nothing changed, when the tags' copies could not be made.
    static bool swapTagContentAttrs(TreeNode* a, TreeNode* b);
    // Exchanges tags, contents, attributes and children; false (nothing done) when one node is the
    // other's ancestor, which would make a node its own descendant, or when memory for the swap is
    // refused: everything it needs is allocated before the first change.
    static bool swapContent(TreeNode* a, TreeNode* b);

    int treeHandleCount() const;
    int subtreeHandleCount() const;
    unsigned handleCount() const { return m_handleCount; }
    void deleteTree();
    void setTreeInfoOfSubtree(TreeInfo* info);
    // The sum of the handle counts of the node and its descendants, and the most nodes the walk's
    // work list held at once; false when that list could not grow.
    bool measureSubtree(int& handles, int& peakWork) const;

    void getDeclAttr(kit::StringBuffer& out, bool& found) const;
    void getDeclEncoding(kit::StringBuffer& out, bool& found) const;
    void setDeclEncoding(const char* name);
    // False when the text could not be stored (no memory).
    bool setDoctype(const char* text);

    // Parser and loader.
    static bool parseXml(const kit::StringBuffer& text, LogBase* log, ProgressMonitor* monitor, TreeNode*& root,
                         bool trim);
    // The same over a zero-terminated text read in place.
    static bool parseXmlString(const char* text, LogBase* log, ProgressMonitor* monitor, TreeNode*& root, bool trim);
    static bool parseXmlText(ParseEngine& engine, LogBase* log, ProgressMonitor* monitor, TreeNode*& root,
                             bool trim);
    static bool loadXmlFile(const char* utf8Path, LogBase* log, ProgressMonitor* monitor, TreeNode*& root,
                            bool trim);
    static bool loadFileToUtf8(const char* utf8Path, DataBuffer& data, LogBase* log);
    // Brings the data to UTF-8; converted is set when the bytes were re-encoded.
    static bool decodeToUtf8(DataBuffer& data, LogBase* log, bool* converted = nullptr);

    // Serialiser.
    // False when the output could not grow and bytes are missing from it.
    static bool serialize(TreeNode* node, kit::StringBuffer& out, int childIndex, int depth, bool noDeclaration);
    static bool serializeOpenTag(TreeNode* node, kit::StringBuffer& out, int depth);
    static bool serializeContent(TreeNode* node, kit::StringBuffer& out);
    static void serializeCloseTag(TreeNode* node, kit::StringBuffer& out, int depth);
    static void serializeStylesheets(TreeNode* node, kit::StringBuffer& out);

private:
    friend class TreeInfo;
    // A node without tag or content, for a block the caller fills in.
    TreeNode() {}
    static void appendLinked(TreeNode* parent, TreeNode* child);
    // Appends a node just made (no document, parent or children); false when it could not be.
    bool appendNewChild(TreeNode* child);
    // The first child array holds as many children as the previous sibling has, else the
    // capacity given.
    int initialChildCapacity(int capacityWithoutModel) const;
    // The arena new parts of this node go to while its document is being built; NULL otherwise.
    kit::BlockArena* buildingArena() const { return m_tree && m_tree->isValid() ? m_tree->buildingArena() : nullptr; }
    void freeTag();
    void detachChildrenInto(ExtPtrArray& work);
    // The subtree walk of setTreeInfoOfSubtree on the caller's work list: one with room for the
    // walk's peak (measureSubtree) never grows.
    void setTreeInfoOfSubtree(TreeInfo* info, ExtPtrArray& work);
    // Copies of each node's tag for the other; false (no copy kept) when one could not be made.
    static bool copyTagsForSwap(const TreeNode* a, const TreeNode* b, char*& tagForA, char*& tagForB);
    // The part of a swap that needs no memory: tags (copied already), contents and attributes.
    static void tradeTagContentAttrs(TreeNode* a, TreeNode* b, char* tagForA, char* tagForB);
    // Gives each node the other's children, in arrays made beforehand where a node had none.
    static void tradeChildren(TreeNode* a, TreeNode* b, ExtPtrArray* arrayForA, ExtPtrArray* arrayForB);

    TreeInfo* m_tree = nullptr;
    char* m_tag = nullptr; // zero-terminated, from the small-block allocator
    AttributeSet* m_attrs = nullptr;
    kit::StringBuffer* m_content = nullptr;
    unsigned m_handleCount = 0;
    bool m_cdata = false;
    bool m_inlineTag = false; // the tag lies right after the node, in its block
    // Beside the other flags rather than last: the node is 8 bytes smaller, and a parsed document
    // has one per element.
    unsigned char m_integrity = kTreeAlive;
    ExtPtrArray* m_children = nullptr;
    TreeNode* m_parent = nullptr;
    TreeNode* m_next = nullptr;
    TreeNode* m_prev = nullptr;
};
