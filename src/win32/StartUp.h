#pragma once

#include <functional>

namespace tarnwick::ui {
class Desktop;
}

namespace tarnwick::win32 {

// Runs the program on the windows' thread: its windows made, its message loop to the end.
// Whatever fails on the way (a window the system will not create) is shown with its
// reason through the desktop, and the program ends with status 1; nothing is left to
// escape from the thread. A command that fails while the windows run is reported the same
// way, by the window that ran it.
int runProgram(ui::Desktop &desktop, const std::function<int()> &program);

// Makes this thread the windows' thread, as the program and its window tests start: the
// common controls registered, and an apartment (the folder picker, the shell and Notes'
// automation all want one on the only thread with windows); then runs, and returns what
// run returned.
int runOnWindowsThread(const std::function<int()> &run);

} // namespace tarnwick::win32
