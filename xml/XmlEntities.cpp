// Decoding of the predefined entities, in one left-to-right pass over the bytes.
#include "xml/XmlEntities.h"
#include "xml/ByteScan.h"
#include <string.h>

int predefinedEntityAt(const char* p, int available, char& c)
{
    static const struct { const char* ref; int length; char c; } kRefs[] = {
        {"&lt;", 4, '<'}, {"&gt;", 4, '>'}, {"&amp;", 5, '&'}, {"&quot;", 6, '"'}, {"&apos;", 6, '\''}};
    for (const auto& r : kRefs) {
        if (available >= r.length && memcmp(p, r.ref, r.length) == 0) {
            c = r.c;
            return r.length;
        }
    }
    return 0;
}

void appendDecodedEntities(kit::StringBuffer& out, const char* bytes, int length)
{
    const char* p = bytes;
    const char* end = bytes + length;
    while (p < end) {
        const char* amp = findByte(p, end, '&');
        if (!amp) {
            out.appendN(p, (int)(end - p));
            return;
        }
        out.appendN(p, (int)(amp - p));
        char c;
        int n = predefinedEntityAt(amp, (int)(end - amp), c);
        out.appendChar(n ? c : '&');
        p = amp + (n ? n : 1);
    }
}
