// The letterhead of a statement form: its values come as hidden fields ("TextLogo", "CompanyName",
// "Font", "Size", "ImageField1", "ImageLogoSize", "Imagez2LogoSize") over the head of the page, and
// are drawn there as the letterhead they describe, never as text of their own: the company name in
// its font and size, or the logo image at the size its two scales give.
#pragma once
#include "viewer/FormScript.h"
#include "viewer/PageRenderer.h"
#include <windows.h>
#include <string>
#include <vector>

namespace viewer {

class Letterhead
{
public:
    // Takes the letterhead values of the form (after it loads and whenever its values are set).
    void Update(const FormScript& script);
    bool Present() const { return m_present; }
    int Page() const { return m_page; }
    // The letterhead's box on its page, in page units (x1 y1 x2 y2).
    const double* Box() const { return m_box; }
    bool ShowsLogo() const { return m_present && !m_text && m_logoWidth > 0; }

    void Draw(HDC dc, int page, const PagePlacement& place) const;

    // The logo's share of the box's width: the second scale over the first (both 1 for a logo that
    // is relatively wider than the box, which then spans it).
    static double LogoWidthShare(const std::wstring& imageSize, const std::wstring& imagez2Size);

private:
    void DrawText(HDC dc, const RECT& box, double scale) const;
    void DrawLogo(HDC dc, const RECT& box) const;
    void DecodeLogo(const std::wstring& base64);

    bool m_present = false;
    int m_page = 0;
    double m_box[4] = {0, 0, 0, 0};
    bool m_text = false;          // a text letterhead (else a logo; neither when TextLogo is empty)
    std::wstring m_company, m_font;
    double m_points = 0;
    double m_widthShare = 1;
    std::wstring m_logoSource;    // the base64 text the pixels were decoded from
    std::vector<unsigned char> m_pixels; // 32-bit BGRA rows, top-down, over white
    int m_logoWidth = 0, m_logoHeight = 0;
};

// The bytes of a base64 text; line ends and blanks are skipped. Empty when the text is not base64.
std::string DecodeBase64(const std::wstring& text);

} // namespace viewer
