#include "MessagePump.h"

#include "Win32Window.h"

namespace tarnwick::win32 {

namespace {

bool isPushButton(HWND window)
{
    wchar_t name[16] = {};
    if (!window || !GetClassNameW(window, name, 16) || lstrcmpiW(name, L"Button") != 0)
        return false;
    const LONG_PTR type = GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

// A quit request taken off the queue is put back for the loop that ends the program.
void keepQuit(const MSG &message)
{
    PostQuitMessage(static_cast<int>(message.wParam));
}

} // namespace

void MessagePump::dispatch(MSG &message)
{
    if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN) {
        // The windows have no default button: Enter acts on the button that has the focus.
        HWND focus = GetFocus();
        if (isPushButton(focus) && IsWindowEnabled(focus)) {
            SendMessageW(focus, BM_CLICK, 0, 0);
            return;
        }
    }
    if (HWND top = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr; top && IsDialogMessageW(top, &message))
        return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

int MessagePump::run()
{
    MSG message;
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0)
            return static_cast<int>(message.wParam);
        if (got == -1)
            return 1;
        dispatch(message);
    }
}

void MessagePump::runModal(Win32Window &window, HWND owner)
{
    const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled)
        EnableWindow(owner, FALSE);
    ShowWindow(window.hwnd(), SW_SHOW);
    MSG message;
    while (window.hwnd() && !window.closeRequested()) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            keepQuit(message);
            break;
        }
        if (got == -1)
            break;
        dispatch(message);
    }
    // The owner first: were the window to go while the owner is still disabled, Windows
    // would hand the activation to another program.
    if (ownerWasEnabled)
        EnableWindow(owner, TRUE);
    if (window.hwnd())
        ShowWindow(window.hwnd(), SW_HIDE);
    if (owner && IsWindowVisible(owner))
        SetActiveWindow(owner);
}

bool MessagePump::handlePending()
{
    MSG message;
    // Paints last, and as many as repaintOnly takes: a window damaged again while it paints
    // (another dragged across it) always has a paint pending, and taking paints until none
    // is left kept a scan from going on for as long as the damage lasted.
    constexpr UINT AllButPaints = PM_QS_INPUT | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | AllButPaints)) {
        if (message.message == WM_QUIT) {
            keepQuit(message);
            return false;
        }
        dispatch(message);
    }
    repaintOnly();
    return true;
}

void MessagePump::repaintOnly()
{
    MSG message;
    // Bounded: a window that never validates itself would otherwise keep the run here.
    for (int i = 0; i < 256 && PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++i)
        DispatchMessageW(&message);
    for (int i = 0; i < 256 && PeekMessageW(&message, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE); ++i)
        DispatchMessageW(&message);
}

} // namespace tarnwick::win32
