#pragma once

class QWidget;

namespace tarnwick {

// Asks the window manager to leave the window off the taskbar. Call it after the native
// window exists and before it is mapped (a showEvent is the place). Done on X11, where
// Qt offers no flag for it short of making the window a tool window, which would also
// change its decoration and stacking; elsewhere it does nothing.
void KeepOffTaskbar(QWidget &window);

} // namespace tarnwick
