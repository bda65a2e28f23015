// Base64 decoding, quoted-printable encoding rules, 64-bit number texts and progress reports.
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>
#include "kit/ContentCoding.h"
#include "kit/Int64Text.h"
#include "kit/KitRand.h"
#include "kit/ProgressMonitor.h"

namespace {
std::string decode(const char* text)
{
    ContentCoding cc;
    uint32_t n = 99;
    unsigned char* out = cc.decodeBase64(text, (uint32_t)strlen(text), &n);
    std::string s = out ? std::string((const char*)out, n) : std::string("<null>");
    delete[] out;
    return s;
}
std::string qp(const std::string& data)
{
    ContentCoding cc;
    kit::StringBuffer out;
    cc.encodeQuotedPrintable(data.data(), (uint32_t)data.size(), out);
    return std::string(out.pointerAt(0), out.getSize());
}
}

// Reference encodings from Python's base64 module.
TEST(Base64Decode, MatchesReferenceEncodings)
{
    EXPECT_EQ("ABC", decode("QUJD"));
    EXPECT_EQ("ABCABC", decode("QUJD\r\nQUJD"));
    EXPECT_EQ("AB", decode("QUI="));
    EXPECT_EQ("A", decode("QQ=="));
    EXPECT_EQ(std::string("\x00\xff\xfe\x80?", 5), decode("AP/+gD8="));
    EXPECT_EQ("any carnal pleasure.", decode("YW55IGNh cm5hbCBw\tbGVhc3VyZS4="));
    EXPECT_EQ(std::string("\xfb\xff\xbf", 3), decode("+/+/"));
    EXPECT_EQ("stop", decode("c3RvcA==c3RvcA=="));

    ContentCoding cc;
    uint32_t n = 7;
    EXPECT_EQ(nullptr, cc.decodeBase64("", 0, &n));
    EXPECT_EQ(0u, n);
    EXPECT_EQ(nullptr, cc.decodeBase64("QUJD", 4, nullptr));
    EXPECT_EQ(nullptr, cc.decodeBase64(nullptr, 4, &n));
}

TEST(QuotedPrintable, EscapesAndLineRules)
{
    EXPECT_EQ("=46rom here", qp("From here"));
    EXPECT_EQ("x From", qp("x From")); // only at a line start
    EXPECT_EQ("a\r\n=46rom x", qp("a\r\nFrom x"));
    EXPECT_EQ("=2E\r\n=2E.", qp(".\r\n.."));
    EXPECT_EQ("a=3Db", qp("a=b"));
    EXPECT_EQ("a=20\r\nb", qp("a \r\nb"));
    EXPECT_EQ("a b=09", qp("a b\t"));
    EXPECT_EQ("=0A=0Dx=C3=A9=7F=00", qp(std::string("\n\rx\xC3\xA9\x7F\0", 7)));
    EXPECT_EQ("=0Dz", qp("\rz"));
    EXPECT_EQ("", qp(""));

    std::string letters(100, 'k');
    EXPECT_EQ(std::string(72, 'k') + "=\r\n" + std::string(28, 'k'), qp(letters));
    // An escape that steps over column 72 still breaks the line.
    std::string escaped = std::string(71, 'k') + "==";
    EXPECT_EQ(std::string(71, 'k') + "=3D=\r\n=3D", qp(escaped));
}

TEST(NumberText, SignedUnsignedAndRadix)
{
    char buf[kInt64TextSize];
    ASSERT_TRUE(int64ToText(-42, buf, 10));
    EXPECT_STREQ("-42", buf);
    ASSERT_TRUE(uint64ToText(255, buf, 16, false));
    EXPECT_STREQ("ff", buf);
    ASSERT_TRUE(int64ToText(0, buf, 2));
    EXPECT_STREQ("0", buf);
    ASSERT_TRUE(int64ToText(INT64_MIN, buf, 10));
    EXPECT_STREQ("-9223372036854775808", buf);
    ASSERT_TRUE(int64ToText(-1, buf, 16));
    EXPECT_STREQ("ffffffffffffffff", buf);
    ASSERT_TRUE(uint64ToText(UINT64_MAX, buf, 2, false));
    EXPECT_EQ(64u, strlen(buf));
    ASSERT_TRUE(uint64ToText(35, buf, 36, false));
    EXPECT_STREQ("z", buf);
    EXPECT_FALSE(int64ToText(5, buf, 1));
    EXPECT_STREQ("", buf);
    EXPECT_FALSE(int64ToText(5, buf, 37));

    kit::StringBuffer sb("n=");
    appendInt64(INT64_MAX, sb);
    EXPECT_STREQ("n=9223372036854775807", sb.pointerAt(0));

    uint32_t low = 0, high = 0;
    splitUInt64(makeUInt64(0x89ABCDEF, 0x01234567), low, high);
    EXPECT_EQ(0x89ABCDEFu, low);
    EXPECT_EQ(0x01234567u, high);
    EXPECT_EQ(0x0123456789ABCDEFull, makeUInt64(0x89ABCDEF, 0x01234567));
}

namespace {
struct RecordingSink : ProgressSink
{
    std::vector<uint32_t> reports;
    uint32_t abortAt = 1000;
    void percentDone(uint32_t percent, bool* abort) override
    {
        reports.push_back(percent);
        *abort = percent >= abortAt;
    }
};
}

TEST(Progress, ReportsOnlyRisingPercentages)
{
    EXPECT_EQ(50u, ProgressMonitor::percentOf(5000000, 10000000));
    EXPECT_EQ(100u, ProgressMonitor::percentOf(5, 0));
    EXPECT_EQ(33u, ProgressMonitor::percentOf(1, 3));

    RecordingSink sink;
    ProgressMonitor pm(&sink);
    pm.reset(200);
    pm.consumeProgress(1); // 0 %: nothing
    pm.consumeProgress(1); // 1 %
    pm.consumeProgress(1); // still 1 %
    pm.consumeProgress(100);
    bool abort = true;
    pm.setAmountDone(10, &abort); // falls back: no report
    EXPECT_FALSE(abort);
    pm.setSuspended(true);
    pm.consumeProgress(50);
    pm.setSuspended(false);
    EXPECT_EQ(10u, pm.amountDone());
    pm.consumeProgress(1000); // clamped to the total
    EXPECT_EQ(200u, pm.amountDone());
    EXPECT_EQ((std::vector<uint32_t>{1, 51, 100}), sink.reports);

    RecordingSink held;
    held.abortAt = 40;
    ProgressMonitor hold(&held);
    hold.setHoldBack100(true);
    hold.reset(10);
    hold.setAmountDone64(5, &abort);
    EXPECT_TRUE(abort);
    EXPECT_TRUE(hold.abortRequested());
    hold.setAmountDone64(10, &abort);
    EXPECT_EQ((std::vector<uint32_t>{50}), held.reports);
    hold.finish();
    EXPECT_EQ((std::vector<uint32_t>{50, 100}), held.reports);

    ProgressMonitor silent;
    silent.reset(4);
    silent.consumeProgress(4);
    silent.finish();
    EXPECT_EQ(4u, silent.amountDone());
}

TEST(RandomState, SeededWithBitColumns)
{
    unsigned char bytes[64] = {};
    ASSERT_TRUE(getRandomBytes(64, bytes));
    int nonZero = 0;
    for (unsigned char b : bytes)
        nonZero += b != 0;
    EXPECT_GT(nonZero, 32);
    EXPECT_FALSE(getRandomBytes(-1, bytes));
    EXPECT_FALSE(getRandomBytes(4, nullptr));

    KitRand::seed();
    const uint32_t* words = KitRand::state();
    for (int k = 0; k < 32; k++) {
        uint32_t w = words[3 + 7 * k];
        EXPECT_EQ(1u, w >> (31 - k))
            << "column " << k;
    }
}
