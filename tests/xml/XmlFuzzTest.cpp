// Malformed input, fuzz style: a seeded mutation loop over seed documents. Every mutant must parse
// without a crash, and what the serialiser writes must parse again to the same tree.
// FORMSTEAD_FUZZ_ITERATIONS runs more iterations on demand.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <random>
#include "TreeDump.h"
#include "xml/TreeNode.h"

namespace {

const char* const kSeeds[] = {
    "<?xml version=\"1.0\" encoding=\"utf-8\"?><!DOCTYPE r [<!ENTITY e \"x\">]><?xml-stylesheet href=\"s\"?>"
    "<r a=\"1\" b='2'><c>text &amp; more</c><d><![CDATA[raw <stuff>]]></d><!-- note --><e/></r>",
    "<records><rec id=\"1\"><name>Ann</name><amount>10.50</amount></rec><rec id=\"2\"><name>Bob</name>"
    "<amount>&lt;3&gt;</amount></rec></records>",
    "<a>mixed <b>bold</b> tail <?pi x?> &#65; &reg; &quot;q&quot;</a>",
    "<x:y xmlns:x=\"urn:x\" x:z=\"&apos;\">\xC3\xA9\xE2\x82\xAC</x:y>",
};

const char* const kInserts[] = {"<", ">", "</", "/>", "<a>", "</a>", "<![CDATA[", "]]>", "<!--", "-->", "<?",
                                "?>", "&", "&amp;", "&lt;", "\"", "'", "=", " ", "<!DOCTYPE d [", "<?xml ",
                                "<?xml-stylesheet ", "\r\n", "\xFF", "]]", "&#"};

std::string mutate(std::string text, std::mt19937& rng)
{
    int rounds = 1 + rng() % 4;
    for (int r = 0; r < rounds; ++r) {
        size_t pos = text.empty() ? 0 : rng() % (text.size() + 1);
        switch (rng() % 7) {
        case 0: // truncation
            text.resize(pos);
            break;
        case 1: // byte flip
            if (!text.empty())
                text[pos % text.size()] ^= (char)(1 << (rng() % 8));
            break;
        case 2: // inserted markup
        case 3:
            text.insert(pos, kInserts[rng() % (sizeof kInserts / sizeof *kInserts)]);
            break;
        case 4: // a zero byte ends the text
            text.insert(pos, 1, '\0');
            break;
        case 5: // deep nesting
            text.insert(pos, std::string(200 + rng() % 2000, 'x').replace(0, std::string::npos, [&] {
                std::string s;
                for (int i = 0, n = 50 + rng() % 500; i < n; ++i)
                    s += "<n>";
                return s;
            }()));
            break;
        case 6: // many top-level elements
            for (int i = 0, n = 1 + rng() % 50; i < n; ++i)
                text.insert(pos, "<t/>");
            break;
        }
    }
    return text;
}

int iterations()
{
    const char* env = getenv("FORMSTEAD_FUZZ_ITERATIONS");
    int n = env ? atoi(env) : 0;
    return n > 0 ? n : 1500;
}

TEST(XmlFuzz, MutantsParseAndTheirOutputParsesToTheSameTree)
{
    std::mt19937 rng(20261206);
    int withRoot = 0;
    const int total = iterations();
    for (int i = 0; i < total; ++i) {
        std::string input = mutate(kSeeds[rng() % (sizeof kSeeds / sizeof *kSeeds)], rng);
        std::string dump = parseAndDump(input);
        if (dump == "<no root>")
            continue;
        ++withRoot;
        std::string written = parseAndSerialize(input);
        ASSERT_EQ(parseAndDump(written), dump) << "iteration " << i << " input: " << input;
        ASSERT_EQ(parseAndSerialize(written), written) << "iteration " << i;
    }
    EXPECT_GT(withRoot, total / 2);
}

} // namespace
