#pragma once

#include "Win32Window.h"
#include "ui/DocAbout.h"
#include "ui/DocAboutFace.h"

namespace tarnwick::win32 {

// The About box, DocAbout, as a Win32 window. "OK" has the keyboard and is neither the
// default nor the cancel button: Enter and Space press it, Escape does nothing.
class AboutWindow final : public ui::DocAboutFace, public Win32Window
{
public:
    // Created hidden, centred over owner; the modal loop shows it.
    explicit AboutWindow(HWND owner);

    // DocAboutFace
    void closeWindow() override;

    enum Command : int {
        CmdOK = 101,
        Label,
    };

protected:
    void paintBackground(HDC dc) override;
    bool command(int id, int notification, HWND control) override;

private:
    ui::DocAbout m_window;
};

} // namespace tarnwick::win32
