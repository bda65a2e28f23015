#include "viewer/FormTrace.h"
#include "framework/Seams.h"

namespace viewer {

void TraceFormLine(const std::wstring& line)
{
    AfxTraceLine((L"Form viewer: " + line).c_str());
}

void TraceFormLine(const std::string& line)
{
    TraceFormLine(std::wstring(line.begin(), line.end()));
}

} // namespace viewer
