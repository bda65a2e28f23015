// Base64 of the letterhead logo: the standard alphabet, "=" padding, CR LF after every 76 characters.
#pragma once
#include <cstddef>

class Base64Encoder
{
public:
    // The buffer size for n input bytes, the terminating zero included.
    static size_t EncodedLength(size_t n);
    // Zero-fills out (EncodedLength(count) characters) and writes the text into it.
    static void Encode(const unsigned char* input, size_t count, char* out);
};
