// Letterhead settings: base64 against an independent encoder, the logo scales of real image files,
// the profile values and the logo file, and an unreadable image that changes nothing.
#include <gtest/gtest.h>

#include "export/Base64Encoder.h"
#include "export/HeaderSettings.h"
#include "framework/App.h"
#include "tests/support/TempFolder.h"

#include "tests/support/OwnUserState.h"
#include <wincrypt.h>
#include <gdiplus.h>
#include <string>
#include <vector>

namespace {

CWinApp theLetterheadTestApp(L"LetterheadTestApp");
const wchar_t kTestRegistryKey[] = L"FormsteadLetterheadTest";

std::string Encoded(size_t count)
{
    std::vector<unsigned char> bytes(count);
    for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<unsigned char>((i * 7 + 3) % 256);
    std::vector<char> out(Base64Encoder::EncodedLength(count), 'x');
    Base64Encoder::Encode(bytes.data(), count, out.data());
    EXPECT_EQ('\0', out.back());
    return std::string(out.data());
}

// A 24-bit bottom-up BMP of the given size, every pixel grey.
std::string Bitmap(int width, int height)
{
    const int stride = (width * 3 + 3) & ~3;
    const unsigned imageBytes = static_cast<unsigned>(stride * height);
    std::string bmp(54, '\0');
    auto put32 = [&](size_t at, unsigned v) { for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<char>(v >> (8 * i)); };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, 54 + imageBytes);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<unsigned>(width));
    put32(22, static_cast<unsigned>(height));
    bmp[26] = 1;
    bmp[28] = 24;
    put32(34, imageBytes);
    bmp.append(imageBytes, '\x80');
    return bmp;
}

// Writes a width x height JPEG through GDI+'s own encoder; false when GDI+ has none or fails.
bool WriteJpeg(const std::wstring& path, int width, int height)
{
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return false;
    bool saved = false;
    {
        UINT count = 0, bytes = 0;
        Gdiplus::GetImageEncodersSize(&count, &bytes);
        std::vector<char> buffer(bytes);
        auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
        if (bytes && Gdiplus::GetImageEncoders(count, bytes, encoders) == Gdiplus::Ok) {
            for (UINT i = 0; i < count && !saved; ++i) {
                if (lstrcmpW(encoders[i].MimeType, L"image/jpeg") != 0) continue;
                Gdiplus::Bitmap image(width, height, PixelFormat24bppRGB);
                for (int y = 0; y < height; y += 7)
                    for (int x = 0; x < width; x += 5) image.SetPixel(x, y, Gdiplus::Color(255, x % 256, y % 256, 90));
                saved = image.Save(path.c_str(), &encoders[i].Clsid, nullptr) == Gdiplus::Ok;
            }
        }
    }
    Gdiplus::GdiplusShutdown(token);
    return saved;
}

// The bytes of a base64 text, decoded by the system's own decoder (line breaks allowed).
std::string DecodedBySystem(const CString& text)
{
    const CStringA ansi(text);
    DWORD size = 0;
    if (!::CryptStringToBinaryA(ansi.GetString(), ansi.GetLength(), CRYPT_STRING_BASE64, nullptr, &size, nullptr, nullptr))
        return "<not base64>";
    std::string bytes(size, '\0');
    ::CryptStringToBinaryA(ansi.GetString(), ansi.GetLength(), CRYPT_STRING_BASE64,
                           reinterpret_cast<BYTE*>(&bytes[0]), &size, nullptr, nullptr);
    bytes.resize(size);
    return bytes;
}

// Each test starts from an empty profile section and leaves no key, logo file or folder behind that
// was not there before.
class LetterheadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        theLetterheadTestApp.SetRegistryKey(kTestRegistryKey);
        m_appData = OwnAppDataFolder();
        for (const wchar_t* level : {L"\\Formstead", L"\\Formstead\\0x03", L"\\Formstead\\0x03\\export_test"})
            m_existed.push_back(::GetFileAttributesW((m_appData + level).c_str()) != INVALID_FILE_ATTRIBUTES);
        m_logo = m_appData + L"\\Formstead\\0x03\\export_test\\header64.ttt";
        m_hadLogo = ::GetFileAttributesW(m_logo.c_str()) != INVALID_FILE_ATTRIBUTES;
        ASSERT_FALSE(m_hadLogo) << "a logo file of an earlier run is in the way";
    }
    void TearDown() override
    {
        ::DeleteFileW(m_logo.c_str());
        const wchar_t* levels[] = {L"\\Formstead\\0x03\\export_test", L"\\Formstead\\0x03", L"\\Formstead"};
        for (int i = 0; i < 3; ++i)
            if (!m_existed[2 - i]) ::RemoveDirectoryW((m_appData + levels[i]).c_str());
    }
    CString Profile(const wchar_t* entry) { return theLetterheadTestApp.GetProfileString(L"HeaderInfo", entry, L"<none>"); }

    std::wstring m_appData, m_logo;
    std::vector<bool> m_existed;
    bool m_hadLogo = false;
};

} // namespace

TEST(Base64Encoder, LinesOfSeventySixAgainstAnIndependentEncoder)
{
    // Expected texts from Python's base64 module over the same bytes.
    EXPECT_EQ("AwoRGB8mLTQ7QklQV15lbHN6gYiPlp2kq7K5wMfO1dzj6vH4/wYNFBsiKTA3PkVMU1phaG92fYSL\r\n", Encoded(57));
    EXPECT_EQ("AwoRGB8mLTQ7QklQV15lbHN6gYiPlp2kq7K5wMfO1dzj6vH4/wYNFBsiKTA3PkVMU1phaG92fYSL\r\nkg==", Encoded(58));
    EXPECT_EQ("", Encoded(0));
    EXPECT_EQ("Aw==", Encoded(1));
    EXPECT_EQ("Awo=", Encoded(2));
    EXPECT_EQ("AwoR", Encoded(3));
    EXPECT_EQ("AwoRGB8mLTQ7QklQV15lbHN6gYiPlp2kq7K5wMfO1dzj6vH4/wYNFBsiKTA3PkVMU1phaG92fYSL\r\n"
              "kpmgp661vMPK0djf5u30+wIJEBceJSwzOkFIT1ZdZGtyeYCHjpWco6qxuL/GzdTb4unw9/4FDBMa\r\n"
              "ISgvNj1ES1JZYGdudXyDipGYn6attLvCydDX3uXs8/oBCA8WHSQrMjlAR05VXGNqcXh/ho2Um6Kp\r\n"
              "sLe+xczT2uHo7/b9BAsSGSAnLjU8Q0pRWF9mbXQ=",
              Encoded(200));
    EXPECT_EQ(1u, Base64Encoder::EncodedLength(0));
    EXPECT_EQ(79u, Base64Encoder::EncodedLength(57)); // 78 characters and the zero
    EXPECT_EQ(83u, Base64Encoder::EncodedLength(58));
}

TEST(LogoScales, AgainstTheReferenceBox)
{
    double first = 0, second = 0;
    LogoScales(1292, 148, first, second);
    EXPECT_EQ(1.0, first);
    EXPECT_EQ(1.0, second);
    LogoScales(323, 296, first, second);
    EXPECT_EQ(2.0, first);
    EXPECT_EQ(0.5, second);
    LogoScales(0, 0, first, second);
    EXPECT_EQ(1.0, first);
    EXPECT_EQ(1.0, second);
}

TEST_F(LetterheadTest, FreshProfileIsTheDefaultTextLetterhead)
{
    HeaderSettings settings;
    EXPECT_EQ(CString(L"Company Name Here"), settings.m_strText);
    EXPECT_EQ(CString(L"Arial"), settings.m_strFontName);
    EXPECT_EQ(CString(L"16"), settings.m_strSize);
    EXPECT_FALSE(settings.m_bLogo);
    EXPECT_TRUE(settings.IsTextHeader());
    EXPECT_EQ(CString(L""), settings.GetImagePath());
    EXPECT_EQ(CString(L"1"), settings.GetImageSize());
    EXPECT_EQ(CString(L"1"), settings.GetImagez2Size());
    EXPECT_EQ(CString(L""), HeaderSettings::ReadLogoFile());
}

TEST_F(LetterheadTest, TextAndTypeAreStoredApart)
{
    HeaderSettings settings;
    settings.SetHeaderType(false);
    EXPECT_EQ(CString(L"1"), Profile(L"HeaderType"));
    EXPECT_FALSE(settings.IsTextHeader());
    settings.SaveText(L"Lakeside Clinic", L"24", L"Cambria");
    EXPECT_EQ(CString(L"1"), Profile(L"HeaderType")); // the type is not SaveText's
    EXPECT_EQ(CString(L"Lakeside Clinic"), Profile(L"HeaderText"));
    EXPECT_EQ(CString(L"24"), Profile(L"HeaderFSize"));
    EXPECT_EQ(CString(L"Cambria"), Profile(L"HeaderFName"));
    EXPECT_FALSE(settings.m_bLogo);
    settings.SetHeaderType(true);
    EXPECT_EQ(CString(L"0"), Profile(L"HeaderType"));
    HeaderSettings reloaded;
    EXPECT_EQ(CString(L"Lakeside Clinic"), reloaded.m_strText);
    EXPECT_FALSE(reloaded.m_bLogo);
}

TEST_F(LetterheadTest, LogoImagesStoreTheirScalesAndTheirBase64)
{
    TempFolder folder;
    const std::wstring wide = folder.File(L"wide.bmp"), tall = folder.File(L"tall.bmp");
    ASSERT_TRUE(WriteWholeFile(wide, Bitmap(1292, 148)));
    ASSERT_TRUE(WriteWholeFile(tall, Bitmap(323, 296)));
    HeaderSettings settings;
    ASSERT_TRUE(settings.StoreImage(wide.c_str()));
    EXPECT_EQ(CString(wide.c_str()), Profile(L"ImagePath"));
    EXPECT_EQ(CString(L"1.000000"), Profile(L"ImageSize"));
    EXPECT_EQ(CString(L"1.000000"), Profile(L"Imagez2Size"));
    ASSERT_TRUE(settings.StoreImage(tall.c_str()));
    EXPECT_EQ(CString(L"2.000000"), settings.GetImageSize());
    EXPECT_EQ(CString(L"0.500000"), settings.GetImagez2Size());
    // The logo file holds the base64 of the file's bytes as UTF-16LE, nothing more.
    const std::string bytes = ReadWholeFile(m_logo);
    const CString text = HeaderSettings::ReadLogoFile();
    ASSERT_EQ(static_cast<size_t>(text.GetLength()) * 2, bytes.size());
    EXPECT_EQ(CString(L"Qk0"), text.Left(3)); // "BM" and the start of its size
    EXPECT_EQ('Q', bytes[0]);
    EXPECT_EQ('\0', bytes[1]);
    const std::string original = Bitmap(323, 296);
    EXPECT_EQ(static_cast<int>(Base64Encoder::EncodedLength(original.size()) - 1), text.GetLength());
    // A shorter logo replaces a longer one whole.
    ASSERT_TRUE(HeaderSettings::WriteLogoFile(L"QUJD"));
    EXPECT_EQ(std::string("Q\0U\0J\0D\0", 8), ReadWholeFile(m_logo));
}

TEST_F(LetterheadTest, JpegLogoIsMeasuredThroughGdiplus)
{
    TempFolder folder;
    const std::wstring tall = folder.File(L"tall.jpg"), wide = folder.File(L"wide.jpeg");
    ASSERT_TRUE(WriteJpeg(tall, 323, 296)) << "GDI+ wrote no JPEG";
    ASSERT_TRUE(WriteJpeg(wide, 1292, 148));
    const std::string jpeg = ReadWholeFile(tall);
    ASSERT_GT(jpeg.size(), 4u);
    ASSERT_EQ(std::string("\xFF\xD8\xFF", 3), jpeg.substr(0, 3)) << "not a JPEG file";

    HeaderSettings settings;
    ASSERT_TRUE(settings.StoreImage(tall.c_str()));
    EXPECT_EQ(CString(L"2.000000"), Profile(L"ImageSize"));
    EXPECT_EQ(CString(L"0.500000"), Profile(L"Imagez2Size"));
    EXPECT_EQ(CString(tall.c_str()), Profile(L"ImagePath"));
    // The logo file holds exactly the JPEG's bytes, in lines of 76.
    const CString logo = HeaderSettings::ReadLogoFile();
    EXPECT_EQ(jpeg, DecodedBySystem(logo));
    EXPECT_EQ(76, logo.Find(L"\r\n"));

    ASSERT_TRUE(settings.StoreImage(wide.c_str()));
    EXPECT_EQ(CString(L"1.000000"), Profile(L"ImageSize"));
    EXPECT_EQ(CString(L"1.000000"), Profile(L"Imagez2Size"));
    EXPECT_EQ(ReadWholeFile(wide), DecodedBySystem(HeaderSettings::ReadLogoFile()));
}

TEST_F(LetterheadTest, ImageThatCannotBeReadChangesNoSetting)
{
    TempFolder folder;
    const std::wstring wide = folder.File(L"wide.bmp");
    ASSERT_TRUE(WriteWholeFile(wide, Bitmap(1292, 148)));
    HeaderSettings settings;
    ASSERT_TRUE(settings.StoreImage(wide.c_str()));
    const std::string logoBefore = ReadWholeFile(m_logo);
    CString error;
    EXPECT_FALSE(settings.StoreImage(folder.File(L"missing.jpg").c_str(), &error));
    EXPECT_FALSE(error.IsEmpty());
    EXPECT_EQ(CString(wide.c_str()), Profile(L"ImagePath"));
    EXPECT_EQ(logoBefore, ReadWholeFile(m_logo));
    // A file that is not an image still becomes the logo, with both scales 1.
    const std::wstring text = folder.File(L"notes.jpg");
    ASSERT_TRUE(WriteWholeFile(text, "not an image"));
    ASSERT_TRUE(settings.StoreImage(text.c_str()));
    EXPECT_EQ(CString(L"1.000000"), Profile(L"ImageSize"));
    EXPECT_EQ(CString(L"bm90IGFuIGltYWdl"), HeaderSettings::ReadLogoFile());
}

TEST(LogoFilePath, CreatesOnlyTheMissingFoldersAndReportsFailure)
{
    TempFolder folder;
    CString path;
    ASSERT_TRUE(HeaderSettings::LogoFilePathUnder(folder.Path().c_str() + CString(L"data"), L"prog", path) == false)
        << "the application-data folder itself is never created";
    ASSERT_TRUE(::CreateDirectoryW(folder.File(L"data").c_str(), nullptr));
    ASSERT_TRUE(HeaderSettings::LogoFilePathUnder(folder.File(L"data").c_str(), L"prog", path));
    EXPECT_EQ(CString(folder.File(L"data\\Formstead\\0x03\\prog\\header64.ttt").c_str()), path);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(folder.File(L"data\\Formstead\\0x03\\prog").c_str()));
    // A file where a folder must be: failure, not a path into nowhere.
    ASSERT_TRUE(WriteWholeFile(folder.File(L"data\\Formstead\\0x03\\blocked"), "x"));
    EXPECT_FALSE(HeaderSettings::LogoFilePathUnder(folder.File(L"data").c_str(), L"blocked", path));
    for (const wchar_t* sub : {L"data\\Formstead\\0x03\\prog", L"data\\Formstead\\0x03\\blocked"}) {
        ::RemoveDirectoryW(folder.File(sub).c_str());
        ::DeleteFileW(folder.File(sub).c_str());
    }
    for (const wchar_t* sub : {L"data\\Formstead\\0x03", L"data\\Formstead", L"data"})
        ::RemoveDirectoryW(folder.File(sub).c_str());
}
