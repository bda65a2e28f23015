// UTF-7 (code page 65000): UTF-16LE to UTF-7 with an explicit "-" after every base64 run, and back.
#pragma once

class DataBuffer;

void buildUtf7Tables();
// Always true.
bool utf16ToUtf7(const DataBuffer& in, DataBuffer& out);
// False when the input breaks the UTF-7 rules; everything decodable is still appended.
bool utf7ToUtf16(const DataBuffer& in, DataBuffer& out);
