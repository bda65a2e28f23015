// Every test case runs with a registry key and an application-data folder of its own (set up by the
// test main around each case): the program's profile functions and its form store and logo file land
// there, never in the user's. Both are removed, with everything in them, when the case ends.
#pragma once
#include <gtest/gtest.h>
#include <string>

// The case's own key under HKEY_CURRENT_USER in place of "Software\<registry key>", e.g.
// OwnRegistryKey() + L"\\Formstead\\HeaderInfo" for the program's letterhead section.
std::wstring OwnRegistryKey();
// The case's own application-data folder, without a final backslash.
std::wstring OwnAppDataFolder();

// The listener the test main installs.
::testing::TestEventListener* NewOwnUserStateListener();
