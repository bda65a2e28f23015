// The packed mapping tables carried by the program, one package per code page, kept in pieces.
// The data are made by the table generator at build time.
#pragma once

struct CodePagePackage
{
    int page;
    int pieceCount;
    const char* const* pieces;
};

// The package of a page, or NULL when the page has none. For 10001 this is the Shift-JIS package;
// findMacJapanesePatch gives the patch package that follows it.
const CodePagePackage* findCodePagePackage(int page);
const CodePagePackage* findMacJapanesePatch();
