// One-unit lower-case mapping: a fixed rule for ASCII and the Latin-1 capitals, and a map of
// upper-case/lower-case pairs for the other alphabets.
#pragma once
#include <cstdint>

// Lower-case form of a code point held in 32 bits (callers pass and keep 16-bit units).
int32_t toLowerCodePoint(int32_t c);
// Builds the process-wide lower-case map when it does not exist yet.
void buildCaseTables();
