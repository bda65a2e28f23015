// Letterhead settings in the profile, the logo file, and the logo's scales read with GDI+.
#include "export/HeaderSettings.h"

#include "export/Base64Encoder.h"
#include "framework/App.h"
#include "framework/Seams.h"

#include <windows.h>
#include <gdiplus.h>
#include <cstdio>
#include <vector>

namespace {
const wchar_t kSection[] = L"HeaderInfo";

CString Profile(const wchar_t* entry, const wchar_t* fallback)
{
    CWinApp* app = AfxGetApp();
    return app ? app->GetProfileString(kSection, entry, fallback) : CString(fallback);
}

bool WriteProfile(const wchar_t* entry, const CString& value)
{
    CWinApp* app = AfxGetApp();
    return app && app->WriteProfileString(kSection, entry, value);
}

CString FormatScale(double scale)
{
    wchar_t text[64];
    swprintf(text, 64, L"%f", scale);
    return text;
}

// Width and height of an image file as GDI+ reads it; 0 x 0 when it is not an image.
void ImageDimensions(const CString& path, int& width, int& height)
{
    width = height = 0;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
        return;
    {
        Gdiplus::Image image(path.GetString());
        if (image.GetLastStatus() == Gdiplus::Ok) {
            width = static_cast<int>(image.GetWidth());
            height = static_cast<int>(image.GetHeight());
        }
    }
    Gdiplus::GdiplusShutdown(token);
}

bool MakeFolder(const CString& folder)
{
    if (::CreateDirectoryW(folder, nullptr)) return true;
    const DWORD attributes = ::GetFileAttributesW(folder);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
} // namespace

void LogoScales(int width, int height, double& imageSize, double& imagez2Size)
{
    double scale = 1.0;
    if (height / 148.0 > width / 646.0) scale = height / 148.0;
    imageSize = scale;
    if (scale != 1.0) scale = width / 646.0;
    imagez2Size = scale;
}

bool EncodeFileBase64(const CString& path, std::string& base64)
{
    HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::vector<unsigned char> bytes;
    LARGE_INTEGER size;
    bool ok = ::GetFileSizeEx(file, &size) && size.QuadPart < 0x7FFFFFFF;
    if (ok) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        ok = bytes.empty() || (::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                               read == bytes.size());
    }
    ::CloseHandle(file);
    if (!ok) return false;
    std::vector<char> text(Base64Encoder::EncodedLength(bytes.size()));
    Base64Encoder::Encode(bytes.data(), bytes.size(), text.data());
    base64.assign(text.data());
    return true;
}

bool WriteUtf16File(const CString& path, const CString& text)
{
    HANDLE file = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const DWORD bytes = static_cast<DWORD>(text.GetLength() * sizeof(wchar_t));
    DWORD written = 0;
    bool ok = bytes == 0 || (::WriteFile(file, text.GetString(), bytes, &written, nullptr) && written == bytes);
    ok = ::SetEndOfFile(file) && ok;
    return ::CloseHandle(file) && ok;
}

CString ReadUtf16File(const CString& path)
{
    HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return CString();
    LARGE_INTEGER size;
    std::wstring text;
    if (::GetFileSizeEx(file, &size) && size.QuadPart < 0x7FFFFFFF) {
        text.resize(static_cast<size_t>(size.QuadPart) / sizeof(wchar_t));
        DWORD read = 0;
        if (!text.empty() &&
            !(::ReadFile(file, &text[0], static_cast<DWORD>(text.size() * sizeof(wchar_t)), &read, nullptr) &&
              read == text.size() * sizeof(wchar_t)))
            text.clear();
    }
    ::CloseHandle(file);
    return CString(text.c_str());
}

void HeaderSettings::Load()
{
    m_bLogo = Profile(L"HeaderType", L"0") != L"0";
    m_strText = Profile(L"HeaderText", L"Company Name Here");
    m_strFontName = Profile(L"HeaderFName", L"Arial");
    m_strSize = Profile(L"HeaderFSize", L"16");
    Profile(L"HeaderImgBlob", L""); // read and not used
}

void HeaderSettings::SaveText(const CString& text, const CString& fontSize, const CString& fontName)
{
    WriteProfile(L"HeaderText", text);
    WriteProfile(L"HeaderFName", fontName);
    WriteProfile(L"HeaderFSize", fontSize);
    m_strText = text;
    m_strSize = fontSize;
    m_strFontName = fontName;
    m_bLogo = false;
}

void HeaderSettings::SetHeaderType(bool textHeader)
{
    WriteProfile(L"HeaderType", textHeader ? L"0" : L"1");
}

bool HeaderSettings::IsTextHeader() const
{
    return _wtoi(Profile(L"HeaderType", L"0")) == 0;
}

bool HeaderSettings::StoreImage(const CString& path, CString* error)
{
    std::string base64;
    if (!EncodeFileBase64(path, base64)) {
        if (error) *error = L"The image file cannot be read: " + path;
        return false;
    }
    CString logoPath;
    if (!GetLogoFilePath(logoPath) || !WriteUtf16File(logoPath, CString(base64.c_str()))) {
        if (error) *error = L"The logo could not be stored in " + logoPath;
        return false;
    }
    int width = 0, height = 0;
    ImageDimensions(path, width, height);
    double imageSize = 1.0, imagez2Size = 1.0;
    LogoScales(width, height, imageSize, imagez2Size);
    WriteProfile(L"ImagePath", path);
    WriteProfile(L"ImageSize", FormatScale(imageSize));
    WriteProfile(L"Imagez2Size", FormatScale(imagez2Size));
    return true;
}

CString HeaderSettings::GetImagePath() const
{
    return Profile(L"ImagePath", L"");
}

CString HeaderSettings::GetImageSize() const
{
    return Profile(L"ImageSize", L"1");
}

CString HeaderSettings::GetImagez2Size() const
{
    return Profile(L"Imagez2Size", L"1");
}

bool HeaderSettings::LogoFilePathUnder(const CString& appDataFolder, const CString& programBaseName, CString& path)
{
    CString folder = appDataFolder;
    for (const CString& level : {CString(L"Formstead"), CString(L"0x03"), programBaseName}) {
        folder += L"\\" + level;
        if (!MakeFolder(folder)) return false;
    }
    path = folder + L"\\header64.ttt";
    return true;
}

bool HeaderSettings::GetLogoFilePath(CString& path)
{
    const CString appData = AfxGetAppDataFolder();
    if (appData.IsEmpty()) return false;
    wchar_t module[MAX_PATH] = {};
    if (!::GetModuleFileNameW(nullptr, module, MAX_PATH)) return false;
    CString name = module;
    name = name.Mid(name.ReverseFind(L'\\') + 1);
    const int dot = name.ReverseFind(L'.');
    if (dot >= 0) name = name.Left(dot);
    return LogoFilePathUnder(appData, name, path);
}

bool HeaderSettings::WriteLogoFile(const CString& text)
{
    CString path;
    return GetLogoFilePath(path) && WriteUtf16File(path, text);
}

CString HeaderSettings::ReadLogoFile()
{
    CString path;
    return GetLogoFilePath(path) ? ReadUtf16File(path) : CString();
}
