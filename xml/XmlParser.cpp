// The forgiving single-pass XML parser: builds the root element and the prolog items, repairs
// malformed markup as it goes, and never rejects a text (a text without elements gives no root).
#include "xml/TreeNode.h"
#include "xml/ParseEngine.h"
#include "xml/ByteScan.h"
#include "xml/LogBase.h"
#include "xml/XmlEntities.h"

namespace {

const char kBlanks[] = " \t\r\n";
// Made once at start-up rather than behind a guard on every open tag.
const ByteSet kNameEnd(" \t\r\n/>");
const ByteSet kAttrNameEnd(" \t\r\n=/>");
const ByteSet kQuotes("\"'");
// Attributes read ahead of their element's node (most elements have a few).
const int kPlainAttributes = 8;

// Name bytes that a tag or an attribute name keeps as they are (so not '!', which a tag may not
// begin with).
struct PlainNameBytes : ByteSet {
    PlainNameBytes() : ByteSet("._-:")
    {
        for (int c = 0; c < 256; ++c)
            if (c >= 0x80 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
                in[c] = true;
    }
};
const PlainNameBytes kPlainNameBytes;

// The closing quote of a value, or the first '&' before it; NULL when neither comes. Most values
// are short, so the first bytes are looked at one by one before the wide search takes over.
const char* findQuoteOrReference(const char* p, const char* end, char q)
{
    const char* shortEnd = end - p > 16 ? p + 16 : end;
    for (; p < shortEnd; ++p)
        if (*p == q || *p == '&')
            return p;
    const char* close = p < end ? findByte(p, end, q) : nullptr;
    const char* reference = p < end ? findByte(p, close ? close : end, '&') : nullptr;
    return reference ? reference : close;
}

class Parser
{
public:
    Parser(ParseEngine& engine, LogBase& log, bool trim) : m_in(engine), m_log(log), m_trim(trim) {}
    ~Parser();
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;

    // False when memory ran out, so that the tree would miss part of the text; root is then NULL.
    bool run(TreeNode*& root);

private:
    bool text();
    void cdata();
    bool markup();
    void comment();
    void doctype();
    void processingInstruction();
    // Read the tag at the cursor (just past the '<') and move the cursor past it.
    void closeTag(const char*& cursor);
    bool openTag(const char*& cursor);
    void completeTopLevel(TreeNode* node);
    void closeElement();
    void discardAll();
    // Notes a failed store (ok false) and answers ok.
    bool stored(bool ok)
    {
        if (!ok)
            m_outOfMemory = true;
        return ok;
    }

    ParseEngine& m_in;
    LogBase& m_log;
    bool m_trim;
    bool m_ended = false;           // the parse stopped before the end of the text
    bool m_noPiEnd = false;         // no "?>" lies ahead of the cursor any more
    bool m_outOfMemory = false;     // something could not be stored: the parse fails
    TreeNode* m_current = nullptr;
    kit::BlockArena* m_arena = nullptr; // the arena the current document is built in
    TreeNode* m_rootCandidate = nullptr;
    TreeNode* m_pendingDecl = nullptr;
    ExtPtrArray m_pendingSheets;
    kit::StringBuffer m_prolog;
    kit::StringBuffer m_name;  // scratch for names that need repair
    kit::StringBuffer m_value; // scratch for decoded attribute values
};

Parser::~Parser()
{
    if (TreeNode::isValidNode(m_pendingDecl))
        delete m_pendingDecl;
    // Stylesheet instructions that no element took are freed with the parser.
    for (int i = 0; i < m_pendingSheets.getSize(); ++i)
        delete static_cast<TreeNode*>(m_pendingSheets.getAt(i));
}

void Parser::completeTopLevel(TreeNode* node)
{
    TreeInfo* info = node->getTreeInfo();
    if (info && info->isValid()) {
        info->stopBuilding();
        m_arena = nullptr;
        info->m_declaration = m_pendingDecl;
        m_pendingDecl = nullptr;
        int taken = 0;
        while (taken < m_pendingSheets.getSize() && stored(info->m_stylesheets.appendPtr(m_pendingSheets.getAt(taken))))
            ++taken;
        if (taken == m_pendingSheets.getSize()) {
            m_pendingSheets.removeAll();
        } else {
            // Out of memory: the sheets stay pending, to be freed with the parser, and the document
            // gives back those it took.
            for (int i = 0; i < taken; ++i)
                info->m_stylesheets.pop();
        }
        stored(!m_prolog.lostBytes() && node->setDoctype(sbText(m_prolog)));
        info->m_sourceBytes = (int)(m_in.end() - (m_in.cursor() - m_in.index()));
    }
    if (TreeNode::isValidNode(m_rootCandidate) && m_rootCandidate != node)
        delete m_rootCandidate;
    m_rootCandidate = node;
}

// The current element ends: a top-level one is completed; the parent becomes current.
void Parser::closeElement()
{
    TreeNode* parent = m_current->getParent();
    if (!parent)
        completeTopLevel(m_current);
    m_current = parent;
}

void Parser::discardAll()
{
    if (m_current) {
        TreeNode* top = m_current;
        while (top->getParent())
            top = top->getParent();
        if (top != m_rootCandidate)
            delete top;
        m_current = nullptr;
    }
    if (TreeNode::isValidNode(m_rootCandidate))
        delete m_rootCandidate;
    m_rootCandidate = nullptr;
}

bool Parser::run(TreeNode*& root)
{
    root = nullptr;
    bool ok = true;
    while (ok && !m_ended && !m_outOfMemory && !m_in.atEnd()) {
        if (!m_current) {
            // Text outside elements is dropped.
            m_in.skipBlanks();
            m_in.skipToChar('<');
            if (m_in.atEnd())
                break;
            m_in.advance(1);
            ok = markup();
        } else {
            ok = text();
        }
    }
    if (!ok || m_outOfMemory) {
        discardAll();
        return false;
    }
    if (!m_rootCandidate && m_current) {
        TreeNode* top = m_current;
        while (top->getParent())
            top = top->getParent();
        m_current = nullptr;
        completeTopLevel(top);
        if (m_outOfMemory) {
            discardAll();
            return false;
        }
    } else if (m_current) {
        TreeNode* top = m_current;
        while (top->getParent())
            top = top->getParent();
        m_current = nullptr;
        delete top;
    }
    root = m_rootCandidate;
    m_rootCandidate = nullptr;
    return true;
}

// Inside an element: one chunk of text, a CDATA section, then the markup after it.
bool Parser::text()
{
    if (m_trim)
        m_in.skipBlanks();
    // Tags that follow one another without text between them (the common case) are read here, not
    // in one round of the main loop each; the text pointer ends with a zero, so looking one byte
    // past a '<' is safe.
    const char* p = m_in.cursor();
    const char* const end = m_in.end();
    for (;;) {
        if (p[0] != '<')
            break;
        const char* tag = p + 1;
        if (p[1] == '/') {
            closeTag(tag);
        } else if (kPlainNameBytes.contains(p[1])) {
            if (!openTag(tag)) {
                m_in.moveTo(tag);
                return false;
            }
        } else {
            break;
        }
        p = tag;
        if (!m_current || m_ended || m_outOfMemory) {
            m_in.moveTo(p);
            return true;
        }
        if (m_trim)
            while (p < end && ParseEngine::isBlank(*p))
                ++p;
    }
    m_in.moveTo(p);
    // Other markup right at the cursor: no text to look for.
    if (m_in.current() == '<' && !m_in.atCdata()) {
        m_in.advance(1);
        return markup();
    }
    if (m_in.atCdata()) {
        cdata();
        return true;
    }
    const char* start = m_in.cursor();
    m_in.skipToChar('<');
    const char* stop = m_in.cursor();
    if (m_trim)
        while (stop > start && ParseEngine::isBlank(stop[-1]))
            --stop;
    if (stop > start) {
        int length = (int)(stop - start);
        kit::StringBuffer* content = m_current->contentBuffer();
        if (!content && !findByte(start, stop, '&')) {
            stored(m_current->setContentN(start, length));
        } else {
            // Decoding never lengthens the text: a new buffer of the chunk's size holds it whole.
            if (!content)
                content = m_current->getOrCreateContent(length + 2);
            else if (m_trim && sbLength(*content) > 0)
                content->appendChar(' ');
            // Entities are decoded in this chunk only: earlier chunks and CDATA bytes stay as they are.
            if (stored(content != nullptr)) {
                content->ensureRoom(length + 1);
                appendDecodedEntities(*content, start, length);
                stored(!content->lostBytes());
            }
        }
    }
    if (m_in.atEnd())
        return true;
    if (m_in.atCdata())
        return true; // the next round takes the section
    m_in.advance(1);
    return markup();
}

void Parser::cdata()
{
    m_in.advance(9);
    const char* start = m_in.cursor();
    const char* close = m_in.find(start, "]]>");
    const char* stop = close ? close : m_in.end();
    kit::StringBuffer* content = m_current->getOrCreateContent();
    if (stored(content != nullptr)) {
        content->appendN(start, (int)(stop - start));
        stored(!content->lostBytes());
    }
    m_in.moveTo(close ? close + 3 : stop);
    m_current->setCdata(true);
}

bool Parser::markup()
{
    if (m_in.atEnd())
        return true;
    char c = m_in.current();
    m_in.skipBlanks();
    if (m_in.atEnd())
        return true;
    switch (c) {
    case '!':
        if (m_in.beginsWithNoCase("!--"))
            comment();
        else if (m_in.beginsWithNoCase("!DOCTYPE"))
            doctype();
        else {
            m_in.skipToChar('>');
            m_in.advance(1);
        }
        return true;
    case '?':
        processingInstruction();
        return true;
    default:
        break;
    }
    const char* p = m_in.cursor();
    bool ok = true;
    if (c == '/')
        closeTag(p);
    else
        ok = openTag(p);
    m_in.moveTo(p);
    return ok;
}

// The end is looked for right after the '!', so "<!-->" and "<!--->" end where they stand.
void Parser::comment()
{
    m_in.advance(1);
    if (!m_in.skipPast("-->")) {
        m_log.logError("Unclosed comment");
        m_ended = true;
    }
}

// The DOCTYPE runs through the '>' that closes it: markup declarations inside nest, and quoted
// literals, comments and processing instructions are passed whole, so a '<' or '>' within an entity
// value or a system literal counts for nothing.
void Parser::doctype()
{
    const char* start = m_in.cursor();
    const char* end = m_in.end();
    const char* p = start;
    const char* closer = ""; // what would close the construct that the end of the text cut off
    int depth = 1;
    while (depth > 0 && p < end) {
        char c = *p++;
        const char* close = nullptr;
        if (c == '"' || c == '\'') {
            close = findByte(p, end, c);
            closer = c == '"' ? "\"" : "'";
            if (close)
                p = close + 1;
        } else if (c == '<' && end - p >= 3 && memcmp(p, "!--", 3) == 0) {
            close = m_in.find(p + 3, "-->");
            closer = "-->";
            if (close)
                p = close + 3;
        } else if (c == '<' && p < end && *p == '?') {
            close = m_in.find(p + 1, "?>");
            closer = "?>";
            if (close)
                p = close + 2;
        } else {
            close = p;
            depth += c == '<' ? 1 : c == '>' ? -1 : 0;
        }
        if (!close)
            p = end;
        else
            closer = "";
    }
    m_prolog.appendChar('<');
    m_prolog.appendN(start, (int)(p - start));
    if (depth > 0) {
        m_log.logError("Failed to parse DTD");
        // The text captured so far is kept, closed so that the document written from this tree
        // parses again.
        m_prolog.append(closer);
        m_prolog.appendCharN('>', depth);
    }
    m_prolog.appendChar('\n');
    stored(!m_prolog.lostBytes());
    m_in.moveTo(p);
}

void Parser::processingInstruction()
{
    m_in.advance(1);
    bool declaration = m_in.beginsWithNoCase("xml ");
    if (declaration || m_in.beginsWithNoCase("xml-stylesheet")) {
        kit::StringBuffer name;
        m_in.captureUntilAnyOf(" \t\r\n/>", name);
        m_in.skipBlanks();
        if (m_in.current() == '/')
            m_in.advance(1);
        TreeNode* node = stored(!name.lostBytes()) ? TreeNode::createRoot(sbText(name)) : nullptr;
        if (!stored(node != nullptr))
            return;
        if (declaration) {
            if (TreeNode::isValidNode(m_pendingDecl))
                delete m_pendingDecl;
            m_pendingDecl = node;
        } else if (!stored(m_pendingSheets.appendPtr(node))) {
            delete node;
            return;
        }
        stored(parsePrologLineAttr(m_in, node, &m_log));
        return;
    }
    // Any other instruction goes whole into the prolog text. An unterminated one adds nothing: a
    // stray "<?" written back would swallow the markup after it on the next load. Once no "?>" is
    // left ahead, later instructions are not searched again, so the scan stays linear.
    const char* close = m_noPiEnd ? nullptr : m_in.find(m_in.cursor(), "?>");
    if (!close) {
        m_noPiEnd = true;
        return;
    }
    m_prolog.append("<?");
    m_prolog.appendN(m_in.cursor(), (int)(close + 2 - m_in.cursor()));
    m_prolog.appendChar('\n');
    stored(!m_prolog.lostBytes());
    m_in.moveTo(close + 2);
}

void Parser::closeTag(const char*& cursor)
{
    const char* p = cursor;
    const char* const end = m_in.end();
    while (p < end && *p != '>' && *p != '<')
        ++p;
    cursor = p < end && *p == '>' ? p + 1 : p;
    if (p < end && *p == '<') {
        m_log.logError("Error in closing tag");
        if (m_current)
            m_log.logData("error_tag", m_current->getTag());
    }
    if (m_current)
        closeElement();
}

bool Parser::openTag(const char*& cursor)
{
    // The tag is read with a local cursor, which the compiler keeps in a register; the caller's
    // cursor moves past it at the end.
    const char* p = cursor;
    const char* const end = m_in.end();
    auto skipBlanks = [&p, end] {
        while (p < end && ParseEngine::isBlank(*p))
            ++p;
    };
    // Most tags are plain names: one pass finds that, and the repairs below are skipped.
    const char* name = p;
    while (p < end && kPlainNameBytes.contains(*p))
        ++p;
    bool plainTag = p > name && kNameEnd.contains(*p);
    if (!plainTag)
        while (p < end && !kNameEnd.contains(*p))
            ++p;
    int nameLength = (int)(p - name);
    cursor = p;
    if (p >= end) {
        m_ended = true;
        return true;
    }
    if (!plainTag && (hasByte(name, nameLength, '<') || hasByte(name, nameLength, '!'))) {
        m_name.clear();
        m_name.appendN(name, nameLength);
        if (!stored(!m_name.lostBytes()))
            return false;
        m_name.removeChar('<');
        if (strchr(sbText(m_name), '!')) {
            // A tag may not begin with '!': written back, "<!" would read as a declaration.
            m_name.keepXmlNameChars();
            int bangs = 0;
            while (sbText(m_name)[bangs] == '!')
                ++bangs;
            m_name.removeRange(0, bangs);
        }
        name = sbText(m_name);
        nameLength = sbLength(m_name);
    }
    skipBlanks();
    bool closed = false;
    if (p < end && *p == '/') {
        closed = true;
        ++p;
    }
    skipBlanks();
    // Plain attributes (a name stored as it is, a quoted value without references) are read
    // before the node is made, so that the node, its tag and these attributes take one block.
    // The first attribute that needs more work, and all after it, are read below as they come.
    ParsedAttribute plain[kPlainAttributes];
    int plainCount = 0;
    while (plainCount < kPlainAttributes && p < end && *p != '>') {
        const char* attrName = p;
        while (p < end && kPlainNameBytes.contains(*p))
            ++p;
        int attrNameLength = (int)(p - attrName);
        char lead = *attrName;
        bool isPlain = attrNameLength > 0 && p < end && kAttrNameEnd.contains(*p) &&
                       !((lead >= '0' && lead <= '9') || lead == '-' || lead == '.');
        skipBlanks();
        const char* value = "";
        int valueLength = 0;
        if (isPlain && p < end && *p == '=') {
            ++p;
            skipBlanks();
            char q = p < end ? *p : 0;
            const char* close = q == '"' || q == '\'' ? findQuoteOrReference(p + 1, end, q) : nullptr;
            isPlain = close && *close == q;
            if (isPlain) {
                value = p + 1;
                valueLength = (int)(close - value);
                p = close + 1;
            }
        }
        if (!isPlain) {
            p = attrName;
            break;
        }
        plain[plainCount++] = {attrName, attrNameLength, value, valueLength};
        skipBlanks();
        if (p < end && *p == '/') {
            closed = true;
            ++p;
            skipBlanks();
        }
    }
    TreeNode* node = nullptr;
    if (m_current) {
        if (plainTag)
            node = TreeNode::createParsedChild(m_arena, m_current, name, nameLength, plain, plainCount);
        if (!node)
            node = TreeNode::createChildN(m_current, name, nameLength);
        else
            plainCount = 0; // stored with the node
    } else {
        m_value.clear();
        m_value.appendN(name, nameLength);
        node = m_value.lostBytes() ? nullptr : TreeNode::createRoot(sbText(m_value));
        // The document's nodes go to an arena of its own, freed with it at once; without one (no
        // memory for it) they come from the pool.
        m_arena = node && node->getTreeInfo()->startArena() ? node->getTreeInfo()->buildingArena() : nullptr;
    }
    if (!stored(node != nullptr))
        return false;
    m_current = node;
    for (int i = 0; i < plainCount; ++i)
        if (!stored(node->setAttributeN(plain[i].name, plain[i].nameLength, plain[i].value, plain[i].valueLength)))
            return false;
    while (p < end && *p != '>') {
        const char* attrName = p;
        while (p < end && !kAttrNameEnd.contains(*p))
            ++p;
        int attrNameLength = (int)(p - attrName);
        // The name ends at its first quote; the bytes from there on are lost.
        for (int k = 0; k < attrNameLength; ++k)
            if (attrName[k] == '"' || attrName[k] == '\'') {
                attrNameLength = k;
                break;
            }
        skipBlanks();
        const char* value = "";
        int valueLength = 0;
        if (p < end && *p == '=') {
            ++p;
            skipBlanks();
            char q = p < end ? *p : 0;
            if (q == '"' || q == '\'') {
                value = ++p;
                const char* close = findByte(p, end, q);
                p = close ? close : end;
            } else {
                value = p;
                while (p < end && !kQuotes.contains(*p))
                    ++p;
            }
            valueLength = (int)(p - value);
            if (p < end && (*p == '"' || *p == '\''))
                ++p;
        }
        if (attrNameLength > 0) {
            if (hasByte(attrName, attrNameLength, '<')) {
                m_name.clear();
                m_name.appendN(attrName, attrNameLength);
                if (!stored(!m_name.lostBytes()))
                    return false;
                m_name.removeChar('<');
                attrName = sbText(m_name);
                attrNameLength = sbLength(m_name);
            }
            if (valueLength > 64 ? memchr(value, '&', valueLength) != nullptr : hasByte(value, valueLength, '&')) {
                m_value.clear();
                appendDecodedEntities(m_value, value, valueLength);
                if (!stored(!m_value.lostBytes()))
                    return false;
                value = sbText(m_value);
                valueLength = sbLength(m_value);
            }
            if (!stored(node->setAttributeN(attrName, attrNameLength, value, valueLength)))
                return false;
        }
        skipBlanks();
        if (p < end && *p == '/') {
            closed = true;
            ++p;
            skipBlanks();
        }
    }
    cursor = p < end ? p + 1 : end;
    if (closed)
        closeElement();
    return true;
}

} // namespace

namespace {

// Where a declaration or stylesheet instruction that starts at the cursor ends. Its pseudo-attribute
// values hold no '<', so a quote ends at its partner, at "?>" or at a '<'; outside quotes the line
// ends at '>' (taken) or at a '<' (left for the markup it begins). A quote cut off by a '<' ends the
// line at the first '>' after the quote, when there is one. So an unclosed quote or a missing "?>"
// costs the line itself and never the document after it.
struct LineEnd {
    const char* last; // the line's bytes are [cursor, last)
    const char* resume;
};

LineEnd findPrologLineEnd(const char* p, const char* end)
{
    char quote = 0;
    const char* quotedGt = nullptr; // the first '>' inside the open quote
    for (; p < end; ++p) {
        char c = *p;
        if (c == '<')
            return quotedGt ? LineEnd{quotedGt, quotedGt + 1} : LineEnd{p, p};
        if (quote) {
            if (c == quote) {
                quote = 0;
                quotedGt = nullptr;
            } else if (c == '?' && p + 1 < end && p[1] == '>') {
                return {p, p + 2};
            } else if (c == '>' && !quotedGt) {
                quotedGt = p;
            }
        } else if (c == '>') {
            return {p, p + 1};
        } else if (c == '"' || c == '\'') {
            quote = c;
        }
    }
    return quotedGt ? LineEnd{quotedGt, quotedGt + 1} : LineEnd{end, end};
}

} // namespace

bool parsePrologLineAttr(ParseEngine& in, TreeNode* node, LogBase* log)
{
    LineEnd lineEnd = findPrologLineEnd(in.cursor(), in.end());
    ParseEngine line;
    int lineLength = (int)(lineEnd.last - in.cursor());
    line.setTextN(in.cursor(), lineLength);
    in.moveTo(lineEnd.resume);
    if (line.end() - line.cursor() != lineLength)
        return false;

    kit::StringBuffer name, value, decoded;
    line.skipBlanks();
    while (!line.atEnd() && line.current() != '>') {
        name.clear();
        line.captureUntilAny7(" \t\r\n=?>", name);
        int nameLength = sbLength(name);
        if (const char* quote = strchr(sbText(name), '"'))
            nameLength = (int)(quote - sbText(name));
        line.skipBlanks();
        value.clear();
        if (line.current() == '=') {
            line.advance(1);
            line.skipBlanks();
            bool quoted = false;
            if (line.current() == '"')
                line.advance(1), quoted = true;
            if (line.current() == '\'')
                line.advance(1), quoted = true;
            line.captureUntilAnyOf(quoted ? "\"'\r\n" : " \t\"'\r\n", value);
            if (line.current() == '"')
                line.advance(1);
            if (line.current() == '\'')
                line.advance(1);
        }
        decoded.clear();
        appendDecodedEntities(decoded, sbText(value), sbLength(value));
        if (name.lostBytes() || value.lostBytes() || decoded.lostBytes() ||
            !node->setAttributeN(sbText(name), nameLength, sbText(decoded), sbLength(decoded)))
            return false;
        line.skipBlanks();
        if (line.current() == '?') {
            line.advance(1);
            line.skipBlanks();
        }
    }
    return true;
}

bool TreeNode::parseXml(const kit::StringBuffer& text, LogBase* log, ProgressMonitor* monitor, TreeNode*& root,
                        bool trim)
{
    if (text.lostBytes() || strlen(sbText(text)) != (size_t)sbLength(text)) {
        // A NUL is no XML character, and a text with bytes missing is not the document: rather
        // than parse what comes before either, the parse fails.
        root = nullptr;
        if (log)
            log->logError(text.lostBytes() ? "The text is incomplete" : "The document holds a NUL byte");
        return false;
    }
    ParseEngine engine;
    engine.viewText(sbText(text));
    return parseXmlText(engine, log, monitor, root, trim);
}

bool TreeNode::parseXmlString(const char* text, LogBase* log, ProgressMonitor* monitor, TreeNode*& root, bool trim)
{
    ParseEngine engine;
    engine.viewText(text);
    return parseXmlText(engine, log, monitor, root, trim);
}

bool TreeNode::parseXmlText(ParseEngine& engine, LogBase* log, ProgressMonitor* monitor, TreeNode*& root, bool trim)
{
    LogNull none;
    Parser parser(engine, log ? *log : none, trim);
    return parser.run(root);
}
