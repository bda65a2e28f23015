// A small interpreter of page content streams (paths, colours and text) and the drawing of values.
#include "viewer/PageRenderer.h"
#include "viewer/DrawingBudget.h"
#include "viewer/GlyphOutlines.h"
#include "viewer/PdfObject.h"
#include "viewer/TextFontCache.h"
#include "framework/Seams.h"
#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

namespace viewer {

namespace {
// The text parameters belong to the graphics state: they outlive a text object and come back with Q.
struct TextParams
{
    std::string font;          // resource name of the font
    double size = 10;
    double leading = 0;
    double charSpacing = 0;
    double wordSpacing = 0;
    double horizontalScale = 1;
    double rise = 0;
    int render = 0;            // 3 and 7 draw nothing
};

struct GraphicsState
{
    COLORREF stroke = RGB(0, 0, 0);
    COLORREF fill = RGB(0, 0, 0);
    double lineWidth = 1;
    double ctm[6] = {1, 0, 0, 1, 0, 0};
    TextParams text;
};

COLORREF Grey(double g) { int v = static_cast<int>(std::lround(std::max(0.0, std::min(1.0, g)) * 255)); return RGB(v, v, v); }
COLORREF Rgb(double r, double g, double b)
{
    auto c = [](double v) { return static_cast<int>(std::lround(std::max(0.0, std::min(1.0, v)) * 255)); };
    return RGB(c(r), c(g), c(b));
}
COLORREF Cmyk(double c, double m, double y, double k) { return Rgb((1 - c) * (1 - k), (1 - m) * (1 - k), (1 - y) * (1 - k)); }
COLORREF ToGrey(COLORREF c)
{
    int v = (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) / 100;
    return v > 200 ? RGB(255, 255, 255) : RGB(0, 0, 0);
}

void Multiply(const double a[6], const double b[6], double out[6])
{
    double r[6] = {a[0] * b[0] + a[1] * b[2], a[0] * b[1] + a[1] * b[3], a[2] * b[0] + a[3] * b[2],
                   a[2] * b[1] + a[3] * b[3], a[4] * b[0] + a[5] * b[2] + b[4], a[4] * b[1] + a[5] * b[3] + b[5]};
    for (int i = 0; i < 6; ++i) out[i] = r[i];
}

// m = translate(tx, ty) x m
void Translate(double m[6], double tx, double ty)
{
    double t[6] = {1, 0, 0, 1, tx, ty};
    Multiply(t, m, m);
}

int CALLBACK NoteFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

// The face to ask GDI for: the named one where it is installed, else the first installed font made
// to the same measures (a machine without the Windows fonts has their metric twins).
std::wstring InstalledFace(const std::wstring& face)
{
    static std::map<std::wstring, std::wstring> chosen;
    auto known = chosen.find(face);
    if (known != chosen.end()) return known->second;
    std::vector<std::wstring> candidates = {face};
    if (face == L"Arial") candidates = {face, L"Liberation Sans", L"Arimo", L"DejaVu Sans"};
    else if (face == L"Times New Roman") candidates = {face, L"Liberation Serif", L"Tinos", L"DejaVu Serif"};
    else if (face == L"Courier New") candidates = {face, L"Liberation Mono", L"Cousine", L"DejaVu Sans Mono"};
    std::wstring result = face;
    HDC dc = CreateCompatibleDC(nullptr);
    for (const std::wstring& candidate : candidates) {
        LOGFONTW wanted = {};
        wanted.lfCharSet = DEFAULT_CHARSET;
        lstrcpynW(wanted.lfFaceName, candidate.c_str(), LF_FACESIZE);
        bool found = false;
        EnumFontFamiliesExW(dc, &wanted, NoteFamily, reinterpret_cast<LPARAM>(&found), 0);
        if (found) {
            result = candidate;
            break;
        }
    }
    DeleteDC(dc);
    return chosen[face] = result;
}

// A point of the turned page's space on the device.
POINT ShownToDevice(const PagePlacement& place, double x, double y)
{
    return POINT{static_cast<LONG>(std::lround(place.left + x * place.scale)),
                 static_cast<LONG>(std::lround(place.top + (place.pageHeight - y) * place.scale))};
}

const pdf::PageFonts& NoFonts()
{
    static const pdf::PageFonts none;
    return none;
}

// The operands read for the next operator, held against the page's budget: past kMaxOperands the
// oldest go (an operator takes those just before it).
class Operands
{
public:
    explicit Operands(DrawingBudget& budget) : m_budget(budget) {}
    ~Operands() { Clear(); }
    Operands(const Operands&) = delete;
    Operands& operator=(const Operands&) = delete;

    const std::vector<pdf::ObjectPtr>& List() const { return m_list; }
    // An operand of that weight (itself and the objects inside it), or false when the budget
    // refuses it.
    bool Push(pdf::ObjectPtr operand, size_t weight)
    {
        if (m_list.size() >= kMaxOperands) {
            m_budget.OperandsDropped();
            m_budget.Release(m_weights.front());
            m_list.erase(m_list.begin());
            m_weights.erase(m_weights.begin());
        }
        if (!m_budget.HoldOperand(weight)) return false;
        m_list.push_back(std::move(operand));
        m_weights.push_back(weight);
        return true;
    }
    void Clear()
    {
        for (size_t weight : m_weights) m_budget.Release(weight);
        m_list.clear();
        m_weights.clear();
    }

private:
    DrawingBudget& m_budget;
    std::vector<pdf::ObjectPtr> m_list;
    std::vector<size_t> m_weights;
};

// The number of operands an operator takes; 0 where it varies (colours) or none are used.
size_t Arity(const std::string& op)
{
    static const std::map<std::string, size_t> arities = {
        {"cm", 6}, {"w", 1}, {"G", 1}, {"g", 1}, {"RG", 3}, {"rg", 3}, {"K", 4}, {"k", 4}, {"m", 2}, {"l", 2},
        {"c", 6}, {"v", 4}, {"y", 4}, {"re", 4}, {"Tf", 2}, {"TL", 1}, {"Tc", 1}, {"Tw", 1}, {"Tz", 1}, {"Ts", 1},
        {"Tr", 1}, {"Td", 2}, {"TD", 2}, {"Tm", 6}, {"Tj", 1}, {"'", 1}, {"\"", 3}, {"TJ", 1}};
    auto it = arities.find(op);
    return it == arities.end() ? 0 : it->second;
}

// The span of the array or dictionary that starts at pos: its end and the objects it holds
// (itself and nested ones), counted without building them. Counting stops past limit.
struct Collection
{
    size_t end = 0;
    size_t objects = 0;
};
Collection ScanCollection(const std::string& content, size_t pos, size_t limit)
{
    pdf::Parser scan(content, pos);
    Collection found;
    int depth = 0;
    do {
        scan.SkipWhitespace();
        size_t at = scan.Position();
        if (at >= content.size()) break;
        bool pair = at + 1 < content.size() && content[at + 1] == content[at];
        if (content[at] == '[' || (content[at] == '<' && pair)) {
            ++depth;
            scan.SetPosition(at + (content[at] == '[' ? 1 : 2));
        } else if (content[at] == ']' || (content[at] == '>' && pair)) {
            --depth;
            scan.SetPosition(at + (content[at] == ']' ? 1 : 2));
            continue;
        } else {
            scan.ReadObject(); // a number, name or string (damage throws, as reading it would)
        }
        ++found.objects;
    } while (depth > 0 && found.objects <= limit);
    found.end = scan.Position();
    return found;
}

class ContentDrawer
{
public:
    ContentDrawer(HDC dc, const PagePlacement& place, bool blackWhite, const pdf::PageFonts& fonts,
                  DrawingBudget& budget, const pdf::FormXObjects* forms = nullptr)
        : m_dc(dc), m_place(place), m_bw(blackWhite), m_pageFonts(&fonts), m_forms(forms), m_budget(budget),
          m_fontCache(dc)
    {
        TurnMatrix(place.rotation, m_state.ctm); // the page's own drawing starts turned as shown
    }
    ContentDrawer(const ContentDrawer&) = delete;
    ContentDrawer& operator=(const ContentDrawer&) = delete;

    // Draws the content as far as it goes: whatever fails on the way (an allocation included)
    // ends the drawing with a line in the trace and the device as it was before.
    void Draw(const std::string& content)
    {
        int saved = SaveDC(m_dc);
        try {
            Run(content);
        } catch (const std::exception& e) {
            m_budget.Failed(e.what());
        } catch (...) {
            m_budget.Failed(nullptr);
        }
        RestoreDC(m_dc, saved);
    }

private:
    // Runs the content's operators one at a time as they come, until its end, damage, or the end of
    // the page's budget: memory grows with the nesting of forms and saved states, not with the
    // length of the content.
    void Run(const std::string& content)
    {
        pdf::Parser parser(content, 0);
        Operands operands(m_budget);
        size_t charged = 0; // the bytes read up to here are paid for
        while (!m_stopped) {
            parser.SkipWhitespace();
            // Long tokens (strings, inline images, blanks) cost by their bytes as well.
            size_t unpaid = parser.Position() - charged;
            if (unpaid >= kBytesPerWorkUnit) {
                if (!Spend(unpaid / kBytesPerWorkUnit)) return;
                charged = parser.Position() - unpaid % kBytesPerWorkUnit;
            }
            if (parser.Position() >= content.size()) return;
            unsigned char c = content[parser.Position()];
            bool operandStart = c == '/' || c == '(' || c == '<' || c == '[' || c == '+' || c == '-' || c == '.' ||
                                (c >= '0' && c <= '9');
            try {
                if (operandStart) {
                    ReadOperand(content, parser, operands);
                    continue;
                }
            } catch (const pdf::PdfError&) {
                return; // damaged drawing: keep what is drawn
            }
            std::string op = parser.PeekKeyword();
            if (!Spend(1)) return;
            if (op.empty()) {
                parser.SetPosition(parser.Position() + 1);
                operands.Clear();
                continue;
            }
            parser.SetPosition(parser.Position() + op.size());
            if (DrawingProbesForTest().beforeOperator) DrawingProbesForTest().beforeOperator(m_budget.Operators());
            m_budget.CountOperator();
            if (op == "BI") {
                SkipInlineImage(content, parser);
            } else if (op == "Do") {
                // The form's name alone is kept while it draws.
                const std::vector<pdf::ObjectPtr>& o = operands.List();
                std::string name = !o.empty() && o.back()->kind == pdf::Kind::Name ? o.back()->text : std::string();
                operands.Clear();
                if (!name.empty()) DrawForm(name);
            } else {
                // Operands before those the operator takes are left over from damage: its own are the last.
                const std::vector<pdf::ObjectPtr>& all = operands.List();
                size_t arity = Arity(op);
                if (arity && all.size() > arity) Operator(op, std::vector<pdf::ObjectPtr>(all.end() - arity, all.end()));
                else Operator(op, all);
            }
            operands.Clear();
        }
    }

    // An operand, counted by the objects it holds: one that the page's budget cannot hold is read
    // past and dropped.
    void ReadOperand(const std::string& content, pdf::Parser& parser, Operands& operands)
    {
        size_t at = parser.Position();
        size_t weight = 1;
        if (content[at] == '[' || content.compare(at, 2, "<<") == 0) {
            Collection collection = ScanCollection(content, at, kDrawingWorkBudget);
            if (!Spend(collection.objects)) return;
            if (!m_budget.HoldOperand(collection.objects)) {
                parser.SetPosition(collection.end);
                return;
            }
            m_budget.Release(collection.objects);
            weight = collection.objects;
        } else if (!Spend(1)) {
            return;
        }
        operands.Push(parser.ReadObject(), weight);
    }

    // False once the page's work budget is spent: the drawing stops there.
    bool Spend(size_t units)
    {
        if (!m_stopped && !m_budget.Spend(units)) m_stopped = true;
        return !m_stopped;
    }

    // An inline image's data is binary: it ends at "EI" standing alone after "ID".
    static void SkipInlineImage(const std::string& content, pdf::Parser& parser)
    {
        size_t id = content.find("ID", parser.Position());
        size_t at = id == std::string::npos ? id : id + 2;
        while (at != std::string::npos) {
            at = content.find("EI", at);
            if (at == std::string::npos) break;
            bool before = at > 0 && pdf::IsPdfWhitespace(content[at - 1]);
            bool after = at + 2 >= content.size() || pdf::IsPdfWhitespace(content[at + 2]);
            if (before && after) break;
            at += 2;
        }
        parser.SetPosition(at == std::string::npos ? content.size() : at + 2);
    }

    double Num(const std::vector<pdf::ObjectPtr>& ops, size_t i) const
    {
        return i < ops.size() && ops[i]->kind == pdf::Kind::Number ? ops[i]->number : 0;
    }
    POINT Device(double x, double y) const
    {
        const double* m = m_state.ctm;
        double px = x * m[0] + y * m[2] + m[4], py = x * m[1] + y * m[3] + m[5];
        return ShownToDevice(m_place, px, py);
    }
    COLORREF Colour(COLORREF c) const { return m_bw ? ToGrey(c) : c; }
    // A colour from its operands: one grey, three RGB or four CMYK components.
    COLORREF ColourOf(const std::vector<pdf::ObjectPtr>& o, COLORREF unchanged) const
    {
        size_t n = 0;
        while (n < o.size() && o[n]->kind == pdf::Kind::Number) ++n;
        if (n == 1) return Grey(Num(o, 0));
        if (n == 3) return Rgb(Num(o, 0), Num(o, 1), Num(o, 2));
        if (n == 4) return Cmyk(Num(o, 0), Num(o, 1), Num(o, 2), Num(o, 3));
        return unchanged;
    }

    // The work units of painting within that device box (a fill's points, a glyph's em square):
    // the pixels of it the clip lets through.
    size_t PaintUnits(double left, double top, double right, double bottom) const
    {
        RECT clip;
        if (GetClipBox(m_dc, &clip) == ERROR) return 1;
        double width = std::min(right, static_cast<double>(clip.right)) - std::max(left, static_cast<double>(clip.left));
        double height = std::min(bottom, static_cast<double>(clip.bottom)) - std::max(top, static_cast<double>(clip.top));
        if (!(width > 0 && height > 0)) return 1;
        return 1 + static_cast<size_t>(width * height / kPixelsPerWorkUnit);
    }

    // ... of a glyph of that pixel height: its em square, or the clip where that is smaller.
    size_t GlyphUnits(double pixels) const
    {
        RECT clip;
        if (GetClipBox(m_dc, &clip) == ERROR) return 1;
        double shown = static_cast<double>(clip.right - clip.left) * (clip.bottom - clip.top);
        return 1 + static_cast<size_t>(std::min(pixels * pixels, shown) / kPixelsPerWorkUnit);
    }

    void StrokePath(bool fill, bool stroke)
    {
        if (m_path.empty()) return;
        // The width is in user space: scaled as the current matrix scales areas (a page turn keeps it).
        // A pen wider than any device is as wide as one.
        const double* m = m_state.ctm;
        double userScale = std::sqrt(std::fabs(m[0] * m[3] - m[1] * m[2]));
        double pixels = std::fabs(m_state.lineWidth * userScale * m_place.scale);
        int width = std::max(1, static_cast<int>(std::lround(std::isfinite(pixels) ? std::min(pixels, 30000.0) : 1.0)));
        double left = 1e9, top = 1e9, right = -1e9, bottom = -1e9;
        for (const auto& figure : m_path)
            for (const POINT& point : figure) {
                left = std::min(left, static_cast<double>(point.x));
                right = std::max(right, static_cast<double>(point.x));
                top = std::min(top, static_cast<double>(point.y));
                bottom = std::max(bottom, static_cast<double>(point.y));
            }
        double reach = stroke ? width / 2.0 + 1 : 1;
        if (!Spend(PaintUnits(left - reach, top - reach, right + reach, bottom + reach))) {
            m_path.clear();
            return;
        }
        HPEN pen = stroke ? CreatePen(PS_SOLID, width, Colour(m_state.stroke)) : static_cast<HPEN>(GetStockObject(NULL_PEN));
        HBRUSH brush = fill ? CreateSolidBrush(Colour(m_state.fill)) : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
        HGDIOBJ oldPen = SelectObject(m_dc, pen), oldBrush = SelectObject(m_dc, brush);
        for (const auto& figure : m_path) {
            if (figure.size() < 2) continue;
            if (fill) Polygon(m_dc, figure.data(), static_cast<int>(figure.size()));
            else Polyline(m_dc, figure.data(), static_cast<int>(figure.size()));
        }
        SelectObject(m_dc, oldPen);
        SelectObject(m_dc, oldBrush);
        if (stroke) DeleteObject(pen);
        if (fill) DeleteObject(brush);
        m_path.clear();
    }

    void LineTo(double x, double y)
    {
        if (m_path.empty()) m_path.push_back({Device(m_current[0], m_current[1])});
        m_path.back().push_back(Device(x, y));
        m_current[0] = x;
        m_current[1] = y;
    }

    // A cubic curve as short straight pieces.
    void CurveTo(double x1, double y1, double x2, double y2, double x3, double y3)
    {
        double x0 = m_current[0], y0 = m_current[1];
        const int kPieces = 12;
        for (int i = 1; i <= kPieces; ++i) {
            double t = static_cast<double>(i) / kPieces, u = 1 - t;
            double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
            LineTo(a * x0 + b * x1 + c * x2 + d * x3, a * y0 + b * y1 + c * y2 + d * y3);
        }
    }

    const pdf::PageFont& CurrentFont() const
    {
        static const pdf::PageFont standard;
        auto it = m_pageFonts->find(m_state.text.font);
        return it == m_pageFonts->end() ? standard : it->second;
    }

    // Shows a string at the text position and moves the position past it: by the drawn width of
    // the glyphs, plus the character spacing after each and the word spacing after each blank,
    // all scaled horizontally.
    void ShowText(const std::string& codes)
    {
        if (!Spend(codes.size())) return; // each code shown counts as an operator of its own
        const TextParams& p = m_state.text;
        const pdf::PageFont& font = CurrentFont();
        if (font.codes) {
            ShowGlyphs(font.codes->Decode(codes), font);
            return;
        }
        std::wstring text = pdf::SimpleFontText(codes, font);
        bool spaced = p.charSpacing != 0 || p.wordSpacing != 0 || p.horizontalScale != 1;
        if (!spaced) {
            Translate(m_tm, DrawRun(text, font) * p.horizontalScale, 0);
            return;
        }
        for (size_t i = 0; i < text.size(); ++i) {
            double advance = DrawRun(text.substr(i, 1), font) + p.charSpacing;
            if (codes[i] == ' ') advance += p.wordSpacing;
            Translate(m_tm, advance * p.horizontalScale, 0);
        }
    }

    // Draws the text at the text position; returns its width in unscaled text space.
    double DrawRun(const std::wstring& text, const pdf::PageFont& font)
    {
        return DrawPlaced(text, nullptr, font);
    }

    // Shows glyphs whose text and advance the font gives: each character starts where the glyph
    // widths (or, where the font gives none, the drawn widths) place it; a ligature's letters share
    // its width. The text position moves past them all.
    void ShowGlyphs(const std::vector<pdf::ShownGlyph>& glyphs, const pdf::PageFont& font)
    {
        const TextParams& p = m_state.text;
        std::wstring text;
        std::vector<double> starts; // text space, from the text position
        double x = 0;
        for (const pdf::ShownGlyph& glyph : glyphs) {
            double width = glyph.advance >= 0 ? glyph.advance * p.size : Measure(glyph.text, font);
            for (size_t i = 0; i < glyph.text.size(); ++i) {
                text += glyph.text[i];
                starts.push_back(x + width * p.horizontalScale * i / glyph.text.size());
            }
            x += (width + p.charSpacing + (glyph.wordSpace ? p.wordSpacing : 0)) * p.horizontalScale;
        }
        starts.push_back(x);
        DrawPlaced(text, &starts, font);
        Translate(m_tm, x, 0);
    }

    // The width of the text in the current font, in unscaled text space.
    double Measure(const std::wstring& text, const pdf::PageFont& font)
    {
        int saved = m_state.text.render;
        m_state.text.render = 3; // measured, not drawn
        double width = DrawPlaced(text, nullptr, font);
        m_state.text.render = saved;
        return width;
    }

    // Draws the text at the text position, each character at its start (text space, one more
    // entry than characters) where starts are given; returns the drawn width in unscaled text space.
    double DrawPlaced(const std::wstring& text, const std::vector<double>* starts, const pdf::PageFont& font)
    {
        const TextParams& p = m_state.text;
        double rendering[6] = {1, 0, 0, 1, 0, p.rise}, full[6];
        Multiply(rendering, m_tm, full);
        Multiply(full, m_state.ctm, full);
        double vertical = std::sqrt(full[2] * full[2] + full[3] * full[3]);
        double pixels = std::fabs(p.size) * vertical * m_place.scale;
        if (!(pixels >= 1) || !std::isfinite(pixels) || text.empty()) return 0;
        bool drawn = p.render != 3 && p.render != 7;
        double units = static_cast<double>(text.size()) * GlyphUnits(pixels);
        if (drawn && !Spend(units > kDrawingWorkBudget ? kDrawingWorkBudget + 1 : static_cast<size_t>(units))) return 0;
        // Taller text is measured in a font at the cap and drawn from its outlines scaled up.
        bool outlined = pixels > kMaxTextPixels;
        double capped = std::min(pixels, static_cast<double>(kMaxTextPixels));
        int angle = outlined ? 0 : static_cast<int>(std::lround(std::atan2(full[1], full[0]) * 1800 / 3.14159265358979));
        HGDIOBJ old = SelectObject(m_dc, m_fontCache.Font(InstalledFace(font.face), static_cast<int>(std::lround(capped)),
                                                          angle, font));
        SIZE extent{};
        GetTextExtentPoint32W(m_dc, text.c_str(), static_cast<int>(text.size()), &extent);
        COLORREF colour = Colour(p.render == 1 || p.render == 5 ? m_state.stroke : m_state.fill);
        if (outlined && drawn) {
            // Text space is size / capped per pixel of the capped font.
            double unit = std::fabs(p.size) / capped;
            std::vector<double> at = CharacterStarts(m_dc, text);
            for (size_t i = 0; i < at.size(); ++i) at[i] = starts ? (*starts)[i] / unit : at[i];
            FillGlyphOutlines(m_dc, text, at, colour, [&](double x, double y) {
                x *= unit;
                y *= unit;
                return ShownToDevice(m_place, full[0] * x + full[2] * y + full[4], full[1] * x + full[3] * y + full[5]);
            });
        } else if (drawn) {
            SetBkMode(m_dc, TRANSPARENT);
            SetTextColor(m_dc, colour);
            UINT align = SetTextAlign(m_dc, TA_BASELINE | TA_LEFT);
            double first = starts ? starts->front() : 0; // where the first character starts
            POINT at = ShownToDevice(m_place, full[4] + first * full[0], full[5] + first * full[1]);
            if (starts) {
                // Distances along the baseline in device units, rounded from the running total.
                double along = std::sqrt(full[0] * full[0] + full[1] * full[1]) * m_place.scale;
                std::vector<INT> dx(text.size());
                for (size_t i = 0; i < text.size(); ++i)
                    dx[i] = static_cast<INT>(std::lround((*starts)[i + 1] * along) - std::lround((*starts)[i] * along));
                ExtTextOutW(m_dc, at.x, at.y, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), dx.data());
            } else {
                TextOutW(m_dc, at.x, at.y, text.c_str(), static_cast<int>(text.size()));
            }
            SetTextAlign(m_dc, align);
        }
        SelectObject(m_dc, old);
        return extent.cx * (pixels / capped) / (vertical * m_place.scale) * (p.size < 0 ? -1 : 1);
    }

    // Draws a form XObject: its content in a state of its own, through its matrix, clipped to its
    // box, with its own resources where it has them. A depth limit keeps a form that draws itself
    // from running on; the page's work budget bounds forms drawn many times.
    void DrawForm(const std::string& name)
    {
        if (!m_forms) return;
        auto it = m_forms->find(name);
        if (it == m_forms->end() || !it->second) return;
        if (m_formDepth >= kMaxDrawnFormDepth) {
            m_budget.FormTooDeep();
            return;
        }
        std::shared_ptr<const pdf::FormXObject> form = it->second;

        GraphicsState state = m_state;
        std::vector<GraphicsState> stack;
        stack.swap(m_stack);
        size_t refusedSaves = m_refusedSaves;
        m_refusedSaves = 0;
        std::vector<std::vector<POINT>> path;
        path.swap(m_path);
        double tm[6], tlm[6], current[2] = {m_current[0], m_current[1]};
        std::copy(m_tm, m_tm + 6, tm);
        std::copy(m_tlm, m_tlm + 6, tlm);
        const pdf::PageFonts* fonts = m_pageFonts;
        const pdf::FormXObjects* forms = m_forms;

        Multiply(form->matrix, m_state.ctm, m_state.ctm);
        int saved = SaveDC(m_dc);
        ClipTo(form->bbox);
        if (form->resources) {
            m_pageFonts = &form->resources->fonts;
            m_forms = &form->resources->forms;
        }
        ++m_formDepth;
        Run(form->content);
        --m_formDepth;
        RestoreDC(m_dc, saved);

        m_budget.Release(m_stack.size()); // the states the form saved and did not restore
        m_refusedSaves = refusedSaves;
        m_state = state;
        m_stack.swap(stack);
        m_path.swap(path);
        std::copy(tm, tm + 6, m_tm);
        std::copy(tlm, tlm + 6, m_tlm);
        m_current[0] = current[0];
        m_current[1] = current[1];
        m_pageFonts = fonts;
        m_forms = forms;
    }

    // Narrows the clip to a rectangle of user space (any parallelogram on the device).
    void ClipTo(const double box[4])
    {
        POINT corners[4] = {Device(box[0], box[1]), Device(box[2], box[1]), Device(box[2], box[3]), Device(box[0], box[3])};
        LPtoDP(m_dc, corners, 4);
        HRGN region = CreatePolygonRgn(corners, 4, WINDING);
        if (!region) return;
        HRGN existing = CreateRectRgn(0, 0, 0, 0);
        bool clipped = existing && GetClipRgn(m_dc, existing) == 1;
        ExtSelectClipRgn(m_dc, region, clipped ? RGN_AND : RGN_COPY);
        if (existing) DeleteObject(existing);
        DeleteObject(region);
    }

    // A save the budget refuses leaves the state as it is; its Q then restores nothing.
    void Save()
    {
        if (!m_budget.HoldSave()) {
            ++m_refusedSaves;
            return;
        }
        m_stack.push_back(m_state);
    }
    void Restore()
    {
        if (m_refusedSaves > 0) {
            --m_refusedSaves;
        } else if (!m_stack.empty()) {
            m_state = m_stack.back();
            m_stack.pop_back();
            m_budget.Release(1);
        }
    }

    void NextLine(double tx, double ty)
    {
        Translate(m_tlm, tx, ty);
        std::copy(m_tlm, m_tlm + 6, m_tm);
    }

    void Operator(const std::string& op, const std::vector<pdf::ObjectPtr>& o)
    {
        TextParams& text = m_state.text;
        if (op == "q") Save();
        else if (op == "Q") Restore();
        else if (op == "cm") { double m[6] = {Num(o, 0), Num(o, 1), Num(o, 2), Num(o, 3), Num(o, 4), Num(o, 5)}; Multiply(m, m_state.ctm, m_state.ctm); }
        else if (op == "w") m_state.lineWidth = Num(o, 0);
        else if (op == "G" || op == "RG" || op == "K" || op == "SC" || op == "SCN") m_state.stroke = ColourOf(o, m_state.stroke);
        else if (op == "g" || op == "rg" || op == "k" || op == "sc" || op == "scn") m_state.fill = ColourOf(o, m_state.fill);
        else if (op == "CS") m_state.stroke = RGB(0, 0, 0);
        else if (op == "cs") m_state.fill = RGB(0, 0, 0);
        else if (op == "m") {
            m_current[0] = Num(o, 0);
            m_current[1] = Num(o, 1);
            m_path.push_back({Device(m_current[0], m_current[1])});
        }
        else if (op == "l") LineTo(Num(o, 0), Num(o, 1));
        else if (op == "c") CurveTo(Num(o, 0), Num(o, 1), Num(o, 2), Num(o, 3), Num(o, 4), Num(o, 5));
        else if (op == "v") CurveTo(m_current[0], m_current[1], Num(o, 0), Num(o, 1), Num(o, 2), Num(o, 3));
        else if (op == "y") CurveTo(Num(o, 0), Num(o, 1), Num(o, 2), Num(o, 3), Num(o, 2), Num(o, 3));
        else if (op == "re") {
            double x = Num(o, 0), y = Num(o, 1), w = Num(o, 2), h = Num(o, 3);
            m_path.push_back({Device(x, y), Device(x + w, y), Device(x + w, y + h), Device(x, y + h), Device(x, y)});
            m_current[0] = x;
            m_current[1] = y;
        }
        else if (op == "h") { if (!m_path.empty() && !m_path.back().empty()) m_path.back().push_back(m_path.back().front()); }
        else if (op == "S" || op == "s") StrokePath(false, true);
        else if (op == "f" || op == "F" || op == "f*") StrokePath(true, false);
        else if (op == "B" || op == "b" || op == "B*" || op == "b*") StrokePath(true, true);
        else if (op == "n") m_path.clear();
        // Text objects: each starts at the origin; the text parameters stay as they were.
        else if (op == "BT") {
            const double identity[6] = {1, 0, 0, 1, 0, 0};
            std::copy(identity, identity + 6, m_tm);
            std::copy(identity, identity + 6, m_tlm);
        }
        else if (op == "Tf") {
            if (!o.empty() && o[0]->kind == pdf::Kind::Name) text.font = o[0]->text;
            text.size = Num(o, 1);
        }
        else if (op == "TL") text.leading = Num(o, 0);
        else if (op == "Tc") text.charSpacing = Num(o, 0);
        else if (op == "Tw") text.wordSpacing = Num(o, 0);
        else if (op == "Tz") text.horizontalScale = Num(o, 0) / 100;
        else if (op == "Ts") text.rise = Num(o, 0);
        else if (op == "Tr") text.render = static_cast<int>(Num(o, 0));
        else if (op == "Td") NextLine(Num(o, 0), Num(o, 1));
        else if (op == "TD") { text.leading = -Num(o, 1); NextLine(Num(o, 0), Num(o, 1)); }
        else if (op == "Tm") {
            for (int i = 0; i < 6; ++i) m_tlm[i] = Num(o, i);
            std::copy(m_tlm, m_tlm + 6, m_tm);
        }
        else if (op == "T*") NextLine(0, -text.leading);
        else if (op == "Tj" && !o.empty() && o[0]->kind == pdf::Kind::String) ShowText(o[0]->text);
        else if (op == "'" && !o.empty() && o[0]->kind == pdf::Kind::String) { NextLine(0, -text.leading); ShowText(o[0]->text); }
        else if (op == "\"" && o.size() >= 3 && o[2]->kind == pdf::Kind::String) {
            text.wordSpacing = Num(o, 0);
            text.charSpacing = Num(o, 1);
            NextLine(0, -text.leading);
            ShowText(o[2]->text);
        }
        else if (op == "TJ" && !o.empty() && o[0]->kind == pdf::Kind::Array) {
            for (const pdf::ObjectPtr& item : o[0]->items) {
                if (item->kind == pdf::Kind::String) ShowText(item->text);
                else if (item->kind == pdf::Kind::Number) Translate(m_tm, -item->number / 1000 * text.size * text.horizontalScale, 0);
            }
        }
    }

    HDC m_dc;
    const PagePlacement& m_place;
    bool m_bw;
    const pdf::PageFonts* m_pageFonts;  // the resources of the content being run
    const pdf::FormXObjects* m_forms;
    DrawingBudget& m_budget;
    TextFontCache m_fontCache;
    bool m_stopped = false;               // the budget is spent: nothing more is drawn
    int m_formDepth = 0;
    GraphicsState m_state;
    std::vector<GraphicsState> m_stack;   // held against the budget, one unit a state
    size_t m_refusedSaves = 0;            // saves refused by the budget and not yet restored
    double m_tm[6] = {1, 0, 0, 1, 0, 0};   // text matrix
    double m_tlm[6] = {1, 0, 0, 1, 0, 0};  // ... at the start of the line
    double m_current[2] = {0, 0};          // current point of the path, in user space
    std::vector<std::vector<POINT>> m_path;
};
} // namespace

std::wstring NearestInstalledFace(const std::wstring& face)
{
    return InstalledFace(face);
}

void TurnMatrix(int rotation, double matrix[6])
{
    const double turns[4][6] = {{1, 0, 0, 1, 0, 0}, {0, -1, 1, 0, 0, 0}, {-1, 0, 0, -1, 0, 0}, {0, 1, -1, 0, 0, 0}};
    const double* turn = turns[((rotation / 90) % 4 + 4) % 4];
    std::copy(turn, turn + 6, matrix);
}

POINT PagePlacement::ToDevice(double x, double y) const
{
    double m[6];
    TurnMatrix(rotation, m);
    return ShownToDevice(*this, x * m[0] + y * m[2], x * m[1] + y * m[3]);
}

RECT PagePlacement::ToDevice(const double rect[4]) const
{
    POINT a = ToDevice(rect[0], rect[1]), b = ToDevice(rect[2], rect[3]);
    return RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

PagePlacement PlacePage(const pdf::PageInfo& page, double scale, double left, double top)
{
    // The page box turned: its corners' least x and greatest y are the shown left and top edges.
    PagePlacement place;
    place.scale = scale;
    place.rotation = page.rotation;
    double m[6];
    TurnMatrix(page.rotation, m);
    double minX = 0, maxY = 0;
    for (int corner = 0; corner < 4; ++corner) {
        double x = page.box[corner & 1 ? 2 : 0], y = page.box[corner & 2 ? 3 : 1];
        double tx = x * m[0] + y * m[2], ty = x * m[1] + y * m[3];
        minX = corner ? std::min(minX, tx) : tx;
        maxY = corner ? std::max(maxY, ty) : ty;
    }
    place.left = left - minX * scale;
    place.top = top;
    place.pageHeight = maxY;
    return place;
}

void DrawPageContent(HDC dc, const std::string& content, const PagePlacement& place, bool blackWhite)
{
    DrawPageContent(dc, content, NoFonts(), place, blackWhite);
}

void DrawPageContent(HDC dc, const std::string& content, const pdf::PageFonts& fonts, const PagePlacement& place,
                     bool blackWhite)
{
    DrawingBudget budget(0, nullptr);
    ContentDrawer(dc, place, blackWhite, fonts, budget).Draw(content);
}

void DrawFormPage(HDC dc, const pdf::FormDocument& form, size_t page, const PagePlacement& place, bool blackWhite)
{
    if (page >= form.pageContents.size() || !form.pageContents[page]) return;
    // Nothing of the page is drawn outside the part a reader shows (its crop box).
    int saved = SaveDC(dc);
    if (page < form.pages.size()) {
        RECT shown = place.ToDevice(form.pages[page].box);
        IntersectClipRect(dc, shown.left, shown.top, shown.right, shown.bottom);
    }
    DrawingBudget budget(page + 1, form.title.empty() ? L"the form" : form.title.c_str());
    ContentDrawer(dc, place, blackWhite, page < form.pageFonts.size() ? form.pageFonts[page] : NoFonts(), budget,
                  page < form.pageForms.size() ? &form.pageForms[page] : nullptr)
        .Draw(*form.pageContents[page]);
    RestoreDC(dc, saved);
}

namespace {

// How many characters from the text's start fit within width device units in the selected font.
int CharactersWithin(HDC dc, const std::wstring& text, int width)
{
    if (width <= 0) return 0;
    int fit = 0;
    SIZE extent = {};
    if (!GetTextExtentExPointW(dc, text.c_str(), static_cast<int>(text.size()), width, &fit, nullptr, &extent))
        return 0;
    return std::min(fit, static_cast<int>(text.size()));
}

} // namespace

void DrawFieldValues(HDC dc, const FormScript& script, int page, const PagePlacement& place)
{
    const pdf::FormDocument& form = script.Form();
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    UINT align = SetTextAlign(dc, TA_BASELINE | TA_LEFT);
    for (size_t f = 0; f < form.fields.size(); ++f) {
        const pdf::FormField& field = form.fields[f];
        for (size_t w = 0; w < field.widgets.size(); ++w) {
            const pdf::Widget& widget = field.widgets[w];
            if (widget.page != page || !script.IsPrinted(f, w)) continue;
            std::wstring text;
            bool box = field.type == pdf::FieldType::CheckBox || field.type == pdf::FieldType::Radio;
            if (box) text = script.IsChecked(f, w) ? L"X" : L"";
            else if (field.type != pdf::FieldType::PushButton && field.type != pdf::FieldType::Signature)
                text = script.ShownValue(f); // in every widget of the field
            if (text.empty()) continue;
            // Measured in points on the box as shown, so that the text stands upright on a turned page.
            RECT device = place.ToDevice(widget.rect);
            double width = (device.right - device.left) / place.scale, height = (device.bottom - device.top) / place.scale;
            // The field's own text size where it gives one (within its box), else one to suit the box.
            double points = widget.fontSize > 0 && !box ? std::max(4.0, std::min(widget.fontSize, height * 0.85))
                                                        : std::min(10.0, std::max(4.0, height * 0.75));
            HFONT font = CreateFontW(-static_cast<int>(std::lround(points * place.scale)), 0, 0, 0, box ? FW_BOLD : FW_NORMAL,
                                     FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, ANTIALIASED_QUALITY, 0, L"Arial");
            HGDIOBJ old = SelectObject(dc, font);
            double x = box ? (width - points * 0.6) / 2 : 2;
            double baseline = (height - points) / 2 + points * 0.2; // above the box's bottom edge
            for (wchar_t& c : text)
                if (c == L'\r' || c == L'\n') c = L' ';
            const int left = static_cast<int>(std::lround(device.left + x * place.scale));
            const int kept = CharactersWithin(dc, text, device.right - left);
            if (kept < static_cast<int>(text.size()))
                AfxTraceLine((L"printed value cut to its field's box: " + field.name).c_str());
            // The value stays inside its field, as the screen shows it: the whole characters that fit its
            // width, and nothing above or below the box.
            ExtTextOutW(dc, left, static_cast<int>(std::lround(device.bottom - baseline * place.scale)), ETO_CLIPPED,
                        &device, text.c_str(), static_cast<UINT>(kept), nullptr);
            SelectObject(dc, old);
            DeleteObject(font);
        }
    }
    SetTextAlign(dc, align);
}

COLORREF ToColorRef(const pdf::WidgetColour& colour)
{
    return Rgb(colour.rgb[0], colour.rgb[1], colour.rgb[2]);
}

bool WidgetFill(const pdf::Widget& widget, bool highlight, COLORREF& colour)
{
    if (widget.background.present) {
        colour = ToColorRef(widget.background);
        return true;
    }
    if (highlight && BorderPixels(widget, 1) == 0) {
        colour = kFieldHighlight;
        return true;
    }
    return false;
}

int BorderPixels(const pdf::Widget& widget, double scale)
{
    if (!widget.border.present || widget.borderWidth <= 0) return 0;
    return std::max(1, static_cast<int>(std::lround(widget.borderWidth * scale)));
}

void DrawWidgetFrame(HDC dc, const pdf::Widget& widget, const RECT& device, double scale, bool highlight, bool blackWhite)
{
    COLORREF fill;
    if (WidgetFill(widget, highlight, fill)) {
        HBRUSH brush = CreateSolidBrush(blackWhite ? ToGrey(fill) : fill);
        if (brush) {
            FillRect(dc, &device, brush);
            DeleteObject(brush);
        }
    }
    int width = BorderPixels(widget, scale);
    if (!width) return;
    COLORREF colour = ToColorRef(widget.border);
    HBRUSH brush = CreateSolidBrush(blackWhite ? ToGrey(colour) : colour);
    if (!brush) return;
    // Four strips inside the rectangle: the border never reaches past the widget.
    const RECT strips[4] = {{device.left, device.top, device.right, device.top + width},
                            {device.left, device.bottom - width, device.right, device.bottom},
                            {device.left, device.top, device.left + width, device.bottom},
                            {device.right - width, device.top, device.right, device.bottom}};
    for (const RECT& strip : strips) FillRect(dc, &strip, brush);
    DeleteObject(brush);
}

void DrawWidgetFrames(HDC dc, const FormScript& script, int page, const PagePlacement& place, bool blackWhite)
{
    const pdf::FormDocument& form = script.Form();
    for (size_t f = 0; f < form.fields.size(); ++f) {
        for (size_t w = 0; w < form.fields[f].widgets.size(); ++w) {
            const pdf::Widget& widget = form.fields[f].widgets[w];
            if (widget.page == page && script.IsPrinted(f, w))
                DrawWidgetFrame(dc, widget, place.ToDevice(widget.rect), place.scale, false, blackWhite);
        }
    }
}

} // namespace viewer
