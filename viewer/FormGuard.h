// One net under everything the form window does with a file (reading, loading, painting, printing):
// whatever a file makes fail, running out of memory included, is caught there, the trace is told,
// and the window goes on.
#pragma once
#include <functional>
#include <string>

namespace viewer {

// Runs work; returns why it failed ("not enough memory", or the failure's own words), empty when it
// did not. A failure also writes "Form viewer: <what> failed: <why>" to the trace.
std::wstring RunGuarded(const wchar_t* what, const std::function<void()>& work);

// Tests make one named step of the form window fail (throw) to see the net hold. The steps:
// "read", "parse", "script", "controls", "letterhead" (loading), "paint" and "print". Production
// installs nothing; an empty hook restores that.
using FormStepHook = std::function<void(const char* step)>;
void SetFormStepHook(FormStepHook hook);
void FormStep(const char* step);

} // namespace viewer
