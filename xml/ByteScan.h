// Byte searches for the parser's hot loop, sixteen bytes at a time where the processor allows:
// the C runtime's searches look at one byte at a time.
#pragma once
#include <stddef.h>

// The first byte c in [p, end); NULL when there is none.
const char* findByte(const char* p, const char* end, char c);
// The number of bytes before the terminating zero.
size_t textLength(const char* text);
