// The handle operations of the statement sort on documents of the sizes it meets: tens of thousands
// of sibling records with a handle on each at once, and nesting ten thousand levels deep. Each case
// runs on a thread with a small stack, so a walk whose depth grows with the document cannot hide.
#include <gtest/gtest.h>
#include <windows.h>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "xml/XkXml.h"

namespace {

using Handle = std::unique_ptr<XkXml>;

const DWORD kSmallStack = 64 * 1024;
const DWORD kWatchdogMs = 10 * 60 * 1000; // only against a hang; no case comes near it

struct Job {
    std::function<void()> body;
    std::string thrown; // what escaped the body, reported as a failure after the join
};

DWORD WINAPI runJob(void* arg)
{
    Job* job = static_cast<Job*>(arg);
    try {
        job->body();
    } catch (const std::exception& e) {
        job->thrown = e.what();
    } catch (...) {
        job->thrown = "an unknown exception";
    }
    return 0;
}

// Runs the body on a new thread whose stack reserve is kSmallStack and waits for it to finish.
void onSmallStack(std::function<void()> body)
{
    Job job{std::move(body), std::string()};
    HANDLE thread = CreateThread(nullptr, kSmallStack, runJob, &job, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    ASSERT_NE(thread, nullptr);
    DWORD waited = WaitForSingleObject(thread, kWatchdogMs);
    CloseHandle(thread);
    ASSERT_EQ(waited, WAIT_OBJECT_0) << "the operations did not finish";
    EXPECT_EQ(job.thrown, "") << "the operations ran out of memory or failed";
}

std::string valueOf(int i)
{
    return "v" + std::to_string(i);
}

// <r><c><k>v0</k></c><c><k>v1</k></c>...</r>
std::string siblingDocument(int count)
{
    std::string text = "<r>";
    for (int i = 0; i < count; ++i)
        text += "<c><k>" + valueOf(i) + "</k></c>";
    return text + "</r>";
}

// The fixed layout written for siblingDocument with the records in the given order: CR LF before
// every first child, four spaces a level, each element on its own line.
std::string siblingLayout(const std::vector<int>& order)
{
    std::string text = "\r\n<r>";
    for (size_t i = 0; i < order.size(); ++i) {
        text += i == 0 ? "\r\n    <c>" : "    <c>";
        text += "\r\n        <k>" + valueOf(order[i]) + "</k>\r\n    </c>\r\n";
    }
    return text + "</r>\r\n";
}

// A chain of `levels` elements named d, each the only child of the one before, the innermost holding x.
std::string chainDocument(int levels)
{
    std::string text;
    for (int i = 0; i < levels; ++i)
        text += "<d>";
    text += "x";
    for (int i = 0; i < levels; ++i)
        text += "</d>";
    return text;
}

std::string indent(int depth)
{
    return std::string(4 * (depth < 50 ? depth : 50), ' ');
}

// The layout of a chain of `levels` d elements whose outermost stands at depth `top`: every level
// opens on a line of its own (the outermost only when it is a first child), the innermost closes
// after its text, and the others close on indented lines.
std::string chainLayout(int levels, int top, bool firstChild)
{
    std::string text = (firstChild ? "\r\n" : "") + indent(top) + "<d>";
    for (int depth = top + 1; depth < top + levels; ++depth)
        text += "\r\n" + indent(depth) + "<d>";
    text += "x</d>\r\n";
    for (int depth = top + levels - 2; depth >= top; --depth)
        text += indent(depth) + "</d>\r\n";
    return text;
}

// Large texts are compared by their first difference: a full diff of two long texts is too big to print.
void expectSameText(const char* actual, const std::string& expected)
{
    ASSERT_NE(actual, nullptr);
    const std::string text(actual);
    size_t at = 0;
    while (at < text.size() && at < expected.size() && text[at] == expected[at])
        ++at;
    EXPECT_TRUE(at == text.size() && at == expected.size())
        << "lengths " << text.size() << " and " << expected.size() << ", first difference at " << at << ": \""
        << text.substr(at > 40 ? at - 40 : 0, 80) << "\" against \"" << expected.substr(at > 40 ? at - 40 : 0, 80)
        << "\"";
}

TEST(XkXmlScale, TenThousandRecordHandlesHeldAtOnceReadAndSwap)
{
    const int count = 10000;
    onSmallStack([count] {
        XkXml xml;
        ASSERT_TRUE(xml.LoadXml(siblingDocument(count).c_str()));
        Handle root(xml.GetRoot());
        ASSERT_TRUE(root);
        ASSERT_EQ(root->NumChildren(), count);
        // A handle on every record, as the sort keeps them while it orders the keys.
        std::vector<Handle> records(count);
        for (int i = 0; i < count; ++i) {
            records[i].reset(root->GetChild(i));
            ASSERT_TRUE(records[i]) << "no handle on record " << i;
            const char* key = records[i]->getChildContent("k");
            ASSERT_NE(key, nullptr);
            ASSERT_EQ(std::string(key), valueOf(i));
        }
        for (int i = 0; i < count / 2; ++i)
            ASSERT_TRUE(records[i]->SwapNode(records[count - 1 - i].get()));
        std::vector<int> reversed;
        for (int i = count - 1; i >= 0; --i)
            reversed.push_back(i);
        expectSameText(xml.getXml(), siblingLayout(reversed));
        EXPECT_STREQ(records[0]->getChildContent("k"), "v9999") << "handles follow positions";
    });
}

TEST(XkXmlScale, HundredThousandSiblingsLoadSwapAndWrite)
{
    const int count = 100000;
    onSmallStack([count] {
        XkXml xml;
        ASSERT_TRUE(xml.LoadXml(siblingDocument(count).c_str()));
        Handle root(xml.GetRoot());
        ASSERT_TRUE(root);
        ASSERT_EQ(root->NumChildren(), count);
        Handle first(root->GetChild(0)), last(root->GetChild(count - 1));
        ASSERT_TRUE(first && last);
        EXPECT_STREQ(last->getChildContent("k"), "v99999");
        ASSERT_TRUE(first->SwapNode(last.get()));
        std::vector<int> order;
        for (int i = 0; i < count; ++i)
            order.push_back(i);
        std::swap(order.front(), order.back());
        expectSameText(root->getXml(), siblingLayout(order));
    });
}

TEST(XkXmlScale, TenThousandLevelsLoadWalkSwapAndWrite)
{
    const int levels = 10000;
    onSmallStack([levels] {
        XkXml xml;
        // Two records: the deep chain, then one flat element; swapping them moves the whole chain.
        ASSERT_TRUE(xml.LoadXml(("<r>" + chainDocument(levels) + "<e>y</e></r>").c_str()));
        Handle root(xml.GetRoot());
        ASSERT_TRUE(root);
        ASSERT_EQ(root->NumChildren(), 2);
        Handle chain(root->GetChild(0)), flat(root->GetChild(1));
        ASSERT_TRUE(chain && flat);
        Handle level(chain->GetChild(0));
        for (int depth = 2; depth < levels - 1 && level; ++depth)
            level.reset(level->GetChild(0));
        ASSERT_TRUE(level) << "the chain ends early"; // the last level but one
        EXPECT_STREQ(level->getChildContent("d"), "x");
        ASSERT_TRUE(chain->SwapNode(flat.get()));
        EXPECT_STREQ(root->getChildContent("e"), "y");
        // The chain now stands second, one level below the root. The first element keeps the chain's
        // emptied child array, so its close tag is indented as a parent's is.
        const std::string expected =
            "\r\n<r>\r\n    <e>y    </e>\r\n" + chainLayout(levels, 1, false) + "</r>\r\n";
        expectSameText(root->getXml(), expected);
    });
}

TEST(XkXmlScale, TenThousandLevelsWrittenFromTheRoot)
{
    const int levels = 10000;
    onSmallStack([levels] {
        XkXml xml;
        ASSERT_TRUE(xml.LoadXml(chainDocument(levels).c_str()));
        expectSameText(xml.getXml(), chainLayout(levels, 0, true));
    });
}

} // namespace
