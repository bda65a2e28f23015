// The serialiser: a node and its subtree as XML text with a fixed layout (CR LF line ends, four
// spaces per level up to 50 levels), with the document's prolog when the node is the root.
// The subtree is walked with an explicit stack, so no depth of nesting can exhaust the stack.
#include "xml/TreeNode.h"
#include "xml/XmlEntities.h"
#include "xml/ByteScan.h"
#include "kit/SmallBlocks.h"
#include <string.h>

namespace {

const int kMaxIndentLevels = 50;

// A literal's length is known when compiling: no search for its end.
template <int N>
void appendLiteral(kit::StringBuffer& out, const char (&text)[N])
{
    out.appendN(text, N - 1);
}

void appendIndent(kit::StringBuffer& out, int depth)
{
    static const char kSpaces[4 * kMaxIndentLevels + 1] =
        "                                                                                                    "
        "                                                                                                    ";
    int level = depth < kMaxIndentLevels ? depth : kMaxIndentLevels;
    out.appendN(kSpaces, 4 * level);
}

void appendTag(kit::StringBuffer& out, TreeNode* node)
{
    const char* tag = node->getTag();
    out.append(*tag ? tag : "nothing");
}

// Named references that content may carry raw: written back with their '&' unescaped. The five
// predefined ones are absent on purpose: in a tree they can only stem from a decoded "&amp;", so
// their '&' is written "&amp;" again.
struct KeptName {
    const char* name;
    bool eitherCase; // the first letter may be upper or lower case
};
const KeptName kKeptNames[] = {
    {"laquo", false},
    {"acute", false},
    {"Aacute", true}, {"Acirc", true}, {"Atilde", true}, {"Auml", true}, {"Aring", true}, {"AElig", true},
    {"Aelig", true}, {"Agrave", true},
    {"Ccedil", true}, {"Cedil", true}, {"Cent", true}, {"Copy", true}, {"Curren", true},
    {"Eacute", true}, {"Ecirc", true}, {"Euml", true}, {"ETH", true}, {"Eth", true}, {"Egrave", true},
    {"Iacute", true}, {"Icirc", true}, {"Iuml", true}, {"Igrave", true}, {"Iquest", true}, {"Iexcl", true},
    {"Oacute", true}, {"Ocirc", true}, {"Otilde", true}, {"Ordf", true}, {"Ordm", true}, {"Ouml", true},
    {"Oslash", true}, {"OElig", true}, {"Oelig", true}, {"Ograve", true},
    {"Uacute", true}, {"Ucirc", true}, {"Utilde", true}, {"Uuml", true}, {"Uml", true}, {"Ugrave", true},
    {"Yacute", true}, {"Yuml", true}, {"Yen", true},
    {"THORN", true}, {"Thorn", true},
    {"trade", false}, {"tilde", false}, {"times", false},
    {"shy", false}, {"sect", false}, {"sup1", false}, {"sup2", false}, {"sup3", false}, {"szlig", false},
    {"nbsp", false}, {"not", false}, {"ntilde", false},
    {"frac12", false}, {"frac14", false}, {"frac34", false},
    {"bull", false}, {"brvbar", false},
    {"middot", false}, {"micro", false},
    {"pound", false}, {"para", false}, {"plusmn", false},
    {"hibar", false},
    {"raquo", false}, {"reg", false},
    {"deg", false}, {"divide", false},
};

char flipCase(char c)
{
    if (c >= 'a' && c <= 'z')
        return (char)(c - 32);
    if (c >= 'A' && c <= 'Z')
        return (char)(c + 32);
    return c;
}

// Whether the '&' at p starts a reference that content keeps raw (p[1..] looked at, at most 7 bytes).
bool keepsAmpersand(const char* p, const char* end)
{
    if (end - p >= 2 && p[1] == '#')
        return true;
    const char* name = p + 1;
    int available = (int)(end - name);
    // Every kept name is a letter and at most six more bytes up to its ';': most '&'s are let go
    // here without trying each name.
    char lead = available > 0 ? name[0] : 0;
    if (!((lead >= 'a' && lead <= 'z') || (lead >= 'A' && lead <= 'Z')) ||
        !memchr(name, ';', available < 8 ? available : 8))
        return false;
    for (const KeptName& k : kKeptNames) {
        int n = (int)strlen(k.name);
        if (available < n + 1 || name[n] != ';')
            continue;
        if (name[0] != k.name[0] && !(k.eitherCase && name[0] == flipCase(k.name[0])))
            continue;
        if (memcmp(name + 1, k.name + 1, n - 1) == 0)
            return true;
    }
    return false;
}

// The first byte of [p, end) that needs a reference, or end.
const char* nextEscaped(const char* p, const char* end)
{
    const char* hit = findEscapedByte(p, end);
    return hit ? hit : end;
}

void appendEscapedContent(kit::StringBuffer& out, const char* p, int length)
{
    const char* end = p + length;
    const char* run = p;
    for (; (p = nextEscaped(p, end)) < end; ++p) {
        const char* repl;
        switch (*p) {
        case '<': repl = "&lt;"; break;
        case '>': repl = "&gt;"; break;
        case '"': repl = "&quot;"; break;
        case '\'': repl = "&apos;"; break;
        case '&': repl = keepsAmpersand(p, end) ? "&" : "&amp;"; break;
        default: continue;
        }
        out.appendN(run, (int)(p - run));
        out.append(repl);
        run = p + 1;
    }
    out.appendN(run, (int)(end - run));
}

// CDATA content: a "]]>" inside is split across two sections, so nothing is lost.
void appendCdata(kit::StringBuffer& out, const char* p, int length)
{
    const char* end = p + length;
    appendLiteral(out, "<![CDATA[");
    for (;;) {
        const char* close = nullptr;
        for (const char* q = p; end - q >= 3; ++q) {
            q = static_cast<const char*>(memchr(q, ']', end - q));
            if (!q || end - q < 3)
                break;
            if (q[1] == ']' && q[2] == '>') {
                close = q;
                break;
            }
        }
        if (!close)
            break;
        out.appendN(p, (int)(close + 2 - p));
        appendLiteral(out, "]]><![CDATA[");
        p = close + 2;
    }
    out.appendN(p, (int)(end - p));
    appendLiteral(out, "]]>");
}

bool hasUsableTree(TreeNode* node)
{
    TreeInfo* info = node->getTreeInfo();
    return info && info->isValid();
}

// False when memory ran out.
bool serializeProlog(TreeNode* node, kit::StringBuffer& out, bool noDeclaration)
{
    TreeInfo* info = node->getTreeInfo();
    TreeNode* decl = info->m_declaration;
    if (!noDeclaration && TreeNode::isValidNode(decl)) {
        appendLiteral(out, "<?xml");
        if (AttributeSet* attrs = decl->attributes()) {
            kit::StringBuffer standalone;
            bool found = false;
            node->getDeclAttr(standalone, found);
            if (found) {
                // "standalone" is written last: one pair with its value is appended first, and only
                // once it is stored are the earlier ones removed, so no value is ever lost.
                if (standalone.lostBytes() ||
                    !decl->setAttributeN("standalone", 10, sbText(standalone), sbLength(standalone)))
                    return false;
                int pairs = 0;
                for (int i = 0; i < attrs->getNumAttributes(); ++i) {
                    const char *name, *value;
                    int nameLength, valueLength;
                    attrs->getPair(i, name, nameLength, value, valueLength);
                    pairs += nameLength == 10 && memcmp(name, "standalone", 10) == 0;
                }
                while (--pairs > 0)
                    attrs->removeFirst("standalone");
            }
            if (attrs->getNumAttributes() > 0)
                attrs->serialize(out);
        }
        appendLiteral(out, " ?>\r\n");
    }
    TreeNode::serializeStylesheets(node, out);
    if (info->m_doctype && sbLength(*info->m_doctype) > 0) {
        out.appendSb(*info->m_doctype);
        appendLiteral(out, "\r\n");
    }
    return true;
}

// Writes what comes before the node's children; false when the node was closed at once.
bool openNode(TreeNode* node, kit::StringBuffer& out, int childIndex, int depth, bool noDeclaration, bool& whole)
{
    if (node->getTreeInfo()->m_root == node && !serializeProlog(node, out, noDeclaration))
        whole = false;
    if (childIndex == 0)
        appendLiteral(out, "\r\n");
    if (TreeNode::serializeOpenTag(node, out, depth))
        return false;
    TreeNode::serializeContent(node, out);
    return true;
}

} // namespace

void AttributeSet::escapeValue(kit::StringBuffer& out, const char* bytes, int length)
{
    const char* end = bytes + length;
    const char* run = bytes;
    for (const char* p = bytes; (p = nextEscaped(p, end)) < end; ++p) {
        const char* repl;
        switch (*p) {
        case '"': repl = "&quot;"; break;
        case '>': repl = "&gt;"; break;
        case '<': repl = "&lt;"; break;
        case '\'': repl = "&apos;"; break;
        case '&': repl = (p + 1 < end && p[1] == '#') ? "&" : "&amp;"; break;
        default: continue;
        }
        out.appendN(run, (int)(p - run));
        out.append(repl);
        run = p + 1;
    }
    out.appendN(run, (int)(end - run));
}

bool TreeNode::serializeOpenTag(TreeNode* node, kit::StringBuffer& out, int depth)
{
    appendIndent(out, depth);
    out.appendChar('<');
    appendTag(out, node);
    if (node->m_attrs && node->m_attrs->getNumAttributes() > 0)
        node->m_attrs->serialize(out);
    if (node->getContentLength() > 0 || node->m_children) {
        out.appendChar('>');
        return false;
    }
    appendLiteral(out, " />\r\n");
    return true;
}

bool TreeNode::serializeContent(TreeNode* node, kit::StringBuffer& out)
{
    int length = node->getContentLength();
    if (length == 0)
        return false;
    if (node->m_cdata)
        appendCdata(out, node->getContent(), length);
    else
        appendEscapedContent(out, node->getContent(), length);
    return true;
}

void TreeNode::serializeCloseTag(TreeNode* node, kit::StringBuffer& out, int depth)
{
    if (node->m_children || out.lastChar() == '\n')
        appendIndent(out, depth);
    appendLiteral(out, "</");
    appendTag(out, node);
    appendLiteral(out, ">\r\n");
}

void TreeNode::serializeStylesheets(TreeNode* node, kit::StringBuffer& out)
{
    TreeInfo* info = node->getTreeInfo();
    for (int i = 0; i < info->m_stylesheets.getSize(); ++i) {
        TreeNode* sheet = static_cast<TreeNode*>(info->m_stylesheets.getAt(i));
        if (!isValidNode(sheet) || !sheet->m_attrs)
            continue;
        appendLiteral(out, "<?xml-stylesheet");
        sheet->m_attrs->serialize(out);
        appendLiteral(out, " ?>\r\n");
    }
}

bool TreeNode::serialize(TreeNode* node, kit::StringBuffer& out, int childIndex, int depth, bool noDeclaration)
{
    if (!isValidNode(node) || !hasUsableTree(node))
        return true;
    // A whole parsed document is written to about one and a half times its source length (less
    // for long texts): room made at once spares the copies and fresh pages of growing step by step.
    TreeInfo* info = node->getTreeInfo();
    if (info->m_root == node && info->m_sourceBytes > 0 && info->m_sourceBytes < (1 << 30) && out.getSize() == 0)
        out.ensureRoom(info->m_sourceBytes / 2 * 3 + 1024);
    bool whole = true;
    if (!openNode(node, out, childIndex, depth, noDeclaration, whole))
        return whole && !out.lostBytes();
    // Each open element waits on the stack with the index of its next child.
    struct Frame {
        TreeNode* node;
        int depth;
        int next;
    };
    const int kInline = 64;
    Frame inlineFrames[kInline];
    Frame* frames = inlineFrames;
    int capacity = kInline;
    int top = 0;
    frames[top++] = {node, depth, 0};
    // A text that could not grow stops the walk: each further append would ask again for the block
    // just refused, which near the memory limit costs the system a search of the address space.
    while (top > 0 && whole && !out.lostBytes()) {
        Frame& f = frames[top - 1];
        if (f.next < f.node->getNumChildren()) {
            int index = f.next++;
            TreeNode* child = f.node->getChild(index);
            int childDepth = f.depth + 1;
            if (!isValidNode(child) || !hasUsableTree(child) || !openNode(child, out, index, childDepth, false, whole))
                continue;
            if (top == capacity) {
                Frame* grown = static_cast<Frame*>(smallBlockAlloc(sizeof(Frame) * capacity * 2));
                if (!grown) {
                    whole = false;
                    break;
                }
                memcpy(grown, frames, sizeof(Frame) * top);
                if (frames != inlineFrames)
                    smallBlockFree(frames);
                frames = grown;
                capacity *= 2;
            }
            frames[top++] = {child, childDepth, 0};
        } else {
            serializeCloseTag(f.node, out, f.depth);
            --top;
        }
    }
    if (frames != inlineFrames)
        smallBlockFree(frames);
    return whole && !out.lostBytes();
}
