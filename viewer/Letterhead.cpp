// Draws a statement's letterhead from its hidden fields: text through GDI, the logo decoded by GDI+.
#include "viewer/Letterhead.h"
#include <objidl.h>
#include <gdiplus.h>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <cwchar>

namespace viewer {

namespace {
const wchar_t* const kLetterheadFields[] = {L"TextLogo", L"CompanyName", L"Font", L"Size",
                                            L"ImageField1", L"ImageLogoSize", L"Imagez2LogoSize"};

int Base64Value(wchar_t c)
{
    if (c >= L'A' && c <= L'Z') return c - L'A';
    if (c >= L'a' && c <= L'z') return c - L'a' + 26;
    if (c >= L'0' && c <= L'9') return c - L'0' + 52;
    if (c == L'+') return 62;
    if (c == L'/') return 63;
    return -1;
}

// A positive number, or 0 when the text is none.
double PositiveNumber(const std::wstring& text)
{
    wchar_t* end = nullptr;
    double value = std::wcstod(text.c_str(), &end);
    while (end && *end == L' ') ++end;
    return !text.empty() && end && *end == 0 && value > 0 && std::isfinite(value) ? value : 0;
}

const std::wstring& ValueOf(const FormScript& script, const wchar_t* name)
{
    static const std::wstring none;
    int field = script.FieldIndex(name);
    return field < 0 ? none : script.Value(static_cast<size_t>(field));
}
} // namespace

std::string DecodeBase64(const std::wstring& text)
{
    std::string bytes;
    unsigned bits = 0;
    int count = 0, padding = 0;
    for (wchar_t c : text) {
        if (c == L'\r' || c == L'\n' || c == L' ' || c == L'\t') continue;
        if (c == L'=') {
            ++padding;
            continue;
        }
        int value = Base64Value(c);
        if (value < 0 || padding) return std::string();
        bits = (bits << 6) | static_cast<unsigned>(value);
        if (++count == 4) {
            bytes += static_cast<char>(bits >> 16);
            bytes += static_cast<char>(bits >> 8);
            bytes += static_cast<char>(bits);
            bits = 0;
            count = 0;
        }
    }
    if (count == 1 || padding > 2) return std::string();
    if (count == 2) bytes += static_cast<char>(bits >> 4);
    if (count == 3) {
        bytes += static_cast<char>(bits >> 10);
        bytes += static_cast<char>(bits >> 2);
    }
    return bytes;
}

double Letterhead::LogoWidthShare(const std::wstring& imageSize, const std::wstring& imagez2Size)
{
    const double first = PositiveNumber(imageSize), second = PositiveNumber(imagez2Size);
    if (first <= 0 || second <= 0) return 1;
    return std::min(1.0, second / first);
}

void Letterhead::Update(const FormScript& script)
{
    m_present = false;
    const pdf::FormDocument& form = script.Form();
    // The letterhead's place is where its hidden fields lie; a form without all of them has none.
    for (const wchar_t* name : kLetterheadFields) {
        int field = script.FieldIndex(name);
        if (field < 0 || form.fields[field].widgets.empty()) return;
    }
    const pdf::Widget& place = form.fields[script.FieldIndex(L"CompanyName")].widgets[0];
    m_page = place.page;
    std::copy(place.rect, place.rect + 4, m_box);
    const std::wstring& kind = ValueOf(script, L"TextLogo");
    if (kind != L"0" && kind != L"1") return; // no letterhead was sent
    m_present = true;
    m_text = kind == L"1";
    m_company = ValueOf(script, L"CompanyName");
    m_font = ValueOf(script, L"Font");
    m_points = PositiveNumber(ValueOf(script, L"Size"));
    m_widthShare = LogoWidthShare(ValueOf(script, L"ImageLogoSize"), ValueOf(script, L"Imagez2LogoSize"));
    if (!m_text) DecodeLogo(ValueOf(script, L"ImageField1"));
}

void Letterhead::DecodeLogo(const std::wstring& base64)
{
    if (base64 == m_logoSource) return;
    m_logoSource = base64;
    m_pixels.clear();
    m_logoWidth = m_logoHeight = 0;
    const std::string bytes = DecodeBase64(base64);
    if (bytes.empty()) return;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!memory) return;
    void* data = GlobalLock(memory);
    if (!data) {
        GlobalFree(memory);
        return;
    }
    std::memcpy(data, bytes.data(), bytes.size());
    GlobalUnlock(memory);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        GlobalFree(memory);
        return;
    }
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok) {
        {
            Gdiplus::Bitmap image(stream, FALSE);
            const UINT width = image.GetWidth(), height = image.GetHeight();
            Gdiplus::Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
            Gdiplus::BitmapData locked;
            if (image.GetLastStatus() == Gdiplus::Ok && width > 0 && height > 0 && width <= 8000 && height <= 8000 &&
                image.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &locked) == Gdiplus::Ok) {
                m_pixels.resize(static_cast<size_t>(width) * height * 4);
                for (UINT y = 0; y < height; ++y) {
                    const unsigned char* row = static_cast<const unsigned char*>(locked.Scan0) + static_cast<ptrdiff_t>(y) * locked.Stride;
                    unsigned char* out = &m_pixels[static_cast<size_t>(y) * width * 4];
                    for (UINT x = 0; x < width * 4; x += 4) {
                        // Over the white paper: transparent parts of an image stay white.
                        const unsigned alpha = row[x + 3];
                        for (int c = 0; c < 3; ++c) out[x + c] = static_cast<unsigned char>((row[x + c] * alpha + 255 * (255 - alpha)) / 255);
                        out[x + 3] = 0;
                    }
                }
                image.UnlockBits(&locked);
                m_logoWidth = static_cast<int>(width);
                m_logoHeight = static_cast<int>(height);
            }
        }
        Gdiplus::GdiplusShutdown(token);
    }
    stream->Release();
}

void Letterhead::Draw(HDC dc, int page, const PagePlacement& place) const
{
    if (!m_present || page != m_page) return;
    const RECT box = place.ToDevice(m_box);
    if (box.right <= box.left || box.bottom <= box.top) return;
    if (m_text) DrawText(dc, box, place.scale);
    else DrawLogo(dc, box);
}

void Letterhead::DrawText(HDC dc, const RECT& box, double scale) const
{
    if (m_company.empty()) return;
    const double points = m_points > 0 ? m_points : 16;
    const std::wstring face = NearestInstalledFace(m_font.empty() ? std::wstring(L"Arial") : m_font);
    const int width = box.right - box.left, height = box.bottom - box.top;
    int pixels = std::max(1, static_cast<int>(std::lround(points * scale)));
    HFONT font = nullptr;
    SIZE extent = {0, 0};
    // At its size; a name too long or too tall for the box is made smaller until it fits.
    for (int tries = 0; tries < 8; ++tries) {
        if (font) DeleteObject(font);
        font = CreateFontW(-pixels, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, ANTIALIASED_QUALITY, 0,
                           face.c_str());
        if (!font) return;
        HGDIOBJ old = SelectObject(dc, font);
        GetTextExtentPoint32W(dc, m_company.c_str(), static_cast<int>(m_company.size()), &extent);
        SelectObject(dc, old);
        if ((extent.cx <= width && extent.cy <= height) || pixels <= 1) break;
        const double shrink = std::min(static_cast<double>(width) / std::max(1L, extent.cx),
                                       static_cast<double>(height) / std::max(1L, extent.cy));
        pixels = std::max(1, static_cast<int>(pixels * std::min(0.98, shrink)));
    }
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    UINT align = SetTextAlign(dc, TA_TOP | TA_LEFT);
    TextOutW(dc, box.left, box.top + (height - extent.cy) / 2, m_company.c_str(), static_cast<int>(m_company.size()));
    SetTextAlign(dc, align);
    SelectObject(dc, old);
    DeleteObject(font);
}

void Letterhead::DrawLogo(HDC dc, const RECT& box) const
{
    if (m_logoWidth <= 0 || m_logoHeight <= 0) return;
    const double boxWidth = box.right - box.left, boxHeight = box.bottom - box.top;
    double width = boxWidth * m_widthShare;
    double height = width * m_logoHeight / m_logoWidth;
    if (height > boxHeight) { // scales that do not belong to this image: it fits the box
        width *= boxHeight / height;
        height = boxHeight;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = m_logoWidth;
    info.bmiHeader.biHeight = -m_logoHeight; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    int mode = SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchDIBits(dc, box.left, box.top + static_cast<int>(std::lround((boxHeight - height) / 2)),
                  std::max(1, static_cast<int>(std::lround(width))), std::max(1, static_cast<int>(std::lround(height))), 0, 0,
                  m_logoWidth, m_logoHeight, m_pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    SetStretchBltMode(dc, mode);
}

} // namespace viewer
