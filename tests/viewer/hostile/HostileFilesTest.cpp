// The hostile forms of tools/forms/make_hostile_forms.py, each read, loaded and drawn by the probe
// in a process of its own: the process ends by itself with exit code 0 within its watchdog, its
// peak working set stays under 600 MB, and it reads the fields pypdf reads (or refuses the file
// with the stated message).
#include "ProbeRun.h"
#include "tests/support/TempFolder.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>

namespace {

// A watchdog, not a measure: a file is read and drawn in seconds, a stalled one never ends.
const DWORD kWatchdogMs = 60 * 1000;
// Probes run side by side, so that a run where many stall still ends within the test's time.
const size_t kParallelProbes = 3;

const wchar_t* const kHostileForms[] = {
    L"shared-content", L"nested-q", L"xref-size", L"nested-operands", L"xref-entries", L"huge-text",
    L"million-leaves", L"objstm-20000", L"repair-40000", L"repair-obj-run", L"form-drawn-often",
    L"fill-after-million", L"deep-fields", L"deep-pages", L"offsets-off", L"damaged-info",
    L"damaged-annotation", L"damaged-field", L"incremental-startxref"};

struct HostileFacts
{
    bool present = false;
    std::vector<std::string> fields; // "name\tvalue"
    std::vector<std::string> refusal; // fragments of the message expected; none when the form loads
    std::vector<std::pair<size_t, long>> ink; // page, dark pixels pdftoppm draws on it at 96 dots an inch
};

HostileFacts ReadHostileFacts(const std::wstring& path)
{
    HostileFacts facts;
    std::istringstream lines(ReadWholeFile(path));
    for (std::string line; std::getline(lines, line);) {
        facts.present = true;
        if (line.compare(0, 6, "field\t") == 0) facts.fields.push_back(line.substr(6));
        else if (line.compare(0, 8, "refused\t") == 0) facts.refusal.push_back(line.substr(8));
        else if (line.compare(0, 4, "ink\t") == 0)
            facts.ink.emplace_back(std::strtoul(line.c_str() + 4, nullptr, 10), std::atol(line.c_str() + line.rfind('\t') + 1));
    }
    return facts;
}

std::wstring HostilePath(const std::wstring& name, const wchar_t* suffix)
{
    return std::wstring(FORMSTEAD_HOSTILE_FORMS_DIR) + name + suffix;
}

// The first difference of two field lists, or "" when they are equal.
std::string FirstDifference(const std::vector<std::string>& expected, const std::vector<std::string>& read)
{
    for (size_t i = 0; i < expected.size() || i < read.size(); ++i) {
        const std::string want = i < expected.size() ? expected[i] : "(none)";
        const std::string got = i < read.size() ? read[i] : "(none)";
        if (want != got)
            return "field " + std::to_string(i) + " of " + std::to_string(expected.size()) + " expected [" + want +
                   "], read [" + got + "] (" + std::to_string(read.size()) + " read)";
    }
    return std::string();
}

class HostileFiles : public ::testing::TestWithParam<const wchar_t*>
{
public:
    // Every form probed once, a few processes at a time; each test checks its own form's run.
    static void SetUpTestSuite()
    {
        s_folder = new TempFolder();
        s_runs = new std::map<std::wstring, ProbeRun>();
        const size_t count = sizeof kHostileForms / sizeof kHostileForms[0];
        for (size_t first = 0; first < count; first += kParallelProbes) {
            std::vector<std::unique_ptr<ProbeProcess>> running;
            for (size_t i = first; i < count && i < first + kParallelProbes; ++i)
                running.emplace_back(new ProbeProcess({HostilePath(kHostileForms[i], L".pdf")},
                                                      s_folder->File(std::wstring(kHostileForms[i]) + L"-probe.txt")));
            for (size_t i = first; i < count && i < first + kParallelProbes; ++i)
                (*s_runs)[kHostileForms[i]] = running[i - first]->Wait(kWatchdogMs);
        }
    }

    static void TearDownTestSuite()
    {
        delete s_runs;
        s_runs = nullptr;
        delete s_folder;
        s_folder = nullptr;
    }

protected:
    static TempFolder* s_folder;
    static std::map<std::wstring, ProbeRun>* s_runs;
};

TempFolder* HostileFiles::s_folder = nullptr;
std::map<std::wstring, ProbeRun>* HostileFiles::s_runs = nullptr;

} // namespace

TEST_P(HostileFiles, EndsWithinBoundsAndReadsAsPypdf)
{
    const std::wstring pdf = HostilePath(GetParam(), L".pdf");
    const std::string file = Narrow(pdf);
    HostileFacts facts = ReadHostileFacts(HostilePath(GetParam(), L"-facts.txt"));
    ASSERT_TRUE(facts.present) << file << ": its facts are missing";
    ASSERT_TRUE(s_runs->count(GetParam())) << file << ": not probed";
    const ProbeRun& run = s_runs->at(GetParam());
    ASSERT_TRUE(run.started) << file << ": the probe could not be started";
    EXPECT_TRUE(run.endedByItself) << file << ": " << run.Describe();
    EXPECT_EQ(0u, run.exitCode) << file << ": " << run.Describe();
    ASSERT_TRUE(run.peakKnown) << file << ": " << run.Describe();
    EXPECT_LT(run.peak, kPeakWorkingSetLimit) << file << ": " << run.Describe();
    ASSERT_EQ(1u, run.files.size()) << file << ": " << run.Describe();
    const ProbedFile& read = run.files[0];
    EXPECT_TRUE(read.drawn) << file << ": not drawn to the end";
    for (const std::string& fragment : facts.refusal)
        EXPECT_NE(std::string::npos, read.windowRefusal.find(fragment))
            << file << ": expected a refusal with \"" << fragment << "\", the window said \"" << read.windowRefusal << "\"";
    if (facts.refusal.empty()) EXPECT_EQ("", read.windowRefusal) << file;
    if (!facts.refusal.empty() && facts.fields.empty()) {
        EXPECT_FALSE(read.readRefusal.empty()) << file << ": read " << read.fields.size() << " fields, expected a refusal";
    } else {
        // Read whole as pypdf reads it (a form may still be refused by the window: too many fields to keep).
        EXPECT_EQ("", read.readRefusal) << file;
        EXPECT_EQ("", FirstDifference(facts.fields, read.fields)) << file;
    }
    // Pages whose drawing is checked: about as much ink as pdftoppm puts on them.
    for (const auto& page : facts.ink) {
        ASSERT_LT(page.first, read.ink.size()) << file << ": page " << page.first << " not drawn";
        const long ours = read.ink[page.first];
        EXPECT_GE(ours * 2, page.second) << file << ": page " << page.first << " drawn with " << ours
                                         << " dark pixels, pdftoppm " << page.second;
        EXPECT_LE(ours, page.second * 2) << file << ": page " << page.first << " drawn with " << ours
                                         << " dark pixels, pdftoppm " << page.second;
    }
}

INSTANTIATE_TEST_SUITE_P(Classes, HostileFiles,
                         ::testing::ValuesIn(kHostileForms),
                         [](const ::testing::TestParamInfo<const wchar_t*>& info) {
                             std::string name;
                             for (const wchar_t* c = info.param; *c; ++c)
                                 if (iswalnum(*c)) name += static_cast<char>(*c);
                             return name;
                         });
