// Keys and mouse buttons through the system's input queue, and the pump that handles what they make.
#include "tests/support/RealInput.h"
#include "framework/Wnd.h"

namespace {

void Bring(HWND window)
{
    HWND top = ::GetAncestor(window, GA_ROOT);
    ::SetForegroundWindow(top);
    ::SetActiveWindow(top);
    ::SetFocus(window);
}

// Handles messages until one is dispatched for which done() holds; the watchdog only ends a wait that
// would otherwise hang.
template <typename Done>
bool PumpUntilMessage(Done done)
{
    for (int waits = 0; waits < 200; waits++)
    {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            if (!CWnd::WalkPreTranslateTree(nullptr, &msg))
            {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
            if (done(msg))
                return true;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return false;
}

INPUT KeyInput(UINT vk, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = static_cast<WORD>(vk);
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    // The navigation keys of the separate block (not the keypad's).
    if (vk == VK_PRIOR || vk == VK_NEXT || vk == VK_END || vk == VK_HOME || vk == VK_LEFT || vk == VK_UP ||
        vk == VK_RIGHT || vk == VK_DOWN || vk == VK_INSERT || vk == VK_DELETE)
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    if (up)
        input.ki.dwFlags |= KEYEVENTF_KEYUP;
    return input;
}

INPUT MouseInput(POINT screen, DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    // Absolute positions are in 0..65535 across the primary screen.
    input.mi.dx = static_cast<LONG>((screen.x * 65536 + ::GetSystemMetrics(SM_CXSCREEN) - 1) / ::GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = static_cast<LONG>((screen.y * 65536 + ::GetSystemMetrics(SM_CYSCREEN) - 1) / ::GetSystemMetrics(SM_CYSCREEN));
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    return input;
}

} // namespace

bool PressKey(HWND window, UINT vk, bool withCtrl, bool withShift)
{
    Bring(window);
    std::vector<INPUT> inputs;
    if (withCtrl)
        inputs.push_back(KeyInput(VK_CONTROL, false));
    if (withShift)
        inputs.push_back(KeyInput(VK_SHIFT, false));
    inputs.push_back(KeyInput(vk, false));
    inputs.push_back(KeyInput(vk, true));
    if (withShift)
        inputs.push_back(KeyInput(VK_SHIFT, true));
    if (withCtrl)
        inputs.push_back(KeyInput(VK_CONTROL, true));
    const UINT last = withCtrl ? VK_CONTROL : withShift ? VK_SHIFT : vk;
    if (::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) != inputs.size())
        return false;
    return PumpUntilMessage([&](const MSG& msg) { return msg.message == WM_KEYUP && msg.wParam == last; });
}

bool MouseDragThrough(HWND window, const std::vector<POINT>& clientPoints)
{
    Bring(window);
    std::vector<INPUT> inputs;
    for (size_t i = 0; i < clientPoints.size(); i++)
    {
        POINT screen = clientPoints[i];
        ::ClientToScreen(window, &screen);
        DWORD flags = i == 0 ? MOUSEEVENTF_LEFTDOWN : i + 1 == clientPoints.size() ? MOUSEEVENTF_LEFTUP : 0;
        if (i == 0)
            inputs.push_back(MouseInput(screen, 0));   // first there, then the press
        inputs.push_back(MouseInput(screen, flags));
    }
    if (::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) != inputs.size())
        return false;
    // A drag and drop loop the press starts takes the release itself: then the end is when no input is left.
    return PumpUntilMessage([](const MSG& msg) {
        return msg.message == WM_LBUTTONUP ||
               (HIWORD(::GetQueueStatus(QS_INPUT)) == 0 && !(::GetAsyncKeyState(VK_LBUTTON) & 0x8000));
    });
}

bool PressLeftButton(POINT screen)
{
    INPUT inputs[] = {MouseInput(screen, 0), MouseInput(screen, MOUSEEVENTF_LEFTDOWN)};
    return ::SendInput(2, inputs, sizeof(INPUT)) == 2;
}

bool ReleaseLeftButtonAt(POINT screen)
{
    INPUT inputs[] = {MouseInput(screen, 0), MouseInput(screen, MOUSEEVENTF_LEFTUP)};
    return ::SendInput(2, inputs, sizeof(INPUT)) == 2;
}
