#pragma once

#include "ControlLayout.h"

#include <windows.h>

#include <memory>
#include <string>

namespace tarnwick::ui {
class Desktop;
}

namespace tarnwick::win32 {

// A top-level window of the program: registers its class, routes its messages to
// handleMessage, paints its background and keeps its controls laid out at its dots per
// inch. The faces derive from it.
class Win32Window
{
public:
    Win32Window(const Win32Window &) = delete;
    Win32Window &operator=(const Win32Window &) = delete;
    virtual ~Win32Window();

    HWND hwnd() const { return m_hwnd; }
    // A child control by its name ("CmdBrowse"), for the faces and their tests.
    HWND control(const char *name) const;
    // A control's text, in UTF-8.
    std::string controlText(const char *name) const;
    const ControlLayout &layout() const { return *m_layout; }

    // A modal window asks to close by its close box or its own command; its modal loop
    // sees this and ends.
    bool closeRequested() const { return m_closeRequested; }

    // Where a command that fails is reported: the program's desktop, as every message of
    // the windows' thread is shown. None: the failure is only traced.
    static void reportFailuresTo(ui::Desktop *desktop);

protected:
    struct Frame
    {
        const wchar_t *windowClass;
        std::wstring caption;
        DWORD style;
        DWORD exStyle;
        int width, height; // of the client area, in design pixels
        int icon;          // resource number
        HWND owner;
        HMENU menu;
    };
    Win32Window() = default;
    // Creates the window, hidden, at the client size for its dots per inch. Controls are
    // added afterwards through controls().
    void create(const Frame &frame);
    ControlLayout &controls() { return *m_layout; }

    // Centred on the owner, or on the screen's work area without one.
    void centre(HWND over);
    void requestClose() { m_closeRequested = true; }

    virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Everything under the controls: the background and what is drawn on it.
    virtual void paintBackground(HDC dc) = 0;
    // After a change of dots per inch, with the controls already moved.
    virtual void dpiChanged(UINT) {}

    // A button or menu item's command; true when handled.
    virtual bool command(int /*id*/, int /*notification*/, HWND /*control*/) { return false; }

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void fitClientArea();
    void setIcons(UINT dpi);

    HWND m_hwnd = nullptr;
    std::unique_ptr<ControlLayout> m_layout;
    Frame m_frame{};
    HICON m_bigIcon = nullptr;
    HICON m_smallIcon = nullptr;
    // The control that had the keyboard when the window lost activation.
    HWND m_focus = nullptr;
    bool m_closeRequested = false;
};

} // namespace tarnwick::win32
