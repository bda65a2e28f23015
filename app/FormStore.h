// Where the program keeps its forms: the program folder in test mode, else a folder chain under the
// user's application-data folder named after the program and the executable.
#pragma once
#include "framework/CString.h"

// The executable's folder from its full path, with the final backslash.
CString ProgramFolderOf(const CString& modulePath);

// The executable's base name: its file name up to the last full stop of that name (a full stop in a
// folder name does not count); the whole file name when it has none.
CString ExecutableBaseName(const CString& modulePath);

// The store folder: the program folder (with its final backslash) in test mode; otherwise
// <appData>\Formstead\0x03\<executable base name>.
CString ComposeStoreFolder(bool testMode, const CString& programFolder, const CString& modulePath,
                           const CString& appDataFolder);

// The same for the running program, creating each missing level of the application-data chain
// (failures to create are ignored: a missing folder simply holds no form).
CString PrepareStoreFolder(bool testMode, const CString& programFolder);

// The file title (name without extension) of the first "*.pdf" the file system lists in the folder;
// empty when there is none.
CString FirstFormIn(const CString& storeFolder);
