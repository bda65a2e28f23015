// Codecs of the Unicode forms themselves: a per-character UTF-8 codec for the Basic Multilingual
// Plane, the UTF-8 legality test, and whole-buffer UTF-8 <-> UTF-32 conversion.
#pragma once
#include <cstdint>

class DataBuffer;

extern const char trailingBytesForUTF8[256];
extern const uint32_t offsetsFromUTF8[6];
extern const unsigned char firstByteMark[7];

// True when the length (1-4) bytes form one well-formed UTF-8 sequence.
bool isLegalUtf8(const unsigned char* bytes, int length);
// Bytes to skip for one bad sequence at the start of bytes.
int utf8SkipLength(const unsigned char* bytes, uint32_t bytesLeft);
// The UTF-8 decoders treat a bad sequence by its length.
inline bool utf8ErrorsBySequence() { return true; }

class ConvertState
{
public:
    ConvertState() : m_unused(0) {}
    virtual ~ConvertState() {}

    // Decodes one sequence of 1-3 bytes: bytes used, -1 for an invalid sequence, -2 when the data ends
    // inside the sequence. Four-byte sequences are invalid here.
    int utf8ToUcs2(const unsigned char* bytes, uint32_t bytesLeft, uint16_t* unit);
    // Writes 1-3 bytes for the unit to out and returns their number.
    int ucs2ToUtf8(uint16_t unit, unsigned char* out);

private:
    uint32_t m_unused;
};

// Code point of a well-formed four-byte sequence (checked by the caller with isLegalUtf8).
uint32_t decodeUtf8Four(const unsigned char* p);

// Stop at the first bad or cut-off sequence (false); a surrogate is written as U+FFFD (false).
bool utf8ToUtf32LE(const DataBuffer& in, DataBuffer& out);
bool utf8ToUtf32BE(const DataBuffer& in, DataBuffer& out);
// UTF-32LE units to UTF-8; false for a cut-off unit or a value that is no character (replaced by U+FFFD).
bool utf32ToUtf8(const DataBuffer& in, DataBuffer& out);
