#include "StartUp.h"

#include "Win32Window.h"
#include "ui/Desktop.h"

#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include <exception>
#include <string>

namespace tarnwick::win32 {

int runProgram(ui::Desktop &desktop, const std::function<int()> &program)
{
    Win32Window::reportFailuresTo(&desktop);
    std::string reason;
    try {
        const int code = program();
        Win32Window::reportFailuresTo(nullptr);
        return code;
    } catch (const std::exception &error) {
        reason = error.what();
    } catch (...) {
        reason = "an unknown failure";
    }
    Win32Window::reportFailuresTo(nullptr);
    // The message box may itself fail (no window station left): the exit status still
    // says so.
    try {
        desktop.showMessage(nullptr, "Tarnwick could not start:\r\n\r\n" + reason, "Tarnwick");
    } catch (...) {
    }
    return 1;
}

int runOnWindowsThread(const std::function<int()> &run)
{
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const HRESULT ole = OleInitialize(nullptr);
    const int code = run();
    if (SUCCEEDED(ole))
        OleUninitialize();
    return code;
}

} // namespace tarnwick::win32
