// Charset names (as in XML declarations) to Windows code pages.
#pragma once
#include <cstdint>

// 0 for NULL, a name of fewer than 3 characters or a name the table lacks; "ansi" gives GetACP().
uint32_t charsetToCodePage(const char* name);
bool isCharsetKnown(const char* name);
