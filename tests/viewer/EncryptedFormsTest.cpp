// Forms encrypted by qpdf with each method of the standard security handler and an empty user
// password (made by the build): each reads as exactly the fields pypdf reads from it, with the values
// of the filled copy, the same page and fields as the unencrypted form, and draws as pdftoppm draws
// it. Forms that need a password or another handler are refused as protected.
#include "ReferencePage.h"
#include "tests/support/TempFolder.h"
#include "viewer/PdfDocument.h"
#include "viewer/PdfForm.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <cctype>
#include <sstream>

namespace {

struct PypdfField
{
    std::wstring name;
    std::string type; // Tx, Btn, Ch, Sig
    std::wstring value;
};

std::wstring FromUtf8(const std::string& text)
{
    if (text.empty()) return std::wstring();
    std::wstring out(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], static_cast<int>(out.size()));
    return out;
}

// The ".fields" file the build wrote with pypdf: name, type and value, tab-separated.
std::vector<PypdfField> ReadPypdfFields(const std::wstring& path)
{
    std::vector<PypdfField> fields;
    std::istringstream lines(ReadWholeFile(path));
    for (std::string line; std::getline(lines, line);) {
        size_t tab1 = line.find('\t'), tab2 = line.find('\t', tab1 + 1);
        if (tab1 == std::string::npos || tab2 == std::string::npos) continue;
        fields.push_back({FromUtf8(line.substr(0, tab1)), line.substr(tab1 + 1, tab2 - tab1 - 1), FromUtf8(line.substr(tab2 + 1))});
    }
    return fields;
}

std::string PdfType(pdf::FieldType type)
{
    switch (type) {
    case pdf::FieldType::Text: return "Tx";
    case pdf::FieldType::Choice: return "Ch";
    case pdf::FieldType::Signature: return "Sig";
    default: return "Btn";
    }
}

std::wstring Encrypted(const std::wstring& name)
{
    return std::wstring(FORMSTEAD_ENCRYPTED_FORMS_DIR) + name;
}

bool Read(const std::wstring& path, pdf::FormDocument& doc, std::string& error)
{
    std::string bytes = ReadWholeFile(path);
    EXPECT_FALSE(bytes.empty()) << "missing test form";
    return pdf::ReadPdfForm(bytes, doc, error);
}

pdf::FormDocument Read(const std::wstring& path)
{
    pdf::FormDocument doc;
    std::string error;
    EXPECT_TRUE(Read(path, doc, error)) << error;
    return doc;
}

struct Variant
{
    const wchar_t* form;
    const wchar_t* method;
};

std::wstring VariantFile(const Variant& v, const wchar_t* kind)
{
    return Encrypted(std::wstring(v.form) + L"-" + v.method + L"-" + kind);
}

std::wstring PlainFile(const Variant& v, const wchar_t* kind)
{
    return std::wstring(FORMSTEAD_FOREIGN_FORMS_DIR) + v.form + L"-" + kind + L".pdf";
}

// The fields read as pypdf reads them, in order, and as the unencrypted form reads them.
void ExpectFieldsOf(const pdf::FormDocument& doc, const std::vector<PypdfField>& pypdf, const pdf::FormDocument& plain)
{
    ASSERT_FALSE(pypdf.empty()) << "pypdf read no fields";
    ASSERT_EQ(pypdf.size(), doc.fields.size());
    ASSERT_EQ(plain.fields.size(), doc.fields.size());
    for (size_t i = 0; i < doc.fields.size(); ++i) {
        const pdf::FormField& field = doc.fields[i];
        EXPECT_EQ(pypdf[i].name, field.name);
        EXPECT_EQ(pypdf[i].type, PdfType(field.type)) << i;
        if (field.type == pdf::FieldType::Text) EXPECT_EQ(pypdf[i].value, field.value) << i;
        EXPECT_EQ(plain.fields[i].value, field.value) << i;
        EXPECT_EQ(plain.fields[i].type, field.type) << i;
        ASSERT_EQ(plain.fields[i].widgets.size(), field.widgets.size()) << i;
        for (size_t w = 0; w < field.widgets.size(); ++w) {
            for (int k = 0; k < 4; ++k) EXPECT_EQ(plain.fields[i].widgets[w].rect[k], field.widgets[w].rect[k]) << i;
            EXPECT_EQ(plain.fields[i].widgets[w].onState, field.widgets[w].onState) << i;
            EXPECT_EQ(plain.fields[i].widgets[w].exportValue, field.widgets[w].exportValue) << i;
        }
    }
}

class EncryptedForms : public ::testing::TestWithParam<Variant>
{
};

} // namespace

TEST_P(EncryptedForms, ReadAsTheFieldsPypdfReadsWithTheFilledValues)
{
    for (const wchar_t* kind : {L"blank", L"filled"}) {
        SCOPED_TRACE(kind);
        pdf::FormDocument doc = Read(VariantFile(GetParam(), kind) + L".pdf");
        ExpectFieldsOf(doc, ReadPypdfFields(VariantFile(GetParam(), kind) + L".fields"), Read(PlainFile(GetParam(), kind)));
    }
}

TEST_P(EncryptedForms, PageDecryptsToThePlainPageAndDrawsAsPdftoppmDrawsIt)
{
    pdf::FormDocument doc = Read(VariantFile(GetParam(), L"blank") + L".pdf");
    pdf::FormDocument plain = Read(PlainFile(GetParam(), L"blank"));
    ASSERT_EQ(plain.pageContents.size(), doc.pageContents.size());
    ASSERT_FALSE(plain.pageContents[0]->empty());
    EXPECT_EQ(*plain.pageContents[0], *doc.pageContents[0]);
    EXPECT_EQ(plain.title, doc.title);
    ExpectDrawnAsReference(doc, VariantFile(GetParam(), L"page") + L".pgm", VariantFile(GetParam(), L"words") + L".html");
}

INSTANTIATE_TEST_SUITE_P(
    Methods, EncryptedForms,
    ::testing::Values(Variant{L"referral", L"rc4-40"}, Variant{L"referral", L"rc4-128"}, Variant{L"referral", L"rc4-128-filters"},
                      Variant{L"referral", L"aes-128"}, Variant{L"referral", L"aes-256"}, Variant{L"referral", L"aes-256-classic"},
                      Variant{L"intake", L"rc4-40"}, Variant{L"intake", L"rc4-128"}, Variant{L"intake", L"rc4-128-filters"},
                      Variant{L"intake", L"aes-128"}, Variant{L"intake", L"aes-256"}, Variant{L"intake", L"aes-256-classic"}),
    [](const ::testing::TestParamInfo<Variant>& info) {
        std::string name;
        for (const wchar_t* p : {info.param.form, L"_", info.param.method})
            for (; *p; ++p) name += std::isalnum(*p) ? static_cast<char>(*p) : '_';
        return name;
    });

TEST(EncryptedForms, FormsNeedingAPasswordOrAnotherHandlerAreRefusedAsProtected)
{
    struct Refused
    {
        const wchar_t* file;
        const char* reason;
    };
    for (const Refused& r : {Refused{L"password-aes-256", "the form is protected by a password"},
                             Refused{L"password-rc4-128", "the form is protected by a password"},
                             Refused{L"other-handler", "the form is protected by a security handler this viewer does not have (PubSec)"}}) {
        pdf::FormDocument doc;
        std::string error;
        EXPECT_FALSE(Read(Encrypted(r.file) + L".pdf", doc, error)) << r.file;
        EXPECT_EQ(r.reason, error);
        EXPECT_TRUE(doc.fields.empty());
        // pypdf could not open it with the empty password either, so it wrote no fields.
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((Encrypted(r.file) + L".fields").c_str())) << r.file;
    }
}

TEST(EncryptedForms, MetadataReadsAsWrittenWhetherKeptInClearOrEncrypted)
{
    const std::string xmp = "<?xpacket begin=\"\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>"
                            "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><dc:title>Referral form</dc:title></x:xmpmeta>"
                            "<?xpacket end=\"w\"?>";
    pdf::FormDocument plain = Read(std::wstring(FORMSTEAD_FOREIGN_FORMS_DIR) + L"referral-blank.pdf");
    for (const wchar_t* file : {L"metadata-clear-aes-128", L"metadata-clear-aes-256", L"metadata-encrypted-rc4-128"}) {
        SCOPED_TRACE(file);
        std::string bytes = ReadWholeFile(Encrypted(file) + L".pdf");
        ASSERT_FALSE(bytes.empty());
        pdf::Document document(bytes);
        pdf::ObjectPtr metadata = document.Resolve(document.Catalog(), "Metadata");
        ASSERT_EQ(pdf::Kind::Stream, metadata->kind);
        EXPECT_EQ(xmp, document.DecodeStream(*metadata));
        // Whether the metadata is encrypted is part of the file key: the rest reads only when it is right.
        ExpectFieldsOf(Read(Encrypted(file) + L".pdf"), ReadPypdfFields(Encrypted(file) + L".fields"), plain);
    }
}

TEST(EncryptedForms, PdflatexFormsReadAsTheUnencryptedForms)
{
    for (const wchar_t* stem : {L"portrait", L"manyfields"}) {
        SCOPED_TRACE(stem);
        const std::wstring file = Encrypted(std::wstring(L"latex-") + stem + (stem[0] == L'p' ? L"-aes-256" : L"-rc4-40"));
        pdf::FormDocument doc = Read(file + L".pdf");
        pdf::FormDocument plain = Read(std::wstring(FORMSTEAD_LATEX_FORMS_DIR) + stem + L".pdf");
        ASSERT_EQ(plain.pageContents.size(), doc.pageContents.size());
        for (size_t page = 0; page < plain.pageContents.size(); ++page)
            ASSERT_EQ(*plain.pageContents[page], *doc.pageContents[page]) << "page " << page;
        // Every field pypdf reads is read under its name.
        std::vector<PypdfField> pypdf = ReadPypdfFields(file + L".fields");
        ASSERT_FALSE(pypdf.empty());
        for (const PypdfField& f : pypdf)
            EXPECT_TRUE(std::any_of(doc.fields.begin(), doc.fields.end(), [&](const pdf::FormField& mine) { return mine.name == f.name; }))
                << std::string(f.name.begin(), f.name.end());
        ASSERT_EQ(plain.fields.size(), doc.fields.size());
        for (size_t i = 0; i < doc.fields.size(); ++i) {
            EXPECT_EQ(plain.fields[i].name, doc.fields[i].name);
            EXPECT_EQ(plain.fields[i].value, doc.fields[i].value);
            EXPECT_EQ(plain.fields[i].widgets.size(), doc.fields[i].widgets.size());
        }
    }
}
