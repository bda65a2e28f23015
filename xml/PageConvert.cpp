// Builds a converter on the stack for each conversion, as the converter expects to be used.
#include "xml/PageConvert.h"
#include "charset/CharsetNames.h"
#include "charset/EncodingConvert.h"

bool convertPages(int fromPage, int toPage, const void* bytes, uint32_t length, DataBuffer& out)
{
    EncodingConvert converter;
    return converter.EncConvert(fromPage, toPage, static_cast<const unsigned char*>(bytes), length, out);
}

bool convertCharset(const char* charset, int toPage, const void* bytes, uint32_t length, DataBuffer& out)
{
    EncodingConvert converter;
    return converter.EncConvertCharset(charset, toPage, static_cast<const unsigned char*>(bytes), length, out);
}

int charsetPage(const char* charset)
{
    return (int)charsetToCodePage(charset);
}
