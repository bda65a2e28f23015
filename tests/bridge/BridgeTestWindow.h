// A top-level test window with a static 1022 that a CHTMLCtrl replaces, as the form page does.
#pragma once
#include "bridge/BridgeProtocol.h"
#include "viewer/ViewerTestControl.h"
#include <gtest/gtest.h>

class BridgeTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // The control in the window, navigated to the container page and loaded (waited for).
    void OpenContainer();
    // ... and the claim form shown in it, its message handler in place.
    void OpenClaimForm();
    static std::wstring Sample(const wchar_t* name) { return std::wstring(FORMSTEAD_SAMPLES_DIR) + name; }

    CWnd m_parent;
    HWND m_static = nullptr;
    CHTMLCtrl m_ctrl;
};

// Pumps until the queue is empty (no waiting).
void PumpPendingMessages();
// The same through the framework's pump, which offers each message to PreTranslateMessage.
void PumpPendingMessagesThroughTheFramework();
