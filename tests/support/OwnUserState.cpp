#include "tests/support/OwnUserState.h"

#include <windows.h>
#include <memory>
#include "framework/Seams.h"
#include "tests/support/TempFolder.h"

namespace {

std::wstring g_keyName;
std::unique_ptr<TempFolder> g_appData;

void RemoveKey()
{
    if (g_keyName.empty())
        return;
    const std::wstring key = OwnRegistryKey();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
}

class OwnUserStateListener : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo&) override
    {
        // Unique among the processes of one Wine prefix (the registry is the prefix's).
        static unsigned cases = 0;
        g_keyName = L"FormsteadTest-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++cases);
        RemoveKey();   // left by an earlier process of the same number that crashed
        g_appData.reset(new TempFolder);
        const std::wstring& folder = g_appData->Path();
        AfxSetRegistryKeyOverride(g_keyName.c_str());
        AfxSetAppDataFolder(folder.substr(0, folder.size() - 1).c_str());
    }
    void OnTestEnd(const ::testing::TestInfo&) override
    {
        AfxSetRegistryKeyOverride(CString());
        AfxSetAppDataFolder(CString());
        RemoveKey();
        g_keyName.clear();
        g_appData.reset();
    }
};

} // namespace

std::wstring OwnRegistryKey()
{
    return L"Software\\" + g_keyName;
}

std::wstring OwnAppDataFolder()
{
    const std::wstring& folder = g_appData ? g_appData->Path() : std::wstring(L"\\");
    return folder.substr(0, folder.size() - 1);
}

::testing::TestEventListener* NewOwnUserStateListener()
{
    return new OwnUserStateListener;
}
