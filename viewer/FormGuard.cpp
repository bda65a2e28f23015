// The form window's net against failures a file causes.
#include "viewer/FormGuard.h"
#include "viewer/FormTrace.h"
#include <new>
#include <stdexcept>

namespace viewer {

namespace {
FormStepHook& StepHook()
{
    static FormStepHook hook;
    return hook;
}

std::wstring Widen(const char* text)
{
    std::wstring out;
    for (const char* c = text; *c; ++c) out += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    return out;
}
} // namespace

std::wstring RunGuarded(const wchar_t* what, const std::function<void()>& work)
{
    std::wstring why;
    try {
        work();
        return why;
    } catch (const std::bad_alloc&) {
        why = L"not enough memory";
    } catch (const std::exception& e) {
        why = Widen(e.what());
    } catch (...) {
        why = L"an unknown failure";
    }
    // Writing the line may itself run out of memory; the caller still learns why.
    try {
        TraceFormLine(std::wstring(what) + L" failed: " + why);
    } catch (...) {
    }
    return why;
}

void SetFormStepHook(FormStepHook hook)
{
    StepHook() = std::move(hook);
}

void FormStep(const char* step)
{
    if (StepHook()) StepHook()(step);
}

} // namespace viewer
