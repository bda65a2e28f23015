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

// For the few bytes of a name or an attribute value, where a call into the C runtime costs more
// than the work.
inline bool hasByte(const char* p, int n, char c)
{
    for (int i = 0; i < n; ++i)
        if (p[i] == c)
            return true;
    return false;
}

inline void copyBytes(char* to, const char* from, int n)
{
    for (int i = 0; i < n; ++i)
        to[i] = from[i];
}
