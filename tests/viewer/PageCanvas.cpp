// The drawing tests' page bitmap: a 32-bit DIB section read back without the screen.
#include "PageCanvas.h"
#include "tests/support/TempFolder.h"
#include <algorithm>
#include <regex>

PageCanvas::PageCanvas(int width, int height) : m_dib(width, height)
{
    m_dib.Fill(RGB(255, 255, 255));
}

std::vector<unsigned char> PageCanvas::Grey() const
{
    const DWORD* bits = m_dib.Bits();
    std::vector<unsigned char> grey;
    grey.reserve(static_cast<size_t>(Width()) * Height());
    for (int i = 0; i < Width() * Height(); ++i)
        grey.push_back(static_cast<unsigned char>(((bits[i] >> 16 & 0xFF) + (bits[i] >> 8 & 0xFF) + (bits[i] & 0xFF)) / 3));
    return grey;
}

int DarkIn(const std::vector<unsigned char>& grey, int width, const PixelBox& box)
{
    int height = width > 0 ? static_cast<int>(grey.size() / width) : 0;
    int count = 0;
    for (int y = std::max(0, box.top); y < std::min(height, box.bottom); ++y)
        for (int x = std::max(0, box.left); x < std::min(width, box.right); ++x) count += grey[y * width + x] < 160;
    return count;
}

GreyPage ReadPgm(const std::wstring& path)
{
    GreyPage page;
    std::string bytes = ReadWholeFile(path);
    std::smatch header;
    if (!std::regex_search(bytes, header, std::regex("^P5\\s+(\\d+)\\s+(\\d+)\\s+255\\s"))) return page;
    page.width = std::stoi(header[1]);
    page.height = std::stoi(header[2]);
    page.pixels.assign(bytes.begin() + header.length(0), bytes.end());
    if (page.pixels.size() != static_cast<size_t>(page.width) * page.height) page = GreyPage();
    return page;
}
