#include "AboutWindow.h"

#include "Resources.h"
#include "TarnwickConfig.h"
#include "WideText.h"

namespace tarnwick::win32 {

namespace {

constexpr const wchar_t *WindowClass = L"TarnwickDocAbout";
constexpr DWORD Style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD ExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

} // namespace

AboutWindow::AboutWindow(HWND owner)
    : m_window(*this)
{
    create({WindowClass, L"About", Style, ExStyle, 423, 193, IDI_TARNWICK, owner, nullptr});
    using look::Font;
    ControlLayout &layout = controls();
    const COLORREF white = look::White;
    // The button is the only control that takes the keyboard.
    layout.add(CmdOK, {"CmdOK", L"BUTTON", L"OK", WS_TABSTOP | BS_PUSHBUTTON, 0, {168, 160, 81, 25}, Font::TahomaBold});
    layout.add(Label, {"Label4", L"STATIC", L"Korvane", SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, {24, 8, 58, 13}, Font::VerdanaBold,
                       look::SystemColour, white});
    layout.add(Label, {"Label5", L"STATIC", L"Tarnwick", SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, {24, 18, 335, 23},
                       Font::VerdanaTitle, look::TitleRed, white});
    layout.add(Label, {"Label6", L"STATIC", widen(config::Description), SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, {24, 42, 252, 13},
                       Font::Tahoma, look::SystemColour, white});
    layout.add(Label, {"Label3", L"STATIC", widen(config::VersionText), SS_CENTER | SS_NOPREFIX, 0, {80, 72, 249, 17},
                       Font::Tahoma, look::SystemColour, white});
    layout.add(Label, {"Label2", L"STATIC", L"Korvane Software", SS_CENTER | SS_NOPREFIX, 0, {80, 96, 249, 17},
                       Font::Tahoma, look::SystemColour, white});
    layout.add(Label, {"Label1", L"STATIC", widen(config::MakerSiteAddress), SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0,
                       {104, 128, 209, 17}, Font::TahomaBold, look::SystemColour, white});
    centre(owner);
    SetFocus(control("CmdOK"));
}

void AboutWindow::closeWindow()
{
    requestClose();
}

void AboutWindow::paintBackground(HDC dc)
{
    RECT client{};
    GetClientRect(hwnd(), &client);
    look::fill(dc, client, look::White);
    // The line from x 8 to x 416: the pixels 8 to 415.
    look::fill(dc, layout().scaled(DesignRect{8, 152, 408, 1}), look::AboutLine);
}

bool AboutWindow::command(int id, int notification, HWND)
{
    if (id == CmdOK) {
        if (notification == BN_CLICKED)
            m_window.CmdOK_Click();
        return true;
    }
    // Escape does nothing: the box has no cancel button.
    return id == IDOK || id == IDCANCEL;
}

} // namespace tarnwick::win32
