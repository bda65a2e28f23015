// The claim form beside the test executable, and the program started on it.
#include "ClaimFormProgram.h"

#include <gtest/gtest.h>

#include "tests/pages/DialogDriver.h"

ClaimFormFolder::ClaimFormFolder()
{
    EXPECT_TRUE(CopyFileW(FORMSTEAD_CONTAINER_PAGE, container.Path().c_str(), FALSE));
    EXPECT_TRUE(CopyFileW((std::wstring(FORMSTEAD_SAMPLES_DIR) + L"cms1500.pdf").c_str(), claimForm.Path().c_str(),
                          FALSE));
    ::DeleteFileW(database.Path().c_str());
}

std::unique_ptr<ProgramRun> StartClaimProgram(int registrationAnswer)
{
    std::unique_ptr<ProgramRun> run(new ProgramRun(true));
    EXPECT_TRUE(MakeMasterDatabase(run->folder.File(L"Vantorel.gdb"), MasterContent()));
    bool answered = false;
    DialogDriver driver;
    driver.OnDialog(L"New Forms Registration", [&](HWND dialog) {
        ClickButton(dialog, registrationAnswer);
        answered = true;
    });
    const BOOL started = run->Start();
    EXPECT_TRUE(started);
    EXPECT_TRUE(PumpUntil([&] { return answered; }));
    if (!started || !answered)
        return nullptr;
    return run;
}
