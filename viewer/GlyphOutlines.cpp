// Glyph outlines as device polygons: straight lines as they are, curves as short straight pieces.
#include "viewer/GlyphOutlines.h"

namespace viewer {

namespace {
double Value(const FIXED& f) { return f.value + f.fract / 65536.0; }

// The figures of one glyph's outline (cubic curves), in the glyph's space, moved by x0.
std::vector<std::vector<POINT>> GlyphFigures(HDC dc, wchar_t character, double x0,
                                             const std::function<POINT(double, double)>& toDevice)
{
    std::vector<std::vector<POINT>> figures;
    GLYPHMETRICS metrics{};
    const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    DWORD size = GetGlyphOutlineW(dc, character, GGO_BEZIER, &metrics, 0, nullptr, &identity);
    if (size == GDI_ERROR || size == 0) return figures;
    std::vector<BYTE> buffer(size);
    if (GetGlyphOutlineW(dc, character, GGO_BEZIER, &metrics, size, buffer.data(), &identity) == GDI_ERROR) return figures;
    auto device = [&](const POINTFX& p) { return toDevice(x0 + Value(p.x), Value(p.y)); };
    const BYTE* at = buffer.data();
    const BYTE* end = at + size;
    while (at + sizeof(TTPOLYGONHEADER) <= end) {
        const auto* header = reinterpret_cast<const TTPOLYGONHEADER*>(at);
        const BYTE* figureEnd = at + header->cb;
        if (header->cb < sizeof(TTPOLYGONHEADER) || figureEnd > end) break;
        std::vector<POINT> figure = {device(header->pfxStart)};
        POINTFX last = header->pfxStart;
        const BYTE* curveAt = at + sizeof(TTPOLYGONHEADER);
        while (curveAt + sizeof(TTPOLYCURVE) - sizeof(POINTFX) <= figureEnd) {
            const auto* curve = reinterpret_cast<const TTPOLYCURVE*>(curveAt);
            const POINTFX* points = curve->apfx;
            if (reinterpret_cast<const BYTE*>(points + curve->cpfx) > figureEnd) break;
            if (curve->wType == TT_PRIM_CSPLINE) {
                for (int i = 0; i + 2 < curve->cpfx; i += 3) {
                    double x[4] = {Value(last.x), Value(points[i].x), Value(points[i + 1].x), Value(points[i + 2].x)};
                    double y[4] = {Value(last.y), Value(points[i].y), Value(points[i + 1].y), Value(points[i + 2].y)};
                    const int kPieces = 8;
                    for (int k = 1; k <= kPieces; ++k) {
                        double t = static_cast<double>(k) / kPieces, u = 1 - t;
                        double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
                        figure.push_back(toDevice(x0 + a * x[0] + b * x[1] + c * x[2] + d * x[3],
                                                  a * y[0] + b * y[1] + c * y[2] + d * y[3]));
                    }
                    last = points[i + 2];
                }
            } else {
                for (WORD i = 0; i < curve->cpfx; ++i) figure.push_back(device(points[i]));
                if (curve->cpfx) last = points[curve->cpfx - 1];
            }
            curveAt = reinterpret_cast<const BYTE*>(points + curve->cpfx);
        }
        figures.push_back(std::move(figure));
        at = figureEnd;
    }
    return figures;
}
} // namespace

std::vector<double> CharacterStarts(HDC dc, const std::wstring& text)
{
    std::vector<INT> ends(text.size());
    SIZE extent{};
    std::vector<double> starts(text.size() + 1, 0);
    if (!GetTextExtentExPointW(dc, text.c_str(), static_cast<int>(text.size()), 0, nullptr, ends.data(), &extent))
        return starts;
    for (size_t i = 0; i < text.size(); ++i) starts[i + 1] = ends[i];
    return starts;
}

void FillGlyphOutlines(HDC dc, const std::wstring& text, const std::vector<double>& starts, COLORREF colour,
                       const std::function<POINT(double x, double y)>& toDevice)
{
    HBRUSH brush = CreateSolidBrush(colour);
    if (!brush) return;
    HGDIOBJ oldBrush = SelectObject(dc, brush), oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    int oldMode = SetPolyFillMode(dc, WINDING);
    auto restore = [&] {
        SetPolyFillMode(dc, oldMode);
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        DeleteObject(brush);
    };
    try {
        for (size_t i = 0; i < text.size() && i < starts.size(); ++i) {
            std::vector<POINT> points;
            std::vector<INT> counts;
            for (const auto& figure : GlyphFigures(dc, text[i], starts[i], toDevice)) {
                if (figure.size() < 3) continue;
                points.insert(points.end(), figure.begin(), figure.end());
                counts.push_back(static_cast<INT>(figure.size()));
            }
            if (!counts.empty()) PolyPolygon(dc, points.data(), counts.data(), static_cast<int>(counts.size()));
        }
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

} // namespace viewer
