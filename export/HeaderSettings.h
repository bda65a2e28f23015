// The letterhead of patient statements: a text line in a font and size, or a logo image. The
// settings live in the profile section "HeaderInfo"; the logo, base64, in the file header64.ttt.
#pragma once
#include <string>
#include "framework/CString.h"

class HeaderSettings
{
public:
    HeaderSettings() { Load(); }

    void Load();
    // Writes "HeaderText", "HeaderFName", "HeaderFSize", keeps them and clears the logo flag; the
    // profile's "HeaderType" is left as it is.
    void SaveText(const CString& text, const CString& fontSize, const CString& fontName);
    // "HeaderType" = "0" for a text letterhead, "1" for a logo.
    void SetHeaderType(bool textHeader);
    bool IsTextHeader() const;

    // Makes the logo of an image file: reads and encodes the file, writes header64.ttt, and only then
    // writes "ImagePath", "ImageSize" and "Imagez2Size". False (with *error) when the file cannot be
    // read or the logo file cannot be written; the settings are then unchanged.
    bool StoreImage(const CString& path, CString* error = nullptr);

    CString GetImagePath() const;
    CString GetImageSize() const;
    CString GetImagez2Size() const;

    // The path of header64.ttt in the form store folder, creating the missing folders of the chain
    // (application data\Formstead\0x03\<program>); false when one cannot be made.
    static bool GetLogoFilePath(CString& path);
    // The same below a given application-data folder, for a program of that base name.
    static bool LogoFilePathUnder(const CString& appDataFolder, const CString& programBaseName, CString& path);
    // Writes the text as UTF-16LE code units, no byte-order mark, no terminator; the file's length is
    // exactly the text's bytes.
    static bool WriteLogoFile(const CString& text);
    // The logo file's text; empty when it cannot be read.
    static CString ReadLogoFile();

    CString m_strText;     // the letterhead line
    CString m_strSize;     // font size as chosen, e.g. "16"
    CString m_strFontName; // e.g. "Arial"
    bool m_bLogo = false;
};

// The two logo scales of an image of w x h pixels against the 646 x 148 reference box.
void LogoScales(int width, int height, double& imageSize, double& imagez2Size);

// The base64 text of a file's bytes (CR LF after every 76 characters); false when it cannot be read.
bool EncodeFileBase64(const CString& path, std::string& base64);

// The logo file's text kept at a path: written and read as UTF-16LE.
bool WriteUtf16File(const CString& path, const CString& text);
CString ReadUtf16File(const CString& path);
