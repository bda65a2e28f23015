// Import of completed PDF files.
#include "pages/ImportCompletedFiles.h"

void ImportCompletedFiles(FormPageHost&, CWnd*) {}

std::string PercentDecode(const std::string& text)
{
    return text;
}
