// A small interpreter of page content streams (paths, colours and text) and the drawing of values.
#include "viewer/PageRenderer.h"
#include "viewer/PdfObject.h"
#include <cmath>
#include <map>
#include <vector>

namespace viewer {

namespace {
struct GraphicsState
{
    COLORREF stroke = RGB(0, 0, 0);
    COLORREF fill = RGB(0, 0, 0);
    double lineWidth = 1;
    double ctm[6] = {1, 0, 0, 1, 0, 0};
};

struct TextState
{
    double fontSize = 10;
    double tm[6] = {1, 0, 0, 1, 0, 0};
    double lineStart[6] = {1, 0, 0, 1, 0, 0};
    double leading = 0;
};

COLORREF Grey(double g) { int v = static_cast<int>(std::lround(g * 255)); return RGB(v, v, v); }
COLORREF Rgb(double r, double g, double b)
{
    return RGB(static_cast<int>(std::lround(r * 255)), static_cast<int>(std::lround(g * 255)), static_cast<int>(std::lround(b * 255)));
}
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

class ContentDrawer
{
public:
    ContentDrawer(HDC dc, const PagePlacement& place, bool blackWhite) : m_dc(dc), m_place(place), m_bw(blackWhite) {}
    ~ContentDrawer()
    {
        for (auto& entry : m_fonts) DeleteObject(entry.second);
    }
    ContentDrawer(const ContentDrawer&) = delete;
    ContentDrawer& operator=(const ContentDrawer&) = delete;

    void Run(const std::string& content)
    {
        pdf::Parser parser(content, 0);
        std::vector<pdf::ObjectPtr> operands;
        for (int guard = 0; guard < 1000000; ++guard) {
            parser.SkipWhitespace();
            if (parser.Position() >= content.size()) return;
            unsigned char c = content[parser.Position()];
            bool operandStart = c == '/' || c == '(' || c == '<' || c == '[' || c == '+' || c == '-' || c == '.' ||
                                (c >= '0' && c <= '9');
            try {
                if (operandStart) {
                    operands.push_back(parser.ReadObject());
                    continue;
                }
            } catch (const pdf::PdfError&) {
                return; // damaged drawing: keep what is drawn
            }
            std::string op = parser.PeekKeyword();
            if (op.empty()) {
                parser.SetPosition(parser.Position() + 1);
                operands.clear();
                continue;
            }
            parser.SetPosition(parser.Position() + op.size());
            Operator(op, operands);
            operands.clear();
        }
    }

private:
    double Num(const std::vector<pdf::ObjectPtr>& ops, size_t i) const
    {
        return i < ops.size() && ops[i]->kind == pdf::Kind::Number ? ops[i]->number : 0;
    }
    POINT Device(double x, double y) const
    {
        const double* m = m_state.ctm;
        double px = x * m[0] + y * m[2] + m[4], py = x * m[1] + y * m[3] + m[5];
        return POINT{static_cast<LONG>(std::lround(m_place.left + px * m_place.scale)),
                     static_cast<LONG>(std::lround(m_place.top + (m_place.pageHeight - py) * m_place.scale))};
    }
    COLORREF Colour(COLORREF c) const { return m_bw ? ToGrey(c) : c; }

    void StrokePath(bool fill, bool stroke)
    {
        if (m_path.empty()) return;
        int width = std::max(1, static_cast<int>(std::lround(m_state.lineWidth * m_place.scale)));
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

    void ShowText(const std::string& bytes)
    {
        double full[6];
        Multiply(m_text.tm, m_state.ctm, full);
        double size = m_text.fontSize * std::sqrt(full[2] * full[2] + full[3] * full[3]) * m_place.scale;
        if (size < 1) return;
        HGDIOBJ old = SelectObject(m_dc, Font(static_cast<int>(std::lround(size))));
        SetBkMode(m_dc, TRANSPARENT);
        SetTextColor(m_dc, Colour(m_state.fill));
        UINT align = SetTextAlign(m_dc, TA_BASELINE | TA_LEFT);
        std::wstring text;
        for (unsigned char c : bytes) text += static_cast<wchar_t>(c);
        int x = static_cast<int>(std::lround(m_place.left + full[4] * m_place.scale));
        int y = static_cast<int>(std::lround(m_place.top + (m_place.pageHeight - full[5]) * m_place.scale));
        TextOutW(m_dc, x, y, text.c_str(), static_cast<int>(text.size()));
        SIZE extent{};
        GetTextExtentPoint32W(m_dc, text.c_str(), static_cast<int>(text.size()), &extent);
        SetTextAlign(m_dc, align);
        SelectObject(m_dc, old);
        // Advance the text position by the drawn width, in text space.
        double advance = m_place.scale > 0 ? extent.cx / m_place.scale : 0;
        double scaleX = std::sqrt(full[0] * full[0] + full[1] * full[1]);
        if (scaleX > 0) m_text.tm[4] += advance / scaleX * m_text.tm[0];
    }

    void Operator(const std::string& op, const std::vector<pdf::ObjectPtr>& o)
    {
        if (op == "q") m_stack.push_back(m_state);
        else if (op == "Q") { if (!m_stack.empty()) { m_state = m_stack.back(); m_stack.pop_back(); } }
        else if (op == "cm") { double m[6] = {Num(o, 0), Num(o, 1), Num(o, 2), Num(o, 3), Num(o, 4), Num(o, 5)}; Multiply(m, m_state.ctm, m_state.ctm); }
        else if (op == "w") m_state.lineWidth = Num(o, 0);
        else if (op == "G") m_state.stroke = Grey(Num(o, 0));
        else if (op == "g") m_state.fill = Grey(Num(o, 0));
        else if (op == "RG") m_state.stroke = Rgb(Num(o, 0), Num(o, 1), Num(o, 2));
        else if (op == "rg") m_state.fill = Rgb(Num(o, 0), Num(o, 1), Num(o, 2));
        else if (op == "m") m_path.push_back({Device(Num(o, 0), Num(o, 1))});
        else if (op == "l") { if (m_path.empty()) m_path.push_back({}); m_path.back().push_back(Device(Num(o, 0), Num(o, 1))); }
        else if (op == "re") {
            double x = Num(o, 0), y = Num(o, 1), w = Num(o, 2), h = Num(o, 3);
            m_path.push_back({Device(x, y), Device(x + w, y), Device(x + w, y + h), Device(x, y + h), Device(x, y)});
        }
        else if (op == "h") { if (!m_path.empty() && !m_path.back().empty()) m_path.back().push_back(m_path.back().front()); }
        else if (op == "S" || op == "s") StrokePath(false, true);
        else if (op == "f" || op == "F" || op == "f*") StrokePath(true, false);
        else if (op == "B" || op == "b" || op == "B*" || op == "b*") StrokePath(true, true);
        else if (op == "n") m_path.clear();
        else if (op == "BT") { m_text = TextState{m_text.fontSize}; }
        else if (op == "Tf") m_text.fontSize = Num(o, 1);
        else if (op == "TL") m_text.leading = Num(o, 0);
        else if (op == "Td" || op == "TD") {
            if (op == "TD") m_text.leading = -Num(o, 1);
            double t[6] = {1, 0, 0, 1, Num(o, 0), Num(o, 1)};
            Multiply(t, m_text.lineStart, m_text.lineStart);
            std::copy(m_text.lineStart, m_text.lineStart + 6, m_text.tm);
        }
        else if (op == "Tm") {
            for (int i = 0; i < 6; ++i) m_text.lineStart[i] = Num(o, i);
            std::copy(m_text.lineStart, m_text.lineStart + 6, m_text.tm);
        }
        else if (op == "T*") NextLine();
        else if (op == "Tj" && !o.empty() && o[0]->kind == pdf::Kind::String) ShowText(o[0]->text);
        else if (op == "'" && !o.empty() && o[0]->kind == pdf::Kind::String) { NextLine(); ShowText(o[0]->text); }
        else if (op == "TJ" && !o.empty() && o[0]->kind == pdf::Kind::Array) {
            for (const pdf::ObjectPtr& item : o[0]->items) {
                if (item->kind == pdf::Kind::String) ShowText(item->text);
                else if (item->kind == pdf::Kind::Number) m_text.tm[4] -= item->number / 1000 * m_text.fontSize * m_text.tm[0];
            }
        }
    }

    void NextLine()
    {
        double t[6] = {1, 0, 0, 1, 0, -m_text.leading};
        Multiply(t, m_text.lineStart, m_text.lineStart);
        std::copy(m_text.lineStart, m_text.lineStart + 6, m_text.tm);
    }

    // One font per pixel height: a page uses only a few sizes many times.
    HFONT Font(int height)
    {
        HFONT& font = m_fonts[height];
        if (!font)
            font = CreateFontW(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, ANTIALIASED_QUALITY, 0, L"Arial");
        return font;
    }

    std::map<int, HFONT> m_fonts;
    HDC m_dc;
    const PagePlacement& m_place;
    bool m_bw;
    GraphicsState m_state;
    std::vector<GraphicsState> m_stack;
    TextState m_text;
    std::vector<std::vector<POINT>> m_path;
};
} // namespace

void DrawPageContent(HDC dc, const std::string& content, const PagePlacement& place, bool blackWhite)
{
    ContentDrawer(dc, place, blackWhite).Run(content);
}

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
            if (widget.page != page) continue;
            std::wstring text;
            bool box = field.type == pdf::FieldType::CheckBox || field.type == pdf::FieldType::Radio;
            if (box) text = script.IsChecked(f, w) ? L"X" : L"";
            else if (field.type != pdf::FieldType::PushButton && field.type != pdf::FieldType::Signature && w == 0)
                text = script.ShownValue(f);
            if (text.empty()) continue;
            double height = widget.rect[3] - widget.rect[1];
            double points = std::min(10.0, std::max(4.0, height * 0.75));
            HFONT font = CreateFontW(-static_cast<int>(std::lround(points * place.scale)), 0, 0, 0, box ? FW_BOLD : FW_NORMAL,
                                     FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, ANTIALIASED_QUALITY, 0, L"Arial");
            HGDIOBJ old = SelectObject(dc, font);
            double x = box ? widget.rect[0] + (widget.rect[2] - widget.rect[0] - points * 0.6) / 2 : widget.rect[0] + 2;
            double baseline = widget.rect[1] + (height - points) / 2 + points * 0.2;
            for (wchar_t& c : text)
                if (c == L'\r' || c == L'\n') c = L' ';
            TextOutW(dc, static_cast<int>(std::lround(place.left + x * place.scale)),
                     static_cast<int>(std::lround(place.top + (place.pageHeight - baseline) * place.scale)), text.c_str(),
                     static_cast<int>(text.size()));
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

void DrawWidgetFrames(HDC dc, const pdf::FormDocument& form, int page, const PagePlacement& place, bool blackWhite)
{
    for (const pdf::FormField& field : form.fields) {
        for (const pdf::Widget& widget : field.widgets) {
            if (widget.page != page) continue;
            RECT device = {static_cast<LONG>(std::lround(place.left + widget.rect[0] * place.scale)),
                           static_cast<LONG>(std::lround(place.top + (place.pageHeight - widget.rect[3]) * place.scale)),
                           static_cast<LONG>(std::lround(place.left + widget.rect[2] * place.scale)),
                           static_cast<LONG>(std::lround(place.top + (place.pageHeight - widget.rect[1]) * place.scale))};
            DrawWidgetFrame(dc, widget, device, place.scale, false, blackWhite);
        }
    }
}

} // namespace viewer
