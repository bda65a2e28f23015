// The fuzz smoke: the mutated forms of tools/forms/mutate_forms.py read, loaded and drawn by the
// probe in batches, each batch a process of its own: no process ends abnormally or stays past its
// watchdog, and none goes over 600 MB. A failing input is named and copied to <build>/fuzz_failed
// for reproduction; the batch goes on after it, so one input does not hide the others.
#include "ProbeRun.h"
#include "tests/support/TempFolder.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <memory>
#include <sstream>

namespace {

const size_t kBatchSize = 60;
const size_t kParallelBatches = 3;
const DWORD kBatchWatchdogMs = 180 * 1000; // a watchdog for 60 files read in seconds each at most
const size_t kMaxFailuresReported = 25;

std::vector<std::wstring> MutatedForms()
{
    std::vector<std::wstring> files;
    std::istringstream lines(ReadWholeFile(std::wstring(FORMSTEAD_FUZZ_FORMS_DIR) + L"list.txt"));
    for (std::string line; std::getline(lines, line);)
        if (!line.empty()) files.push_back(std::wstring(FORMSTEAD_FUZZ_FORMS_DIR) + std::wstring(line.begin(), line.end()));
    return files;
}

std::wstring FailedFolder()
{
    std::wstring folder(FORMSTEAD_FUZZ_FORMS_DIR);
    folder.pop_back(); // its final backslash
    return folder.substr(0, folder.find_last_of(L'\\') + 1) + L"fuzz_failed\\";
}

void KeepForReproduction(const std::wstring& file)
{
    const std::wstring folder = FailedFolder();
    CreateDirectoryW(folder.c_str(), nullptr);
    CopyFileW(file.c_str(), (folder + file.substr(file.find_last_of(L'\\') + 1)).c_str(), FALSE);
}

struct Batch
{
    std::vector<std::wstring> files;
    std::unique_ptr<ProbeProcess> process;
};

} // namespace

TEST(FuzzSmoke, MutatedFormsEndWithinBounds)
{
    TempFolder folder;
    const std::vector<std::wstring> all = MutatedForms();
    ASSERT_GE(all.size(), 1000u) << "the mutated forms are missing: " << Narrow(FORMSTEAD_FUZZ_FORMS_DIR);
    std::vector<std::vector<std::wstring>> pending;
    for (size_t i = 0; i < all.size(); i += kBatchSize)
        pending.emplace_back(all.begin() + i, all.begin() + std::min(all.size(), i + kBatchSize));
    size_t failures = 0, probed = 0, outputs = 0;
    while (!pending.empty() && failures < kMaxFailuresReported) {
        std::vector<Batch> running;
        while (!pending.empty() && running.size() < kParallelBatches) {
            Batch batch;
            batch.files = pending.back();
            pending.pop_back();
            batch.process.reset(new ProbeProcess(batch.files, folder.File(L"batch" + std::to_wstring(outputs++) + L".txt")));
            running.push_back(std::move(batch));
        }
        for (Batch& batch : running) {
            ProbeRun run = batch.process->Wait(kBatchWatchdogMs);
            ASSERT_TRUE(run.started) << "the probe could not be started";
            // The first file over the limit, or the one the process ended in.
            size_t bad = run.files.size();
            for (size_t i = 0; i < run.files.size(); ++i)
                if (run.files[i].peak >= kPeakWorkingSetLimit || !run.files[i].drawn) {
                    bad = i;
                    break;
                }
            const bool ok = run.endedByItself && run.exitCode == 0 && run.peakKnown && bad == run.files.size() &&
                            run.files.size() == batch.files.size();
            probed += bad;
            if (ok) continue;
            ++failures;
            const std::wstring culprit = bad < run.files.size() ? run.files[bad].path : batch.files[std::min(bad, batch.files.size() - 1)];
            KeepForReproduction(culprit);
            ADD_FAILURE() << Narrow(culprit) << ": " << run.Describe()
                          << (bad < run.files.size() ? ", its peak " + std::to_string(run.files[bad].peak / (1024 * 1024)) + " MB" : "")
                          << "; kept in " << Narrow(FailedFolder());
            // The rest of the batch, after the failing input, in a process of its own.
            if (bad + 1 < batch.files.size()) pending.emplace_back(batch.files.begin() + bad + 1, batch.files.end());
        }
    }
    EXPECT_EQ(0u, failures) << probed << " of " << all.size() << " mutated forms probed within bounds";
}
