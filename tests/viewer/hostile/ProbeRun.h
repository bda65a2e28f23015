// Runs tests/viewer/probe's pdf_probe on a list of files in a process of its own, under a watchdog,
// and reads back what it wrote: the fields per file, refusals, its peak working set and how it ended.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

// The limits every hostile or mutated file is held to.
const unsigned long long kPeakWorkingSetLimit = 600ull * 1024 * 1024;

struct ProbedFile
{
    std::wstring path;
    std::vector<std::string> fields; // "name\tvalue", UTF-8, in the order read
    std::string readRefusal;         // why pdf::ReadPdfForm read nothing ("" when it read the form)
    std::string windowRefusal;       // the form window's message when it did not load the file
    std::vector<long> ink;           // dark pixels of each page drawn as printed at the screen's resolution
    bool drawn = false;              // every page drawn and the window painted
    unsigned long long peak = 0;     // the process's peak working set when it was done (bytes)
};

struct ProbeRun
{
    bool started = false;
    bool endedByItself = false;      // false: the watchdog ended it
    DWORD exitCode = 0;
    bool peakKnown = false;
    unsigned long long peak = 0;     // bytes, the last peak the probe wrote
    std::vector<ProbedFile> files;   // in the order begun; the last one may be unfinished
    std::string output;              // everything the probe wrote

    // The file the probe was working on when it ended: the last one begun and not drawn.
    std::wstring Unfinished() const;
    // A line for failure messages: how the process ended, its peak, the file it was in.
    std::string Describe() const;
};

// A started probe: Wait() before reading its run.
class ProbeProcess
{
public:
    // Starts pdf_probe (beside this executable) on the files; its output goes to outputFile.
    ProbeProcess(const std::vector<std::wstring>& files, const std::wstring& outputFile);
    ~ProbeProcess();
    ProbeProcess(const ProbeProcess&) = delete;
    ProbeProcess& operator=(const ProbeProcess&) = delete;

    // Waits for the process to end, at most watchdogMs (then it is ended), and reads its output.
    ProbeRun Wait(DWORD watchdogMs);

private:
    std::wstring m_outputFile;
    PROCESS_INFORMATION m_process = {};
    bool m_started = false;
};

// UTF-8 of a path, for messages.
std::string Narrow(const std::wstring& text);
