// Loading, parsing and writing when memory runs out part-way: every refused allocation either fails
// the whole operation (false, no tree, no text) or leaves no trace; a tree or a text with something
// missing never comes out as a success. Allocations are refused through the kit's allocation gate.
#include <gtest/gtest.h>
#include <windows.h>
#include <memory>
#include <string>
#include "kit/AllocationGate.h"
#include "kit/StringBuffer.h"
#include "tests/support/TempFolder.h"
#include "xml/ClsXml.h"
#include "xml/LogBase.h"
#include "xml/TreeNode.h"
#include "xml/XkXml.h"
#include "TreeDump.h"

namespace {

// Gate state, shared with the plain-function gates below. Each test resets it.
int g_calls = 0;      // allocations asked for since the gate was set
int g_refuseCall = 0; // the one call (1-based) that is refused; 0 refuses none
bool g_refuseLater = false; // refuse every call after g_refuseCall as well
size_t g_largest = 0; // refuse every block above this size; 0 allows any size
int g_refused = 0;

bool countingGate(size_t size)
{
    ++g_calls;
    bool refuse = (g_refuseCall > 0 && (g_calls == g_refuseCall || (g_refuseLater && g_calls > g_refuseCall))) ||
                  (g_largest > 0 && size > g_largest);
    if (refuse)
        ++g_refused;
    return !refuse;
}

class AllocationFailure : public ::testing::Test
{
protected:
    void TearDown() override { kit::setAllocationGate(nullptr); }

    static void Gate(int refuseCall, bool refuseLater, size_t largest)
    {
        g_calls = 0;
        g_refuseCall = refuseCall;
        g_refuseLater = refuseLater;
        g_largest = largest;
        g_refused = 0;
        kit::setAllocationGate(countingGate);
    }
    static void Ungate() { kit::setAllocationGate(nullptr); }
};

// Every construct the parser stores: declaration, stylesheet, DOCTYPE and instruction, attributes
// with and without entities, names that need repair, texts in several chunks, CDATA, nesting.
const char kDocument[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\" standalone='yes'?>"
    "<?xml-stylesheet type=\"text/xsl\" href=\"s.xsl\"?>"
    "<!DOCTYPE r [<!ENTITY e \"a>b\">]><?pi data?>"
    "<r a=\"1\" b='x&amp;y' 9c=\"z\">head &lt;text&gt; that is long enough to need a block of its own"
    "<c1 k=\"v\">one</c1> middle chunk <c2><![CDATA[raw <cdata> & more]]></c2>tail"
    "<d$x><e><f g=\"&quot;q&quot;\">deep</f></e></d$x><empty/></r>";

// Refusing each allocation of a parse in turn, alone and with all later ones: the parse either
// fails with no root or gives exactly the tree of an unhindered parse.
TEST_F(AllocationFailure, ParseNeverKeepsAPartialTree)
{
    const std::string expected = parseAndDump(kDocument);
    ASSERT_NE(expected, "<no root>");
    int calls = 0;
    {
        kit::StringBuffer text(kDocument);
        TreeNode* root = nullptr;
        Gate(0, false, 0);
        ASSERT_TRUE(TreeNode::parseXml(text, nullptr, nullptr, root, true));
        calls = g_calls;
        Ungate();
        ASSERT_NE(root, nullptr);
        root->deleteTree();
    }
    ASSERT_GT(calls, 20);
    int failures = 0;
    for (int later = 0; later < 2; ++later) {
        for (int k = 1; k <= calls; ++k) {
            kit::StringBuffer text(kDocument);
            TreeNode* root = reinterpret_cast<TreeNode*>(1);
            Gate(k, later != 0, 0);
            bool ok = TreeNode::parseXml(text, nullptr, nullptr, root, true);
            std::string dump = root ? dumpDocument(root) : "<no root>";
            Ungate();
            ASSERT_EQ(g_refused > 0, true) << "call " << k;
            if (ok && root) {
                EXPECT_EQ(dump, expected) << "refused call " << k << (later ? " and later" : "");
            } else {
                EXPECT_FALSE(ok) << "call " << k;
                EXPECT_EQ(root, nullptr) << "call " << k;
                ++failures;
            }
            if (root)
                root->deleteTree();
        }
    }
    // The refusals must have mattered: with every later call refused too, all parses fail.
    EXPECT_GE(failures, calls);
}

// The same for writing: false and an empty text, or the whole text.
TEST_F(AllocationFailure, WritingNeverHandsOutAPartialText)
{
    ClsXml xml;
    ASSERT_TRUE(xml.LoadXml(kDocument, true));
    kit::StringBuffer reference;
    ASSERT_TRUE(xml.getXmlUtf8(reference));
    const std::string expected(sbText(reference), sbLength(reference));
    Gate(0, false, 0);
    kit::StringBuffer probe;
    xml.getXmlUtf8(probe);
    const int calls = g_calls;
    Ungate();
    ASSERT_GT(calls, 0);
    for (int later = 0; later < 2; ++later) {
        for (int k = 1; k <= calls; ++k) {
            kit::StringBuffer out(8); // small, so that the writer must grow it
            Gate(k, later != 0, 0);
            bool ok = xml.getXmlUtf8(out);
            Ungate();
            std::string text(sbText(out), sbLength(out));
            if (ok)
                EXPECT_EQ(text, expected) << "refused call " << k;
            else
                EXPECT_EQ(text, "") << "refused call " << k;
        }
    }
}

// Many siblings written to a text far larger than the largest block allowed: the write fails and
// hands out nothing (it used to return a text cut short with true).
TEST_F(AllocationFailure, LargeDocumentWhoseTextCannotGrowIsNotWritten)
{
    std::string text = "<r>";
    for (int i = 0; i < 20000; ++i)
        text += "<item n=\"" + std::to_string(i) + "\">value</item>";
    text += "</r>";
    ClsXml xml;
    ASSERT_TRUE(xml.LoadXml(text.c_str(), true));
    kit::StringBuffer whole;
    ASSERT_TRUE(xml.getXmlUtf8(whole));
    ASSERT_GT(sbLength(whole), 600000);

    kit::StringBuffer out(8);
    Gate(0, false, 256 * 1024);
    bool ok = xml.getXmlUtf8(out);
    Ungate();
    EXPECT_GT(g_refused, 0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(sbLength(out), 0);
    // With memory back the same handle writes the whole text again.
    kit::StringBuffer again;
    ASSERT_TRUE(xml.getXmlUtf8(again));
    EXPECT_EQ(std::string(sbText(again), sbLength(again)), std::string(sbText(whole), sbLength(whole)));
}

// A deep document when memory runs out at several points: never a shallower tree with success.
TEST_F(AllocationFailure, DeepDocumentLoadsWholeOrNotAtAll)
{
    const int kLevels = 20000;
    std::string text;
    for (int i = 0; i < kLevels; ++i)
        text += "<level>";
    text += "core";
    for (int i = 0; i < kLevels; ++i)
        text += "</level>";
    Gate(0, false, 0);
    {
        ClsXml probe;
        ASSERT_TRUE(probe.LoadXml(text.c_str(), true));
    }
    const int calls = g_calls;
    Ungate();
    for (int fraction = 1; fraction <= 9; fraction += 2) {
        ClsXml xml;
        Gate(calls * fraction / 10, true, 0);
        bool ok = xml.LoadXml(text.c_str(), true);
        Ungate();
        EXPECT_FALSE(ok) << fraction;
        // The handle keeps the document it stood on before: the empty one it was made with.
        EXPECT_EQ(xml.NumChildren(), 0);
    }
    ClsXml whole;
    ASSERT_TRUE(whole.LoadXml(text.c_str(), true));
    int depth = 0;
    for (TreeNode* node = whole.node(); node->getNumChildren() == 1; node = node->getChild(0))
        ++depth;
    EXPECT_EQ(depth, kLevels - 1);
}

// ANSI text reaches the parser through a conversion to UTF-8; when its output cannot grow, the load
// fails instead of parsing the part converted so far (it used to load that part with success).
TEST_F(AllocationFailure, AnsiTextWhoseConversionCannotGrowIsNotLoaded)
{
    std::string text = "<r>";
    for (int i = 0; i < 40000; ++i)
        text += "<e>caf\xE9</e>"; // 1252: each e-acute becomes two bytes of UTF-8
    text += "</r>";
    ASSERT_EQ(text.size(), 7u + 40000u * 11u);
    XkXml xml;
    Gate(0, false, text.size() + 1000); // the ANSI copy fits; the longer UTF-8 text does not
    bool ok = xml.LoadXml(text.c_str());
    Ungate();
    EXPECT_GT(g_refused, 0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(xml.NumChildren(), 0);
    ASSERT_TRUE(xml.LoadXml(text.c_str()));
    EXPECT_EQ(xml.NumChildren(), 40000);
    EXPECT_STREQ(xml.getChildContent("e"), "caf\xE9");
}

// One swap of the statement builder's kind and how each side should look after it.
struct SwapCase {
    const char* name;
    const char* first;  // document of the first handle
    const char* second; // document of the second handle; NULL: the first's
    const char* firstPath; // child indexes from the root, one digit each
    const char* secondPath;
};

// The documents of a case loaded, with handles on them, on the two elements to swap and on a
// grandchild, whose count moves with it between documents.
class SwapScene
{
public:
    explicit SwapScene(const SwapCase& c) : m_twoDocuments(c.second != nullptr)
    {
        EXPECT_TRUE(m_one.LoadXml(c.first, true));
        if (m_twoDocuments) {
            EXPECT_TRUE(m_two.LoadXml(c.second, true));
        }
        m_a.reset(walk(m_one, c.firstPath));
        m_b.reset(walk(m_twoDocuments ? m_two : m_one, c.secondPath));
        m_grandchild.reset(ClsXml::createForNode(m_a->node()->getChild(0)));
    }
    bool swap() { return m_a->SwapNode(m_b.get()); }
    // Both documents and their handle counts.
    std::string dump()
    {
        return dumpDocument(m_one.node()) + " | " + (m_twoDocuments ? dumpDocument(m_two.node()) + " " : "") +
               std::to_string(m_one.node()->treeHandleCount()) + "/" +
               (m_twoDocuments ? std::to_string(m_two.node()->treeHandleCount()) : "-");
    }

private:
    static ClsXml* walk(ClsXml& root, const char* path)
    {
        TreeNode* node = root.node();
        for (const char* p = path; *p; ++p)
            node = node->getChild(*p - '0');
        return ClsXml::createForNode(node);
    }

    bool m_twoDocuments;
    ClsXml m_one, m_two;
    std::unique_ptr<ClsXml> m_a, m_b, m_grandchild;
};

// Refusing each allocation of a swap in turn: the swap answers false and both documents (and their
// handle counts) are exactly as before, or it answers true and both are exactly as an unhindered
// swap leaves them. It used to answer true with a tag emptied or children gone.
TEST_F(AllocationFailure, SwapNeverLosesDataAndAnswersTrue)
{
    const SwapCase cases[] = {
        {"siblings with children", "<r><patientRecordOne k=\"1\">one<x/><y><z/></y></patientRecordOne>"
                                   "<q k=\"2\" j=\"3\">two<w/></q><e/></r>", nullptr, "0", "1"},
        {"children into an element without any", "<r><p>one<x/><y/></p><empty/></r>", nullptr, "0", "1"},
        {"two documents", "<r><a t=\"1\">alpha<c1/><c2><d>deep</d></c2></a></r>",
                          "<s><longerTagOfTheOtherDocument>beta<k/></longerTagOfTheOtherDocument></s>", "0", "0"},
    };
    for (const SwapCase& c : cases) {
        std::string before, after;
        int calls = 0;
        {
            SwapScene scene(c);
            before = scene.dump();
            Gate(0, false, 0);
            ASSERT_TRUE(scene.swap()) << c.name;
            calls = g_calls;
            Ungate();
            after = scene.dump();
        }
        ASSERT_NE(before, after) << c.name;
        ASSERT_GT(calls, 0) << c.name << ": a swap that allocates nothing cannot be checked this way";
        for (int later = 0; later < 2; ++later) {
            for (int k = 1; k <= calls; ++k) {
                SwapScene scene(c);
                Gate(k, later != 0, 0);
                bool ok = scene.swap();
                Ungate();
                EXPECT_GT(g_refused, 0) << c.name << ", call " << k;
                // Every allocation of a swap is needed: a refused one must fail it.
                EXPECT_FALSE(ok) << c.name << ", refused call " << k;
                EXPECT_EQ(scene.dump(), ok ? after : before)
                    << c.name << ", refused call " << k << (later ? " and later" : "");
                // With memory back the same swap succeeds.
                EXPECT_TRUE(scene.swap());
                EXPECT_EQ(scene.dump(), after) << c.name << ", after call " << k;
            }
        }
    }
}

std::string utf8Path(const std::wstring& path)
{
    char buffer[MAX_PATH * 4];
    int n = WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, buffer, sizeof buffer, nullptr, nullptr);
    return n > 0 ? std::string(buffer) : std::string();
}

// A NUL is no XML character: a document that holds one fails to load rather than end at it.
TEST(XmlNulByte, DocumentHoldingANulFailsToLoad)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"zero-byte.xml");
    ASSERT_TRUE(WriteWholeFile(path, std::string("<r>abc\0def<b>ghi</b></r>", 24)));
    Logger log;
    TreeNode* root = reinterpret_cast<TreeNode*>(1);
    EXPECT_FALSE(TreeNode::loadXmlFile(utf8Path(path).c_str(), &log, nullptr, root, true));
    EXPECT_EQ(root, nullptr);
    kit::StringBuffer logText;
    log.getLogText(logText);
    EXPECT_NE(std::string(sbText(logText)).find("NUL"), std::string::npos) << sbText(logText);

    // Also through the handle, for a NUL at the very end, and for U+0000 in UTF-16 and UTF-32 text
    // (which the conversion to UTF-8 would drop).
    ClsXml xml;
    EXPECT_FALSE(xml.LoadXmlFile(utf8Path(path).c_str(), true));
    ASSERT_TRUE(WriteWholeFile(path, std::string("<r>abc</r>\0", 11)));
    EXPECT_FALSE(xml.LoadXmlFile(utf8Path(path).c_str(), true));
    const std::string utf16("\xFF\xFE<\0r\0>\0\0\0x\0<\0/\0r\0>\0", 20);
    ASSERT_TRUE(WriteWholeFile(path, utf16));
    EXPECT_FALSE(xml.LoadXmlFile(utf8Path(path).c_str(), true));
    ASSERT_TRUE(WriteWholeFile(path, std::string("\xFE\xFF\0<\0r\0>\0\0\0x\0<\0/\0r\0>", 20)));
    EXPECT_FALSE(xml.LoadXmlFile(utf8Path(path).c_str(), true));
    ASSERT_TRUE(WriteWholeFile(path, std::string("\xFF\xFE\0\0<\0\0\0r\0\0\0>\0\0\0\0\0\0\0</r>", 24)));
    EXPECT_FALSE(xml.LoadXmlFile(utf8Path(path).c_str(), true));
    // UTF-16 without U+0000 (zero bytes in every unit's high half) loads.
    ASSERT_TRUE(WriteWholeFile(path, std::string("\xFF\xFE<\0r\0>\0x\0<\0/\0r\0>\0", 18)));
    ASSERT_TRUE(xml.LoadXmlFile(utf8Path(path).c_str(), true));
    EXPECT_EQ(dumpDocument(xml.node()), "r:\"x\"");
    // The same document without the NUL loads.
    ASSERT_TRUE(WriteWholeFile(path, "<r>abcdef<b>ghi</b></r>"));
    ASSERT_TRUE(xml.LoadXmlFile(utf8Path(path).c_str(), true));
    EXPECT_EQ(dumpDocument(xml.node()), "r:\"abcdef\"(b:\"ghi\")");
}

TEST(XmlNulByte, TextBufferHoldingANulIsNotParsed)
{
    kit::StringBuffer text;
    text.appendN("<r>abc\0def<b>ghi</b></r>", 24);
    ASSERT_EQ(sbLength(text), 24);
    TreeNode* root = reinterpret_cast<TreeNode*>(1);
    EXPECT_FALSE(TreeNode::parseXml(text, nullptr, nullptr, root, true));
    EXPECT_EQ(root, nullptr);
}

} // namespace
