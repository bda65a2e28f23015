// The drawing benchmark (not a test): how long pages built to reach the drawing budget take to draw
// on a 32-bit bitmap at 150%, with the line the trace gets, and the operators of each page of the
// PDF files named on the command line (the sample claim form, say).
//   wine drawing_bench.exe [file.pdf ...]
#include "framework/Seams.h"
#include "tests/viewer/PdfTestFiles.h"
#include "tests/viewer/RepeatedText.h"
#include "viewer/DrawingBudget.h"
#include "viewer/PageRenderer.h"
#include "viewer/PdfForm.h"
#include <windows.h>
#include <psapi.h>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

namespace {

const double kScale = 1.5;

std::string Stream(const std::string& dict, const std::string& data)
{
    return "<< " + dict + " /Length " + std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream";
}

// A letter-size page whose content names form X, which names form Y.
pdf::FormDocument NestedForms(const std::string& page, const std::string& x, const std::string& y)
{
    std::string bytes = MakeClassicPdf(
        {{1, "<< /Type /Catalog /Pages 2 0 R >>"},
         {2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>"},
         {3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R /Resources << /XObject << /X 5 0 R >> >> >>"},
         {4, Stream("", page)},
         {5, Stream("/Subtype /Form /BBox [0 0 612 792] /Resources << /XObject << /Y 6 0 R >> >>", x)},
         {6, Stream("/Subtype /Form /BBox [0 0 612 792]", y)}},
        1);
    pdf::FormDocument doc;
    std::string error;
    if (!pdf::ReadPdfForm(bytes, doc, error)) printf("not read: %s\n", error.c_str());
    return doc;
}

// Draws on a white 32-bit bitmap of a letter page at 150%; prints the time, the growth of the peak
// working set and the last trace line.
void Time(const char* name, const std::function<void(HDC, const viewer::PagePlacement&)>& draw)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(612 * kScale);
    info.bmiHeader.biHeight = -static_cast<LONG>(792 * kScale);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    PatBlt(dc, 0, 0, info.bmiHeader.biWidth, -info.bmiHeader.biHeight, WHITENESS);
    viewer::PagePlacement place;
    place.scale = kScale;
    std::wstring last;
    AfxSetTraceSink([&](const wchar_t* line) { last = line; });
    PROCESS_MEMORY_COUNTERS before{}, after{};
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
    LARGE_INTEGER start, end, frequency;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    draw(dc, place);
    QueryPerformanceCounter(&end);
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
    AfxSetTraceSink(nullptr);
    printf("%-30s %6.2f s  peak +%3u MB  %ls\n", name, double(end.QuadPart - start.QuadPart) / frequency.QuadPart,
           static_cast<unsigned>((after.PeakWorkingSetSize - before.PeakWorkingSetSize) >> 20), last.c_str());
    fflush(stdout);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

void TimeContent(const char* name, const std::string& content)
{
    pdf::PageFonts fonts;
    fonts["F1"] = pdf::NearestSystemFont("Helvetica", 0);
    Time(name, [&](HDC dc, const viewer::PagePlacement& place) { viewer::DrawPageContent(dc, content, fonts, place, false); });
}

void TimeForm(const char* name, const pdf::FormDocument& doc, size_t page)
{
    Time(name, [&](HDC dc, const viewer::PagePlacement& place) { viewer::DrawFormPage(dc, doc, page, place, false); });
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        pdf::FormDocument doc;
        std::string error;
        if (!pdf::ReadPdfForm(bytes.str(), doc, error)) {
            printf("%s: %s\n", argv[i], error.c_str());
            continue;
        }
        for (size_t p = 0; p < doc.pageContents.size(); ++p) {
            size_t operators = 0;
            viewer::DrawingProbesForTest().beforeOperator = [&](size_t run) { operators = run + 1; };
            std::string name = "page " + std::to_string(p + 1);
            TimeForm(name.c_str(), doc, p);
            printf("  %s of %s: %u operators\n", name.c_str(), argv[i], static_cast<unsigned>(operators));
        }
        viewer::DrawingProbesForTest() = viewer::DrawingProbes();
    }
    if (argc > 1) return 0;

    const size_t budget = viewer::kDrawingWorkBudget;
    TimeForm("1 MB form drawn 2,000 times", NestedForms(Repeated("/X Do ", 2000), Repeated("0 0 m 1 1 l n ", 1000000 / 14), ""), 0);
    TimeForm("two forms of 150,000 q each",
             NestedForms("/X Do", Repeated("q ", 150000) + "/Y Do", Repeated("q ", 150000) + "0 0 10 10 re f"), 0);
    TimeForm("1 MB string drawn 2,000 times",
             NestedForms(Repeated("/X Do ", 2000), "(" + Repeated("A", 1000000) + ") pop", ""), 0);
    TimeForm("1 MB image drawn 2,000 times",
             NestedForms(Repeated("/X Do ", 2000), "BI /W 1 /H 1 ID " + Repeated("A", 1000000) + " EI", ""), 0);
    TimeContent("path operators", Repeated("0 0 m 1 1 l n ", budget / 7 + 10));
    TimeContent("whole-page fills", Repeated("0 0 612 792 re f ", budget / 6 + 10));
    TimeContent("wide page strokes", "60 w " + Repeated("0 0 m 612 792 l S ", budget / 8 + 10));
    TimeContent("curves filled", Repeated("0 0 m 0 800 612 800 612 0 c 0 800 612 800 0 0 c f ", budget / 20 + 10));
    TimeContent("text at 1,300 points", "BT /F1 1300 Tf -100 0 Td " + Repeated("(HW) Tj ", budget / 4 + 10) + "ET");
    TimeContent("text at 9,000 points", "BT /F1 9000 Tf -3000 -3000 Td " + Repeated("(HW) Tj ", budget / 4 + 10) + "ET");
    TimeContent("text turned, two sizes",
                "BT " + Repeated("/F1 700 Tf 0.7 0.7 -0.7 0.7 300 300 Tm (HW) Tj /F1 701 Tf (W) Tj ", budget / 14 + 10) + "ET");
    TimeContent("operands, no operator", Repeated("1 ", budget + 10));
    TimeContent("arrays of 1,000", Repeated("[" + Repeated("1 ", 1000) + "] pop ", budget / 1000 + 10));
    return 0;
}
