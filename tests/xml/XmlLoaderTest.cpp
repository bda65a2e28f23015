// The file loader's decoding (byte-order marks, declared encodings) and the parser's handling of
// failed allocations and of prolog nodes that no element takes.
#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>
#include <memory>
#include <string>
#include <vector>
#include "kit/DataBuffer.h"
#include "kit/StringBuffer.h"
#include "tests/support/TempFolder.h"
#include "xml/TreeNode.h"
#include "TreeDump.h"

namespace {

std::string Utf8Path(const std::wstring& path)
{
    char buffer[MAX_PATH * 4];
    int n = WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, buffer, sizeof buffer, nullptr, nullptr);
    return n > 0 ? std::string(buffer) : std::string();
}

std::string Decoded(const std::string& bytes, bool* ok)
{
    DataBuffer data;
    EXPECT_TRUE(data.append(bytes.data(), (uint32_t)bytes.size()));
    *ok = TreeNode::decodeToUtf8(data, nullptr);
    return std::string(reinterpret_cast<const char*>(data.getData()), data.getSize());
}

// Code points as UTF-32 in either byte order, for building test files.
std::string Utf32(const std::vector<uint32_t>& points, bool bigEndian)
{
    std::string out;
    for (uint32_t cp : points)
        for (int i = 0; i < 4; ++i)
            out += (char)(bigEndian ? (cp >> (24 - 8 * i)) & 0xFF : (cp >> (8 * i)) & 0xFF);
    return out;
}

std::vector<uint32_t> Points(const char* ascii)
{
    std::vector<uint32_t> out;
    for (const char* p = ascii; *p; ++p)
        out.push_back((unsigned char)*p);
    return out;
}

TEST(XmlDecode, DeclaredWideEncodingWithoutItsMarkLeavesTheBytesAsTheyAre)
{
    for (const char* name : {"UTF-16", "utf-16le", "UTF-16BE", "UTF-32", "utf-32be", "UCS-2"}) {
        const std::string text = std::string("<?xml version=\"1.0\" encoding=\"") + name + "\"?><r>caf\xC3\xA9</r>";
        bool ok = false;
        EXPECT_EQ(Decoded(text, &ok), text) << name;
        EXPECT_TRUE(ok) << name;
    }
}

TEST(XmlDecode, EncodingInApostrophesEndsAtItsOwnQuote)
{
    // The double quotes of standalone="no" used to be taken as the end of the encoding's value.
    const std::string head = "<?xml version='1.0' encoding='windows-1252' standalone=\"no\"?><r>caf";
    bool ok = false;
    EXPECT_EQ(Decoded(head + "\xE9</r>", &ok), head + "\xC3\xA9</r>");
    EXPECT_TRUE(ok);
    // A value whose quote is never closed names nothing: the bytes stay as they are.
    const std::string open = "<?xml version='1.0' encoding='windows-1252?><r>caf\xE9</r>";
    EXPECT_EQ(Decoded(open, &ok), open);
    EXPECT_TRUE(ok);
}

TEST(XmlDecode, Utf32MarksInBothByteOrders)
{
    std::vector<uint32_t> points = Points("<r>");
    points.push_back(0xE9);
    points.push_back(0x1F600);
    for (uint32_t c : Points("</r>"))
        points.push_back(c);
    // The mark only tells the form; like the UTF-8 mark, it does not stay in the text.
    const std::string expected = "<r>\xC3\xA9\xF0\x9F\x98\x80</r>";
    bool ok = false;
    EXPECT_EQ(Decoded(std::string("\xFF\xFE\0\0", 4) + Utf32(points, false), &ok), expected);
    EXPECT_TRUE(ok);
    ok = false;
    EXPECT_EQ(Decoded(std::string("\0\0\xFE\xFF", 4) + Utf32(points, true), &ok), expected);
    EXPECT_TRUE(ok);
}

TEST(XmlDecode, Utf32FileLoadsAndItsDeclarationNamesUtf8)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"wide.xml");
    std::vector<uint32_t> points = Points("<?xml version=\"1.0\" encoding=\"UTF-32\"?><r a=\"");
    points.push_back(0x20AC);
    for (uint32_t c : Points("\">x"))
        points.push_back(c);
    points.push_back(0x65E5);
    for (uint32_t c : Points("</r>"))
        points.push_back(c);
    ASSERT_TRUE(WriteWholeFile(path, std::string("\xFF\xFE\0\0", 4) + Utf32(points, false)));
    TreeNode* root = nullptr;
    ASSERT_TRUE(TreeNode::loadXmlFile(Utf8Path(path).c_str(), nullptr, nullptr, root, true));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(dumpDocument(root), "?xml[version=1.0;encoding=utf-8] r[a=\xE2\x82\xAC]:\"x\xE6\x97\xA5\"");
    root->deleteTree();
}

TEST(XmlDecode, FileDeclaredUtf16WithoutAMarkLoadsAsItsBytes)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"plain.xml");
    ASSERT_TRUE(WriteWholeFile(path, "<?xml version=\"1.0\" encoding=\"UTF-16\"?><r>caf\xC3\xA9</r>"));
    TreeNode* root = nullptr;
    ASSERT_TRUE(TreeNode::loadXmlFile(Utf8Path(path).c_str(), nullptr, nullptr, root, true));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(dumpDocument(root), "?xml[version=1.0;encoding=utf-8] r:\"caf\xC3\xA9\"");
    root->deleteTree();
}

// Reserves every free range of the address space, so that no allocation can get new memory, and
// gives it back when it goes.
class AddressSpaceHog
{
public:
    AddressSpaceHog()
    {
        for (SIZE_T size = SIZE_T(1) << 30; size >= 0x10000; size /= 2)
            while (void* p = VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS))
                m_blocks[m_count < kMax ? m_count++ : kMax - 1] = p;
    }
    ~AddressSpaceHog()
    {
        for (int i = 0; i < m_count; ++i)
            VirtualFree(m_blocks[i], 0, MEM_RELEASE);
    }
    int Count() const { return m_count; }

private:
    static const int kMax = 1 << 16;
    void* m_blocks[kMax];
    int m_count = 0;
};

TEST(XmlParse, ElementsThatCannotBeAddedFailTheParseAndLeaveNoRoot)
{
    // Far more children than the memory left can hold.
    kit::StringBuffer text;
    text.append("<r>");
    for (int i = 0; i < 400000; ++i)
        text.append("<child_element_with_a_long_name/>");
    text.append("</r>");
    ASSERT_EQ(sbLength(text), 7 + 400000 * 33);
    TreeNode* root = reinterpret_cast<TreeNode*>(1);
    bool answer;
    int reserved;
    {
        std::unique_ptr<AddressSpaceHog> hog(new AddressSpaceHog());
        reserved = hog->Count();
        answer = TreeNode::parseXml(text, nullptr, nullptr, root, true);
    }
    ASSERT_GT(reserved, 0);
    EXPECT_FALSE(answer);
    EXPECT_EQ(root, nullptr);
    // With memory back, the same text parses whole.
    ASSERT_TRUE(TreeNode::parseXml(text, nullptr, nullptr, root, true));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->getNumChildren(), 400000);
    root->deleteTree();
}

SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    EXPECT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters));
    return counters.PagefileUsage;
}

TEST(XmlParse, StylesheetsThatNoElementTakesAreFreed)
{
    const std::string text = "<?xml-stylesheet type=\"text/xsl\" href=\"first.xsl\"?>"
                             "<?xml-stylesheet type=\"text/css\" href=\"second.css\"?>";
    ASSERT_EQ(parseAndDump(text), "<no root>");
    const SIZE_T before = PrivateBytes();
    for (int i = 0; i < 100000; ++i)
        parseAndDump(text);
    // Two nodes with two attributes each, kept 100,000 times, would take well over 20 MB.
    EXPECT_LT(PrivateBytes(), before + 4 * 1024 * 1024);
}

} // namespace
