// The toolkit's one road to the character-set converter: a byte run from one code page to another,
// appended to a buffer; true when nothing was lost.
#pragma once
#include "xml/KitTypes.h"
#include <stdint.h>

bool convertPages(int fromPage, int toPage, const void* bytes, uint32_t length, DataBuffer& out);
bool convertCharset(const char* charset, int toPage, const void* bytes, uint32_t length, DataBuffer& out);
// The code page a charset name stands for; 0 when the name is unknown.
int charsetPage(const char* charset);
