// ContentCoding: base64 decoding (the packed conversion tables) and quoted-printable encoding
// (log values).
#pragma once
#include <cstdint>
#include "kit/StringBuffer.h"

class ContentCoding
{
public:
    ContentCoding() : m_lineLength(72), m_reserved(0) {}
    virtual ~ContentCoding() {}

    // A new block (delete[] by the caller) of the decoded bytes, or NULL with decodedLength 0.
    unsigned char* decodeBase64(const char* text, uint32_t length, uint32_t* decodedLength);
    void encodeQuotedPrintable(const void* data, uint32_t length, kit::StringBuffer& out);

private:
    int m_lineLength;
    int m_reserved;
};
