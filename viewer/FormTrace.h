// The form viewer's lines in the program's trace: what a file made the viewer leave out or refuse.
#pragma once
#include <string>

namespace viewer {

// Writes "Form viewer: <line>"; the bytes of line are taken as Latin-1 (the reader's messages are ASCII).
void TraceFormLine(const std::string& line);
void TraceFormLine(const std::wstring& line);

} // namespace viewer
