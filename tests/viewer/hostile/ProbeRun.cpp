// Starting the probe with its output in a file (no pipe to fill), and reading that output back.
#include "ProbeRun.h"
#include "tests/support/TempFolder.h"
#include <cstdlib>
#include <sstream>

std::string Narrow(const std::wstring& text)
{
    if (text.empty()) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

namespace {

std::wstring Widen(const std::string& text)
{
    if (text.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}

std::wstring ProbePath()
{
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    std::wstring path(self);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"pdf_probe.exe";
}

bool StartsWith(const std::string& line, const char* prefix, std::string& rest)
{
    const size_t n = std::char_traits<char>::length(prefix);
    if (line.compare(0, n, prefix) != 0) return false;
    rest = line.substr(n);
    return true;
}

void Parse(ProbeRun& run)
{
    std::istringstream lines(run.output);
    std::string rest;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (StartsWith(line, "begin ", rest)) {
            run.files.push_back(ProbedFile());
            run.files.back().path = Widen(rest);
        } else if (StartsWith(line, "peak\t", rest)) {
            run.peakKnown = rest != "unknown";
            run.peak = std::strtoull(rest.c_str(), nullptr, 10);
            if (!run.files.empty()) run.files.back().peak = run.peak;
        } else if (run.files.empty()) {
            continue;
        } else if (StartsWith(line, "field\t", rest)) {
            run.files.back().fields.push_back(rest);
        } else if (StartsWith(line, "read-refused\t", rest)) {
            run.files.back().readRefusal = rest;
        } else if (StartsWith(line, "refused\t", rest)) {
            run.files.back().windowRefusal = rest;
        } else if (StartsWith(line, "ink\t", rest)) {
            run.files.back().ink.push_back(std::atol(rest.substr(rest.find('\t') + 1).c_str()));
        } else if (StartsWith(line, "drawn\t", rest)) {
            run.files.back().drawn = true;
        }
    }
}

} // namespace

std::wstring ProbeRun::Unfinished() const
{
    return !files.empty() && !files.back().drawn ? files.back().path : std::wstring();
}

std::string ProbeRun::Describe() const
{
    std::ostringstream text;
    if (!started) return "the probe could not be started";
    text << (endedByItself ? "ended with exit code " + std::to_string(exitCode) : std::string("ended by the watchdog"));
    text << ", peak working set " << (peakKnown ? std::to_string(peak / (1024 * 1024)) + " MB" : std::string("not reported"));
    if (!Unfinished().empty()) text << ", while in " << Narrow(Unfinished());
    return text.str();
}

ProbeProcess::ProbeProcess(const std::vector<std::wstring>& files, const std::wstring& outputFile)
    : m_outputFile(outputFile)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE output = CreateFileW(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    if (output == INVALID_HANDLE_VALUE) return;
    const std::wstring probe = ProbePath();
    std::wstring command = L"\"" + probe + L"\"";
    for (const std::wstring& file : files) command += L" \"" + file + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    m_started = !probe.empty() && CreateProcessW(probe.c_str(), &command[0], nullptr, nullptr, TRUE, 0, nullptr,
                                                 nullptr, &startup, &m_process);
    CloseHandle(output);
}

ProbeProcess::~ProbeProcess()
{
    if (!m_started) return;
    if (WaitForSingleObject(m_process.hProcess, 0) != WAIT_OBJECT_0) {
        TerminateProcess(m_process.hProcess, 1);
        WaitForSingleObject(m_process.hProcess, INFINITE);
    }
    CloseHandle(m_process.hThread);
    CloseHandle(m_process.hProcess);
}

ProbeRun ProbeProcess::Wait(DWORD watchdogMs)
{
    ProbeRun run;
    run.started = m_started;
    if (!m_started) return run;
    run.endedByItself = WaitForSingleObject(m_process.hProcess, watchdogMs) == WAIT_OBJECT_0;
    if (!run.endedByItself) {
        TerminateProcess(m_process.hProcess, 1);
        WaitForSingleObject(m_process.hProcess, INFINITE);
    }
    GetExitCodeProcess(m_process.hProcess, &run.exitCode);
    run.output = ReadWholeFile(m_outputFile);
    Parse(run);
    return run;
}
