#include "MainWindow.h"
#include "MessagePump.h"
#include "StartUp.h"
#include "Win32Desktop.h"
#include "notes/NotesSessionFactory.h"
#include "notes/SharedState.h"
#include "ui/FrmMain.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show)
{
    return tarnwick::win32::runOnWindowsThread([show] {
        tarnwick::win32::Win32Desktop desktop;
        return tarnwick::win32::runProgram(desktop, [&desktop, show] {
            notes::NotesSessionFactory notes;
            tarnwick::SharedState state;
            tarnwick::ui::FrmMain behaviour(desktop, notes, state);
            tarnwick::win32::MainWindow window(behaviour);
            window.show(show);
            return tarnwick::win32::MessagePump::run();
        });
    });
}
