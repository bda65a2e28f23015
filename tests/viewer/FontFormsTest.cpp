// Forms whose page text is in encoded simple fonts (pdflatex's T1 fonts, as Type 1 with and without
// ToUnicode maps and as bitmap Type 3 fonts), in a two-byte font (pdf-lib's Identity-H TrueType, with
// and without its ToUnicode map), or whose page is drawn by nested form XObjects (pdf-lib's embedded
// pages, ReportLab's forms), each also as qpdf rewrites it: they read as their field, every word
// pdftotext finds is drawn as those characters in its place, and the page's ink lies where pdftoppm puts
// it (none where a form's box clips its text away).
#include "DrawnText.h"
#include "ReferencePage.h"
#include "viewer/FormScript.h"
#include <gtest/gtest.h>
#include <cmath>

namespace {

const double kScale = kReferenceScale;

struct FontForm
{
    const wchar_t* stem;
    const wchar_t* field;
    // The form whose pdftotext words stand for this one: pdftotext cannot read the text of pdfTeX's
    // bitmap fonts, and the lmodern form has the same metrics, so the same words in the same places.
    const wchar_t* wordsStem;
    size_t words;      // words pdftotext finds on the page
};

const FontForm kForms[] = {
    {L"latex-t1", L"applicant", L"latex-t1", 10},
    {L"latex-t1-nomap", L"applicant", L"latex-t1-nomap", 10},
    {L"latex-type3", L"applicant", L"latex-t1", 10},
    {L"pdflib-type0", L"patient", L"pdflib-type0", 13},
    // Without a ToUnicode map pdftotext cannot read it either; the map of the whole font can.
    {L"pdflib-type0-nomap", L"patient", L"pdflib-type0", 13},
    {L"pdflib-parts", L"notes", L"pdflib-parts", 7},
    {L"reportlab-parts", L"member", L"reportlab-parts", 14},
};

std::wstring FormFile(const std::wstring& stem, const wchar_t* suffix)
{
    return std::wstring(FORMSTEAD_FONT_FORMS_DIR) + stem + suffix;
}

struct Variant
{
    const FontForm* form;
    bool qpdf; // the copy qpdf rewrote with object streams
};

class FontForms : public ::testing::TestWithParam<Variant>
{
protected:
    pdf::FormDocument Read() const
    {
        return ReadTestForm(FormFile(GetParam().form->stem, GetParam().qpdf ? L"-qpdf.pdf" : L".pdf"));
    }
};

void PrintTo(const Variant& variant, std::ostream* out)
{
    *out << std::string(variant.form->stem, variant.form->stem + wcslen(variant.form->stem)) << (variant.qpdf ? " by qpdf" : "");
}

std::vector<Variant> AllVariants()
{
    std::vector<Variant> all;
    for (const FontForm& form : kForms) {
        all.push_back({&form, false});
        all.push_back({&form, true});
    }
    return all;
}

// Pixel box of a word's box in points, with a little room.
struct Box
{
    int left, top, right, bottom;
};
Box PixelsOf(const Word& w)
{
    return {static_cast<int>(std::floor(w.box[0] * kScale)) - 2, static_cast<int>(std::floor(w.box[1] * kScale)) - 2,
            static_cast<int>(std::ceil(w.box[2] * kScale)) + 2, static_cast<int>(std::ceil(w.box[3] * kScale)) + 2};
}

} // namespace

TEST_P(FontForms, ReadAsTheirField)
{
    pdf::FormDocument doc = Read();
    ASSERT_EQ(1u, doc.fields.size());
    EXPECT_EQ(GetParam().form->field, doc.fields[0].name);
    viewer::FormScript script;
    script.Load(doc, "%PDF");
    ASSERT_EQ(1u, script.Columns().size());
    EXPECT_EQ(GetParam().form->field, script.Columns()[0]);
}

TEST_P(FontForms, EveryWordIsDrawnAsItsCharactersInItsPlace)
{
    const FontForm& form = *GetParam().form;
    pdf::FormDocument doc = Read();
    ASSERT_EQ(1u, doc.pages.size());
    std::vector<Word> words = ReadWords(FormFile(form.wordsStem, L"-words.html"));
    ASSERT_EQ(form.words, words.size());
    GreyPage reference = ReadPgm(FormFile(form.stem, L"-page.pgm"));
    ASSERT_GT(reference.width, 0);
    std::vector<DrawnCharacter> drawn = DrawnCharacters(doc);
    int checked = 0;
    for (const Word& w : words) {
        Box b = PixelsOf(w);
        if (reference.DarkIn(b.left, b.top, b.right, b.bottom) == 0) continue; // clipped away: see the ink test
        // Each character starts inside the word's box, on a baseline inside it.
        std::wstring expected = PlainWord(w.text);
        EXPECT_EQ(expected, DrawnTextIn(drawn, w.box[0] - 1.5, w.box[1], w.box[2] - 1, w.box[3] + 1)) << w.text;
        ++checked;
    }
    EXPECT_GE(checked, 5);
}

TEST_P(FontForms, InkLiesWherePdftoppmPutsIt)
{
    const FontForm& form = *GetParam().form;
    pdf::FormDocument doc = Read();
    GreyPage reference = ReadPgm(FormFile(form.stem, L"-page.pgm"));
    ASSERT_EQ(static_cast<int>(std::lround(doc.pages[0].Width() * kScale)), reference.width);
    GreyPage own = DrawOwnPage(doc, reference.width, reference.height);
    std::vector<Word> words = ReadWords(FormFile(form.wordsStem, L"-words.html"));
    ASSERT_EQ(form.words, words.size());
    for (const Word& w : words) {
        Box b = PixelsOf(w);
        int theirs = reference.DarkIn(b.left, b.top, b.right, b.bottom);
        int ours = own.DarkIn(b.left, b.top, b.right, b.bottom);
        // The same word in a substitute font: about as much ink in the same place, none where
        // the form's box clips it.
        EXPECT_GE(ours * 2, theirs) << w.text << ": " << ours << " dark pixels, pdftoppm " << theirs;
        EXPECT_LE(ours, theirs * 2) << w.text << ": " << ours << " dark pixels, pdftoppm " << theirs;
    }
}

INSTANTIATE_TEST_SUITE_P(Writers, FontForms, ::testing::ValuesIn(AllVariants()),
                         [](const ::testing::TestParamInfo<Variant>& info) {
                             std::string name;
                             for (const wchar_t* c = info.param.form->stem; *c; ++c)
                                 name += *c == L'-' ? '_' : static_cast<char>(*c);
                             return name + (info.param.qpdf ? "_qpdf" : "");
                         });
