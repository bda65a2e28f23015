// The form of named text fields: one above the other, each name a UTF-16 PDF text string.
#include "tests/pages/NamedFieldsPdf.h"

#include <cstdio>

#include "tests/viewer/PdfTestFiles.h"

namespace {

// A PDF text string of UTF-16 text: "<FEFF" and the code units in hexadecimal.
std::string PdfTextString(const std::wstring& text)
{
    std::string out = "<FEFF";
    char unit[8];
    for (wchar_t c : text)
    {
        snprintf(unit, sizeof unit, "%04X", static_cast<unsigned>(c));
        out += unit;
    }
    return out + ">";
}

} // namespace

std::string FormWithFields(const std::vector<std::wstring>& names)
{
    std::vector<TestPdfObject> objects;
    std::string refs;
    for (size_t i = 0; i < names.size(); ++i)
    {
        const int number = 10 + static_cast<int>(i);
        const int top = 360 - 40 * static_cast<int>(i);
        objects.push_back({number, "<< /T " + PdfTextString(names[i]) +
                                       " /FT /Tx /Type /Annot /Subtype /Widget /P 3 0 R /Rect [100 " +
                                       std::to_string(top - 24) + " 300 " + std::to_string(top) + "] /F 4 >>"});
        refs += std::to_string(number) + " 0 R ";
    }
    objects.push_back({1, "<< /Type /Catalog /Pages 2 0 R /AcroForm << /Fields [" + refs +
                              "] /DA (/Helv 12 Tf 0 g) >> >>"});
    objects.push_back({2, "<< /Type /Pages /Kids [3 0 R] /Count 1 /MediaBox [0 0 400 400] >>"});
    objects.push_back({3, "<< /Type /Page /Parent 2 0 R /Contents 4 0 R /Annots [" + refs + "] >>"});
    objects.push_back({4, "<< /Length 0 >>\nstream\n\nendstream"});
    return MakeClassicPdf(objects, 1);
}
