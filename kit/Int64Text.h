// Texts of 64-bit integers in any radix from 2 to 36, and joining/splitting of 32-bit halves.
#pragma once
#include <cstdint>
#include "kit/StringBuffer.h"

// Buffers given to the text functions hold at least this many bytes.
const int kInt64TextSize = 72;

void appendInt64(int64_t value, kit::StringBuffer& out);
// Radix 10 writes a sign and the magnitude; other radixes write the bits as unsigned.
// A radix outside 2..36 writes "" and gives false.
bool int64ToText(int64_t value, char* buffer, int radix);
bool uint64ToText(uint64_t value, char* buffer, int radix, bool negative);
uint64_t makeUInt64(uint32_t low, uint32_t high);
void splitUInt64(uint64_t value, uint32_t& low, uint32_t& high);
