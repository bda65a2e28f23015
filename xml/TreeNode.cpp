// Nodes and documents of the XML tree: building, lookups, handle counts, swapping and deletion.
// Deletion walks the subtree with a work list, so no depth of nesting can exhaust the stack.
#include "xml/TreeNode.h"
#include "kit/BlockArena.h"
#include "kit/SmallBlocks.h"
#include "xml/ByteScan.h"
#include <optional>
#include <string.h>

namespace {

bool isNameByte(unsigned char c)
{
    return c >= 0x80 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-' || c == '_' || c == ':' || c == '!';
}

// The name bytes by table: every tag and attribute name of a parse is checked.
struct NameBytes {
    NameBytes()
    {
        for (int c = 0; c < 256; ++c)
            in[c] = isNameByte((unsigned char)c);
    }
    bool in[256];
};
const NameBytes g_nameBytes;

bool allNameBytes(const char* p, int n)
{
    for (int i = 0; i < n; ++i)
        if (!g_nameBytes.in[(unsigned char)p[i]])
            return false;
    return true;
}

// A new zero-terminated copy of the bytes from the small-block allocator; NULL when no memory is left.
char* copyToBlock(const char* p, int n)
{
    char* block = static_cast<char*>(smallBlockAlloc((size_t)n + 1));
    if (block) {
        memcpy(block, p, n);
        block[n] = 0;
    }
    return block;
}

// A new block holding exactly the name characters of the bytes.
char* newNameBlock(const char* p, int n)
{
    if (allNameBytes(p, n))
        return copyToBlock(p, n);
    kit::StringBuffer filtered(p, n, 0);
    if (filtered.lostBytes())
        return nullptr;
    filtered.keepXmlNameChars();
    return copyToBlock(sbText(filtered), sbLength(filtered));
}

const int kDefaultChildCapacity = 5;
// Tags up to this length are stored in the node's own block (a node's block is freed whole).
const int kInlineTagLargest = 23;
const int kChildGrowth = 5;

const size_t kChildArrayHead = (sizeof(ExtPtrArray) + 3) & ~(size_t)3;

size_t childArrayBytes(int capacity)
{
    return kChildArrayHead + (size_t)capacity * sizeof(KitObject*);
}

// A child array made in the memory given, with its first slots right after it.
ExtPtrArray* placeChildArray(void* memory, int capacity)
{
    static_assert(alignof(ExtPtrArray) <= 4, "child arrays are packed on 4 bytes");
    KitObject** slots = reinterpret_cast<KitObject**>(static_cast<char*>(memory) + kChildArrayHead);
    // One slot is the common case (a parsed element's first child): a store, not a call.
    if (capacity == 1)
        slots[0] = nullptr;
    else
        memset(slots, 0, (size_t)capacity * sizeof(KitObject*));
    return new (memory) ExtPtrArray(slots, capacity, kChildGrowth);
}

// A child array with its first slots in the same block: one allocation for each element that has
// children, from the arena when one is given. poolDelete frees the whole block.
ExtPtrArray* newChildArray(int capacity, kit::BlockArena* arena)
{
    if (capacity < 1)
        capacity = kDefaultChildCapacity;
    if ((size_t)capacity > (0x7FFFFFFF - kChildArrayHead) / sizeof(KitObject*))
        return nullptr;
    void* block = poolAllocIn(arena, childArrayBytes(capacity), 4);
    return block ? placeChildArray(block, capacity) : nullptr;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TreeInfo

TreeInfo::TreeInfo() {}

TreeInfo::~TreeInfo()
{
    m_integrity = kTreeDead;
    delete m_doctype;
    m_doctype = nullptr;
    if (TreeNode::isValidNode(m_declaration))
        delete m_declaration;
    m_declaration = nullptr;
    for (int i = 0; i < m_stylesheets.getSize(); ++i) {
        TreeNode* sheet = static_cast<TreeNode*>(m_stylesheets.getAt(i));
        if (TreeNode::isValidNode(sheet))
            delete sheet;
    }
    m_stylesheets.removeAll();
    // Every node of the document is gone by now: the root deletes its descendants first.
    for (int i = 0; i < m_arenas.getSize(); ++i)
        static_cast<kit::BlockArena*>(m_arenas.getAt(i))->release();
    m_arenas.removeAll();
    m_building = nullptr;
}

bool TreeInfo::startArena()
{
    kit::BlockArena* arena = kit::BlockArena::create();
    if (!arena)
        return false;
    if (!m_arenas.appendPtr(arena)) {
        arena->release();
        return false;
    }
    m_building = arena;
    return true;
}

bool TreeInfo::holdsArena(const KitObject* arena) const
{
    for (int i = 0; i < m_arenas.getSize(); ++i)
        if (m_arenas.getAt(i) == arena)
            return true;
    return false;
}

bool TreeInfo::shareArenas(TreeInfo* to, const TreeInfo* from)
{
    if (to == from || !from || !from->isValid() || from->m_arenas.getSize() == 0)
        return true;
    if (!to || !to->isValid())
        return false;
    for (int i = 0; i < from->m_arenas.getSize(); ++i) {
        kit::BlockArena* arena = static_cast<kit::BlockArena*>(from->m_arenas.getAt(i));
        if (to->holdsArena(arena))
            continue;
        // References taken before a failure stay: they only keep an arena a little longer.
        if (!to->m_arenas.appendPtr(arena))
            return false;
        arena->addRef();
    }
    return true;
}

bool TreeInfo::addRef(TreeNode* node)
{
    bool ok = false;
    if (node->m_tree && node->m_tree->isValid()) {
        ++node->m_tree->m_handleCount;
        ok = true;
    }
    ++node->m_handleCount;
    return ok;
}

bool TreeInfo::release(TreeNode* node)
{
    bool ok = true;
    if (TreeInfo* info = node->m_tree) {
        if (!info->isValid())
            ok = false;
        else if (info->m_handleCount >= 1)
            --info->m_handleCount;
        else
            ok = false;
    }
    if (node->m_handleCount >= 1)
        --node->m_handleCount;
    else
        ok = false;
    return ok;
}

// ---------------------------------------------------------------------------------------------
// Construction and deletion

TreeNode::TreeNode(const char* tag, const char* content)
{
    if (tag && *tag)
        setTag(tag);
    if (content && *content)
        m_content = poolNew<kit::StringBuffer>(content);
}

void TreeNode::detachChildrenInto(ExtPtrArray& work)
{
    if (!m_children)
        return;
    for (int i = 0; i < m_children->getSize(); ++i) {
        TreeNode* child = static_cast<TreeNode*>(m_children->getAt(i));
        if (isValidNode(child))
            work.appendPtr(child);
    }
    poolDelete(m_children);
    m_children = nullptr;
}

TreeNode::~TreeNode()
{
    m_integrity = kTreeDead;
    freeTag();
    poolDelete(m_content);
    delete m_attrs;
    m_tag = nullptr;
    m_content = nullptr;
    m_attrs = nullptr;
    if (m_children) {
        // Every descendant is deleted from a work list once its own children were moved onto it.
        ExtPtrArray work;
        detachChildrenInto(work);
        while (work.getSize() > 0) {
            TreeNode* node = static_cast<TreeNode*>(work.pop());
            node->detachChildrenInto(work);
            delete node;
        }
    }
    m_parent = m_next = m_prev = nullptr;
    m_handleCount = 0;
    if (m_tree && m_tree->isValid() && m_tree->m_root == this)
        delete m_tree;
    m_tree = nullptr;
}

TreeNode* TreeNode::createRoot(const char* tag)
{
    TreeNode* node = new (std::nothrow) TreeNode(tag, nullptr);
    if (!node)
        return nullptr;
    if (tag && *tag && !node->m_tag) {
        delete node;
        return nullptr;
    }
    TreeInfo* info = new (std::nothrow) TreeInfo();
    if (!info) {
        delete node;
        return nullptr;
    }
    node->m_tree = info;
    info->m_root = node;
    return node;
}

TreeNode* TreeNode::createChild(TreeNode* parent, const char* tag)
{
    if (!parent)
        return createRoot(tag);
    return createChildN(parent, tag, tag ? (int)strlen(tag) : 0);
}

TreeNode* TreeNode::createChildN(TreeNode* parent, const char* tag, int tagLength)
{
    TreeNode* node;
    if (tag && tagLength > 0 && tagLength <= kInlineTagLargest && allNameBytes(tag, tagLength)) {
        // A short tag lies in the node's own block, right after it: one allocation, not two.
        void* block = poolAllocIn(parent->buildingArena(), sizeof(TreeNode) + (size_t)tagLength + 1);
        if (!block)
            return nullptr;
        node = ::new (block) TreeNode(nullptr, nullptr);
        node->m_tag = reinterpret_cast<char*>(node + 1);
        copyBytes(node->m_tag, tag, tagLength);
        node->m_tag[tagLength] = 0;
        node->m_inlineTag = true;
    } else {
        node = new (std::nothrow) TreeNode(nullptr, nullptr);
        if (!node)
            return nullptr;
        if (tag && tagLength > 0 && !node->setTagN(tag, tagLength)) {
            delete node;
            return nullptr;
        }
    }
    if (!parent->appendNewChild(node)) {
        delete node;
        return nullptr;
    }
    return node;
}

TreeNode* TreeNode::createParsedChild(kit::BlockArena* arena, TreeNode* parent, const char* tag, int tagLength,
                                      const ParsedAttribute* attrs, int count)
{
    if (!arena || tagLength <= 0 || tagLength > kInlineTagLargest)
        return nullptr;
    int pairs = 0;
    for (int i = 0; i < count; ++i) {
        if (attrs[i].nameLength > (int)kSmallBlockLargest || attrs[i].valueLength > (int)kSmallBlockLargest)
            return nullptr;
        pairs += AttributeSet::pairBytes(attrs[i].nameLength, attrs[i].valueLength);
    }
    const size_t setBytes = count > 0 ? AttributeSet::placedBytes(pairs) : 0;
    const size_t tagBytes = ((size_t)tagLength + 1 + 3) & ~(size_t)3;
    // A parent's first child brings the parent's child array along in its block. A single child is
    // common (nested documents): without a model from the parent's previous sibling the array
    // has one slot, and grows geometrically from there.
    const int modelCapacity = parent->m_children ? 0 : parent->initialChildCapacity(1);
    const size_t arrayBytes = modelCapacity == 1 ? childArrayBytes(1) : 0;
    const size_t total = sizeof(TreeNode) + setBytes + tagBytes + arrayBytes;
    // Only blocks an arena would hold anyway: a larger one is made the usual way.
    if (total > kSmallBlockLargest)
        return nullptr;
    static_assert(sizeof(TreeNode) % 4 == 0, "the parts after the node stay aligned");
    char* block = static_cast<char*>(arena->allocate(total));
    if (!block)
        return nullptr;
    TreeNode* node = ::new (block) TreeNode();
    char* tail = block + sizeof(TreeNode);
    if (count > 0) {
        node->m_attrs = AttributeSet::placeIn(tail, attrs, count, pairs);
        tail += setBytes;
    }
    node->m_tag = tail;
    copyBytes(node->m_tag, tag, tagLength);
    node->m_tag[tagLength] = 0;
    node->m_inlineTag = true;
    tail += tagBytes;
    if (modelCapacity > 1) {
        parent->m_children = newChildArray(modelCapacity, arena);
        if (!parent->m_children) {
            delete node;
            return nullptr;
        }
    } else if (modelCapacity == 1) {
        // The first and only child so far: no previous sibling to link.
        KitObject** slots = reinterpret_cast<KitObject**>(tail + kChildArrayHead);
        slots[0] = node;
        parent->m_children = ::new (tail) ExtPtrArray(slots, 1, kChildGrowth, 1);
        node->m_tree = parent->m_tree;
        node->m_parent = parent;
        return node;
    }
    ExtPtrArray* children = parent->m_children;
    TreeNode* last = static_cast<TreeNode*>(children->lastElement());
    if (!children->appendPtr(node)) {
        delete node;
        return nullptr;
    }
    if (last)
        last->m_next = node;
    node->m_prev = last;
    node->m_tree = parent->m_tree;
    node->m_parent = parent;
    return node;
}

bool TreeNode::appendNewChild(TreeNode* child)
{
    // What addChild does for a node that has no document, parent or children yet, without the
    // checks and hand-overs that such a node never needs: the parser makes one per element.
    if (!m_children) {
        m_children = newChildArray(initialChildCapacity(kDefaultChildCapacity), buildingArena());
        if (!m_children)
            return false;
    }
    child->m_tree = m_tree;
    appendLinked(this, child);
    return child->m_parent == this;
}

int TreeNode::initialChildCapacity(int capacityWithoutModel) const
{
    if (m_prev && m_prev->getNumChildren() > 0)
        return m_prev->getNumChildren();
    return capacityWithoutModel;
}

void TreeNode::appendLinked(TreeNode* parent, TreeNode* child)
{
    TreeNode* last = static_cast<TreeNode*>(parent->m_children->lastElement());
    int before = parent->m_children->getSize();
    parent->m_children->appendPtr(child);
    if (parent->m_children->getSize() == before)
        return;
    if (last)
        last->m_next = child;
    child->m_prev = last;
    child->m_next = nullptr;
    child->m_parent = parent;
}

bool TreeNode::addChild(TreeNode* child)
{
    if (!isValidNode(child) || child == this)
        return false;
    if (child->m_parent && child->m_parent != this)
        return false;
    if (child->m_tree && child->m_tree == m_tree)
        return false;
    // The child's nodes may lie in its document's arenas, which its document is about to give up.
    if (child->m_tree && !TreeInfo::shareArenas(m_tree, child->m_tree))
        return false;
    int carried = 0;
    if (child->m_tree && child->m_tree->isValid()) {
        carried = child->m_tree->m_handleCount;
        delete child->m_tree;
    }
    child->m_tree = m_tree;
    if (!m_children) {
        m_children = newChildArray(initialChildCapacity(kDefaultChildCapacity), buildingArena());
        if (!m_children)
            return false;
    }
    int before = m_children->getSize();
    appendLinked(this, child);
    if (m_children->getSize() == before)
        return false;
    if (child->m_children)
        child->setTreeInfoOfSubtree(m_tree);
    if (m_tree && m_tree->isValid())
        m_tree->m_handleCount += carried;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Tag, content, lookups

void TreeNode::setTag(const char* tag)
{
    setTagN(tag ? tag : "", tag ? (int)strlen(tag) : 0);
}

bool TreeNode::setTagN(const char* tag, int length)
{
    // The new block is made before the old one goes: the bytes may be the old tag's own.
    char* fresh = newNameBlock(tag, length);
    freeTag();
    m_tag = fresh;
    return m_tag != nullptr;
}

void TreeNode::freeTag()
{
    if (!m_inlineTag)
        smallBlockFree(m_tag);
    m_inlineTag = false;
    m_tag = nullptr;
}

void TreeNode::deleteTag()
{
    freeTag();
}

const char* TreeNode::getTag() const
{
    return m_tag ? m_tag : "";
}

const char* TreeNode::getContent() const
{
    return m_content ? sbText(*m_content) : "";
}

int TreeNode::getContentLength() const
{
    return m_content ? sbLength(*m_content) : 0;
}

kit::StringBuffer* TreeNode::getOrCreateContent(int capacity)
{
    if (!m_content)
        m_content = poolNew<kit::StringBuffer>(capacity);
    return m_content;
}

bool TreeNode::setContentN(const char* bytes, int length)
{
    poolDelete(m_content);
    m_content = length > 0 ? poolNew<kit::StringBuffer>(bytes, length, 0) : nullptr;
    if (m_content && m_content->lostBytes()) {
        poolDelete(m_content);
        m_content = nullptr;
    }
    return length <= 0 || m_content;
}

int TreeNode::getNumChildren() const
{
    return m_children ? m_children->getSize() : 0;
}

TreeNode* TreeNode::getChild(int index) const
{
    if (!m_children)
        return nullptr;
    return static_cast<TreeNode*>(m_children->getAt(index));
}

TreeNode* TreeNode::getNthChildWithTag(int n, const char* tag) const
{
    if (!m_children || !tag)
        return nullptr;
    for (int i = 0; i < m_children->getSize(); ++i) {
        TreeNode* child = static_cast<TreeNode*>(m_children->getAt(i));
        if (isValidNode(child) && strcmp(child->getTag(), tag) == 0 && n-- == 0)
            return child;
    }
    return nullptr;
}

TreeNode* TreeNode::getRoot() const
{
    return m_tree && m_tree->isValid() ? m_tree->m_root : nullptr;
}

bool TreeNode::isDescendantOf(const TreeNode* ancestor) const
{
    for (const TreeNode* p = m_parent; p; p = p->m_parent)
        if (p == ancestor)
            return true;
    return false;
}

// ---------------------------------------------------------------------------------------------
// Attributes

void TreeNode::setAttribute(const char* name, const char* value)
{
    if (!name || !*name)
        return;
    setAttributeN(name, (int)strlen(name), value, value ? (int)strlen(value) : 0);
}

bool TreeNode::setAttributeN(const char* name, int nameLength, const char* value, int valueLength)
{
    if (!name || nameLength <= 0)
        return true;
    char lead = name[0];
    if (allNameBytes(name, nameLength) && !((lead >= '0' && lead <= '9') || lead == '-' || lead == '.')) {
        if (!m_attrs)
            m_attrs = AttributeSet::create(AttributeSet::pairBytes(nameLength, valueLength > 0 ? valueLength : 0),
                                           buildingArena());
        return m_attrs && m_attrs->addAttributeN(name, nameLength, value, valueLength);
    }
    // Filtered first, then prefixed: a name like "(1x" becomes "A1x", a well-formed name.
    kit::StringBuffer filtered(name, nameLength, 0);
    if (!allNameBytes(name, nameLength))
        filtered.keepXmlNameChars();
    char first = sbText(filtered)[0];
    if ((first >= '0' && first <= '9') || first == '-' || first == '.')
        filtered.prepend("A");
    if (filtered.lostBytes())
        return false;
    if (sbLength(filtered) == 0)
        return true;
    if (!m_attrs)
        m_attrs = AttributeSet::create(AttributeSet::pairBytes(sbLength(filtered), valueLength > 0 ? valueLength : 0));
    return m_attrs && m_attrs->addAttributeN(sbText(filtered), sbLength(filtered), value, valueLength);
}

bool TreeNode::getAttribute(const char* name, kit::StringBuffer& out) const
{
    if (!m_attrs) {
        out.clear();
        return false;
    }
    return m_attrs->getAttribute(name, out);
}

void TreeNode::removeAttribute(const char* name)
{
    if (m_attrs)
        m_attrs->removeAttribute(name);
}

// ---------------------------------------------------------------------------------------------
// Swapping

bool TreeNode::copyTagsForSwap(const TreeNode* a, const TreeNode* b, char*& tagForA, char*& tagForB)
{
    tagForA = newNameBlock(b->getTag(), (int)strlen(b->getTag()));
    tagForB = newNameBlock(a->getTag(), (int)strlen(a->getTag()));
    if (tagForA && tagForB)
        return true;
    smallBlockFree(tagForA);
    smallBlockFree(tagForB);
    tagForA = tagForB = nullptr;
    return false;
}

void TreeNode::tradeTagContentAttrs(TreeNode* a, TreeNode* b, char* tagForA, char* tagForB)
{
    a->freeTag();
    a->m_tag = tagForA;
    b->freeTag();
    b->m_tag = tagForB;

    kit::StringBuffer* contentA = a->m_content;
    kit::StringBuffer* contentB = b->m_content;
    a->m_content = (contentB && sbLength(*contentB) > 0) ? contentB : nullptr;
    b->m_content = (contentA && sbLength(*contentA) > 0) ? contentA : nullptr;
    if (contentA && contentA != b->m_content)
        poolDelete(contentA);
    if (contentB && contentB != a->m_content)
        poolDelete(contentB);

    AttributeSet* attrs = a->m_attrs;
    a->m_attrs = b->m_attrs;
    b->m_attrs = attrs;
}

bool TreeNode::swapTagContentAttrs(TreeNode* a, TreeNode* b)
{
    char* tagForA;
    char* tagForB;
    if (!copyTagsForSwap(a, b, tagForA, tagForB))
        return false;
    tradeTagContentAttrs(a, b, tagForA, tagForB);
    return true;
}

void TreeNode::tradeChildren(TreeNode* a, TreeNode* b, ExtPtrArray* arrayForA, ExtPtrArray* arrayForB)
{
    if (a->m_children && b->m_children) {
        ExtPtrArray* children = a->m_children;
        a->m_children = b->m_children;
        b->m_children = children;
    } else if (arrayForA) {
        // b has children and a had no array: the new one has room for them all.
        for (int i = 0; i < b->m_children->getSize(); ++i)
            arrayForA->appendPtr(b->m_children->getAt(i));
        b->m_children->removeAll();
        a->m_children = arrayForA;
    } else if (arrayForB) {
        for (int i = 0; i < a->m_children->getSize(); ++i)
            arrayForB->appendPtr(a->m_children->getAt(i));
        a->m_children->removeAll();
        b->m_children = arrayForB;
    }
    for (TreeNode* node : {a, b})
        for (int i = 0; i < node->getNumChildren(); ++i)
            if (TreeNode* child = node->getChild(i))
                child->m_parent = node;
}

bool TreeNode::swapContent(TreeNode* a, TreeNode* b)
{
    if (a == b)
        return true;
    if (a->isDescendantOf(b) || b->isDescendantOf(a))
        return false;
    // Children of either node may lie in arenas of the other's document.
    const bool twoDocuments = a->m_tree != b->m_tree;
    if (twoDocuments && !(TreeInfo::shareArenas(a->m_tree, b->m_tree) && TreeInfo::shareArenas(b->m_tree, a->m_tree)))
        return false;

    // Everything that needs memory first: a refusal then leaves both nodes as they were.
    // Between documents, the handle counts of the moved subtrees move with them, and the walk that
    // gives them their new document gets a work list with room for its peak.
    int handlesA = 0, handlesB = 0, peakA = 0, peakB = 0;
    if (twoDocuments && !(a->measureSubtree(handlesA, peakA) && b->measureSubtree(handlesB, peakB)))
        return false;
    std::optional<ExtPtrArray> work;
    if (twoDocuments) {
        work.emplace(peakA > peakB ? peakA : peakB, kChildGrowth);
        if (work->getCapacity() == 0)
            return false;
    }
    // A node without a child array gets one only when children come to it.
    const int childrenOfA = a->getNumChildren(), childrenOfB = b->getNumChildren();
    ExtPtrArray* arrayForA = !a->m_children && childrenOfB > 0 ? newChildArray(childrenOfB, nullptr) : nullptr;
    ExtPtrArray* arrayForB = !b->m_children && childrenOfA > 0 ? newChildArray(childrenOfA, nullptr) : nullptr;
    char* tagForA = nullptr;
    char* tagForB = nullptr;
    bool arraysMade =
        (arrayForA || a->m_children || childrenOfB == 0) && (arrayForB || b->m_children || childrenOfA == 0);
    if (!arraysMade || !copyTagsForSwap(a, b, tagForA, tagForB)) {
        poolDelete(arrayForA);
        poolDelete(arrayForB);
        return false;
    }

    // From here on nothing can fail.
    tradeTagContentAttrs(a, b, tagForA, tagForB);
    tradeChildren(a, b, arrayForA, arrayForB);
    if (twoDocuments) {
        a->setTreeInfoOfSubtree(a->m_tree, *work);
        b->setTreeInfoOfSubtree(b->m_tree, *work);
        // The sums leave out the two nodes' own counts: handles stay on their node objects.
        int movedToA = handlesB - (int)b->m_handleCount;
        int movedToB = handlesA - (int)a->m_handleCount;
        if (b->m_tree && b->m_tree->isValid())
            b->m_tree->m_handleCount += movedToB - movedToA;
        if (a->m_tree && a->m_tree->isValid())
            a->m_tree->m_handleCount += movedToA - movedToB;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Handle counts and whole-tree operations (all walk with a work list, not by recursion)

int TreeNode::treeHandleCount() const
{
    return m_tree && m_tree->isValid() ? m_tree->m_handleCount : 0;
}

int TreeNode::subtreeHandleCount() const
{
    int handles = 0, peak = 0;
    measureSubtree(handles, peak);
    return handles;
}

bool TreeNode::measureSubtree(int& handles, int& peakWork) const
{
    handles = 0;
    peakWork = 1;
    ExtPtrArray work;
    if (!work.appendPtr(const_cast<TreeNode*>(this)))
        return false;
    while (work.getSize() > 0) {
        TreeNode* node = static_cast<TreeNode*>(work.pop());
        handles += (int)node->m_handleCount;
        for (int i = 0; i < node->getNumChildren(); ++i)
            if (TreeNode* child = node->getChild(i))
                if (!work.appendPtr(child))
                    return false;
        if (work.getSize() > peakWork)
            peakWork = work.getSize();
    }
    return true;
}

void TreeNode::setTreeInfoOfSubtree(TreeInfo* info)
{
    ExtPtrArray work;
    setTreeInfoOfSubtree(info, work);
}

void TreeNode::setTreeInfoOfSubtree(TreeInfo* info, ExtPtrArray& work)
{
    work.appendPtr(this);
    while (work.getSize() > 0) {
        TreeNode* node = static_cast<TreeNode*>(work.pop());
        node->m_tree = info;
        for (int i = 0; i < node->getNumChildren(); ++i)
            if (TreeNode* child = node->getChild(i))
                work.appendPtr(child);
    }
}

void TreeNode::deleteTree()
{
    TreeNode* root = getRoot();
    if (isValidNode(root))
        delete root;
}

// ---------------------------------------------------------------------------------------------
// Prolog

void TreeNode::getDeclAttr(kit::StringBuffer& out, bool& found) const
{
    found = false;
    out.clear();
    if (!m_tree || !m_tree->isValid() || !isValidNode(m_tree->m_declaration))
        return;
    found = m_tree->m_declaration->getAttribute("standalone", out);
}

void TreeNode::getDeclEncoding(kit::StringBuffer& out, bool& found) const
{
    found = false;
    out.clear();
    if (!m_tree || !m_tree->isValid() || !isValidNode(m_tree->m_declaration))
        return;
    found = m_tree->m_declaration->getAttribute("encoding", out);
}

void TreeNode::setDeclEncoding(const char* name)
{
    if (!m_tree || !m_tree->isValid())
        return;
    if (!isValidNode(m_tree->m_declaration)) {
        m_tree->m_declaration = createRoot("xml");
        if (!m_tree->m_declaration)
            return;
        m_tree->m_declaration->setAttribute("version", "1.0");
    }
    m_tree->m_declaration->removeAttribute("encoding");
    m_tree->m_declaration->setAttribute("encoding", name);
}

bool TreeNode::setDoctype(const char* text)
{
    if (!m_tree || !m_tree->isValid())
        return true;
    delete m_tree->m_doctype;
    m_tree->m_doctype = nullptr;
    if (!text || !*text)
        return true;
    m_tree->m_doctype = new (std::nothrow) kit::StringBuffer(text);
    if (m_tree->m_doctype && m_tree->m_doctype->lostBytes()) {
        delete m_tree->m_doctype;
        m_tree->m_doctype = nullptr;
    }
    return m_tree->m_doctype != nullptr;
}
