// The read-only master database "Vantorel.gdb" (in the current folder): its Logo table gives the
// logo bitmap, the form-updates address and the window title.
#pragma once
#include "framework/CString.h"
#include <windows.h>

extern const wchar_t* const kMasterDatabaseName;

struct MasterLogo
{
    bool hasRow = false;
    CString updatesAddress;   // column 3; empty for NULL
    HBITMAP logo = nullptr;   // column 1 written to the logo file and loaded; null when it could not be
};

// Reads the first row of the Logo table. False when the database cannot be opened (a missing file
// included: it is never created) or the table cannot be read; the caller then ends the start-up.
bool ReadMasterLogo(MasterLogo& result);

// The window title: column "title" of the Logo table, empty when it cannot be read.
CString ReadMasterTitle();

// <temporary folder>\A_34.bmp: the logo as a file, which the step bar draws.
CString LogoFilePath();
