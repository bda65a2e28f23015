// The print offsets kept in FormInfo.zoomfactor as "horizontal,vertical", and the offset texts the
// user types: signed whole numbers only.
#pragma once
#include <string>

struct PrintOffsets
{
    int horizontal = 0;
    int vertical = 0;
};

// "h,v" -> offsets; a text without "," or with a part that is not a whole number reads as 0,0.
PrintOffsets ParsePrintOffsets(const std::wstring& stored);
// offsets -> "h,v".
std::wstring FormatPrintOffsets(const PrintOffsets& offsets);
// A typed offset: optional blanks, an optional sign, 1 to 6 digits, optional blanks.
bool ParseOffsetText(const std::wstring& text, int& value);
