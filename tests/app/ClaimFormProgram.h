// The whole program on the sample claim form: the form and the real container page beside the test
// executable (the program's folder in test mode), with no form database at the start; each file is
// put back as it was when the object goes, even when the test fails.
#pragma once
#include <memory>
#include <string>

#include "ProgramFixture.h"
#include "tests/support/ScopedState.h"

struct ClaimFormFolder
{
    ClaimFormFolder();
    std::wstring Database() const { return folder + L"claim.gdb"; }

    const std::wstring folder = TestProgramFolder();
    FileGuard container{folder + L"container.htm"};
    FileGuard claimForm{folder + L"claim.pdf"};
    FileGuard database{folder + L"claim.gdb"};
    RegistryKeyGuard appearance{OwnRegistryKey() + L"\\Formstead\\Appearance"};
};

// Starts the program with the program's pages; its registration dialog for the claim form is answered
// with the button given (IDOK registers the form, IDCANCEL leaves it unregistered). Null when the
// start failed (the failure is reported).
std::unique_ptr<ProgramRun> StartClaimProgram(int registrationAnswer);
