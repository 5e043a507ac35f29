#pragma once

#include <windows.h>

namespace tarnwick::win32 {

class Win32Window;

// The program's message loops: the main one, a modal window's, the scan's yield and the
// export's paint-only turn. All hand messages on the same way, so the keyboard behaves
// alike everywhere: Tab and the access keys as in a dialog, and Enter on a focused button
// clicks it.
class MessagePump
{
public:
    // Until the program is asked to quit; the exit code it was asked with.
    static int run();
    // Shows window over owner, which takes no input meanwhile, and returns once the window
    // has asked to close (or the program to quit). The owner has the keyboard back after.
    static void runModal(Win32Window &window, HWND owner);
    // Everything pending, the user's input included. False once the program has been
    // asked to quit; the request stays queued for the loop that ends the program.
    static bool handlePending();
    // Paints and timers only: the user's input waits in the queue.
    static void repaintOnly();
    // One message, as every loop here hands it on.
    static void dispatch(MSG &message);
};

} // namespace tarnwick::win32
