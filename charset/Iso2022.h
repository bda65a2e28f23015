// ISO-2022-JP <-> Shift-JIS and ISO-2022-KR <-> EUC-KR byte rewriting for the conversion pipeline.
#pragma once
#include <cstdint>

class DataBuffer;

class Japanese
{
public:
    virtual ~Japanese() {}
    // False when input was left out: an escape sequence that is unknown or cut off, or a double-byte
    // code without its second byte.
    bool iso2022JpToShiftJis(const unsigned char* bytes, uint32_t length, DataBuffer& out);
    // False when a byte has no ISO-2022-JP form (it is left out).
    bool shiftJisToIso2022Jp(const unsigned char* bytes, uint32_t length, DataBuffer& out);

    enum WidenMode { ShiftJisMode, EucJpMode };
    // Widens the half-width katakana byte in first (joining a following sound mark when one fits) to
    // its full-width Shift-JIS pair in first/second; returns how many following bytes were joined.
    // Any other byte stays in first, with second 0.
    int halfWidthToFullWidth(const unsigned char* next, uint32_t bytesLeft, unsigned char& first, unsigned char& second,
                             WidenMode mode);
};

class Korean
{
public:
    virtual ~Korean() {}
    // False when an unknown escape or a double-byte code without its second byte was left out.
    bool iso2022KrToEucKr(const unsigned char* bytes, uint32_t length, DataBuffer& out);
    // False when a byte pair lies outside the EUC-KR range 0xA1-0xFE (it is left out).
    bool eucKrToIso2022Kr(const unsigned char* bytes, uint32_t length, DataBuffer& out);
};
