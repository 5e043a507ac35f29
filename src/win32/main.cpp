#include "MainWindow.h"
#include "MessagePump.h"
#include "StartUp.h"
#include "Win32Desktop.h"
#include "notes/NotesSessionFactory.h"
#include "notes/SharedState.h"
#include "ui/FrmMain.h"

#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show)
{
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    // The folder picker, the shell and Notes' automation all want an apartment on this,
    // the only thread with windows.
    const HRESULT ole = OleInitialize(nullptr);
    int code = 0;
    {
        tarnwick::win32::Win32Desktop desktop;
        code = tarnwick::win32::runProgram(desktop, [&desktop, show] {
            notes::NotesSessionFactory notes;
            tarnwick::SharedState state;
            tarnwick::ui::FrmMain behaviour(desktop, notes, state);
            tarnwick::win32::MainWindow window(behaviour);
            window.show(show);
            return tarnwick::win32::MessagePump::run();
        });
    }
    if (SUCCEEDED(ole))
        OleUninitialize();
    return code;
}
