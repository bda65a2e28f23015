// Byte searches for the parser's hot loop and the writer, sixteen bytes at a time where the processor
// allows: the C runtime's searches look at one byte at a time.
#pragma once
#include <stddef.h>

// The first byte c in [p, end); NULL when there is none.
const char* findByte(const char* p, const char* end, char c);
// The first of the bytes < > " ' & in [p, end), which text written as XML turns into references;
// NULL when there is none.
const char* findEscapedByte(const char* p, const char* end);
// The number of bytes before the terminating zero.
size_t textLength(const char* text);
