// Reading the facts files pypdf wrote for the tests.
#include "FormFacts.h"
#include "tests/support/TempFolder.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace {
std::wstring FromUtf8(const std::string& text)
{
    if (text.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}

std::vector<std::string> SplitTabs(const std::string& line)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) parts.push_back(line.substr(start, tab - start));
    parts.push_back(line.substr(start));
    return parts;
}
} // namespace

std::vector<std::wstring> FormFacts::ShownFields() const
{
    std::vector<std::wstring> shown;
    for (const std::wstring& name : fields) {
        bool hasWidget = std::any_of(widgets.begin(), widgets.end(), [&](const FactWidget& w) { return w.field == name; });
        if (hasWidget) shown.push_back(name);
    }
    return shown;
}

std::vector<FactWidget> FormFacts::WidgetsOf(const std::wstring& field) const
{
    std::vector<FactWidget> found;
    for (const FactWidget& w : widgets)
        if (w.field == field) found.push_back(w);
    return found;
}

FormFacts ReadFormFacts(const std::wstring& path)
{
    FormFacts facts;
    std::istringstream lines(ReadWholeFile(path));
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> parts = SplitTabs(line);
        if (parts[0] == "page" && parts.size() >= 3) {
            facts.pageRotations.push_back(std::atoi(parts[2].c_str()));
        } else if (parts[0] == "field" && parts.size() >= 2) {
            facts.fields.push_back(FromUtf8(parts[1]));
        } else if (parts[0] == "widget" && parts.size() >= 5) {
            FactWidget w;
            w.field = FromUtf8(parts[1]);
            w.page = std::atoi(parts[2].c_str());
            std::istringstream rect(parts[3]);
            for (double& v : w.rect) rect >> v;
            w.onState = parts[4];
            facts.widgets.push_back(w);
        }
    }
    return facts;
}

std::wstring LatexFormPath(const std::wstring& name, const wchar_t* suffix)
{
    return std::wstring(FORMSTEAD_LATEX_FORMS_DIR) + name + suffix;
}

void ExpectReadAsFacts(const pdf::FormDocument& doc, const FormFacts& facts)
{
    ASSERT_EQ(facts.pageRotations.size(), doc.pages.size());
    for (size_t p = 0; p < doc.pages.size(); ++p) EXPECT_EQ(facts.pageRotations[p], doc.pages[p].rotation) << p;

    // One field per name pypdf reads (those with widgets: a parent without widgets is no column).
    std::vector<std::wstring> expected = facts.ShownFields();
    ASSERT_FALSE(expected.empty());
    ASSERT_EQ(expected.size(), doc.fields.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(expected[i], doc.fields[i].name) << i;

    // Every widget of the pages, in the order of the pages' annotations, on its page and in its place.
    for (const pdf::FormField& field : doc.fields) {
        std::vector<FactWidget> widgets = facts.WidgetsOf(field.name);
        ASSERT_EQ(widgets.size(), field.widgets.size()) << field.name;
        for (size_t w = 0; w < widgets.size(); ++w) {
            EXPECT_EQ(widgets[w].page, field.widgets[w].page) << field.name << " " << w;
            for (int i = 0; i < 4; ++i) EXPECT_NEAR(widgets[w].rect[i], field.widgets[w].rect[i], 0.001) << field.name << " " << w;
            bool box = field.type == pdf::FieldType::CheckBox || field.type == pdf::FieldType::Radio;
            if (box) EXPECT_EQ(widgets[w].onState, field.widgets[w].onState) << field.name << " " << w;
        }
    }
}
