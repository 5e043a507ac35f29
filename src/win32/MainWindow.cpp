#include "MainWindow.h"

#include "Resources.h"
#include "TarnwickConfig.h"
#include "WideText.h"
#include "ui/FrmMain.h"

#include <commctrl.h>

namespace tarnwick::win32 {

namespace {

constexpr const wchar_t *WindowClass = L"TarnwickFrmMain";
// A fixed dialog frame with a close box only. Not clipping the children, as a dialog does
// not: the frame around the log paints no inside of its own.
constexpr DWORD Style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD ExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// The log is reached by clicking, and the keys a dialog acts on stay the dialog's: Tab
// moves on instead of indenting, and Escape does not close the window, as a multi-line
// edit box in a dialog would have it do.
LRESULT CALLBACK logKeys(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_GETDLGCODE) {
        LRESULT code = DefSubclassProc(window, message, wParam, lParam);
        const MSG *key = reinterpret_cast<const MSG *>(lParam);
        if (key && key->message == WM_KEYDOWN && (key->wParam == VK_TAB || key->wParam == VK_ESCAPE))
            code &= ~(DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE);
        return code;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

} // namespace

MainWindow::MainWindow(ui::FrmMain &window)
    : m_window(window)
{
    // A hidden owner keeps the window off the taskbar, as the window has always been.
    m_owner = CreateWindowExW(0, L"STATIC", L"Tarnwick", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    // The menu bar first: the window's size allows for it.
    create({WindowClass, L"Tarnwick", Style, ExStyle, 514, 377, IDI_TARNWICK, m_owner, buildMenus()});
    buildControls();
    m_window.attach(*this);
}

MainWindow::~MainWindow()
{
    if (m_logo)
        DestroyIcon(m_logo);
    if (m_owner)
        DestroyWindow(m_owner);
}

HMENU MainWindow::buildMenus()
{
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, mnuOpen, L"Open Notes Address Book File");
    AppendMenuW(file, MF_STRING | MF_GRAYED, mnuExportVCard, L"Export as vCard...");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING | MF_UNCHECKED, mnuSplitForGoogle, widen(ui::FrmMain::SplitForGoogleItem).c_str());
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, mnuExit, L"Exit");
    HMENU help = CreatePopupMenu();
    AppendMenuW(help, MF_STRING, mnuContents, L"Contents");
    AppendMenuW(help, MF_STRING, mnuWebsite, L"Visit Website");
    AppendMenuW(help, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(help, MF_STRING, mnuAbout, L"About");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"File");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"Help");
    return bar;
}

void MainWindow::buildControls()
{
    using look::Font;
    ControlLayout &layout = controls();
    const COLORREF banner = GetSysColor(COLOR_WINDOW);
    // The creation order is the tab order: path box, Browse, Proceed.
    layout.add(Label, {"Image2", L"STATIC", L"", SS_ICON | SS_REALSIZECONTROL, 0, {16, 8, 48, 48}, Font::Tahoma,
                       look::SystemColour, banner});
    layout.add(Label, {"Label4", L"STATIC", L"Korvane", SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, {72, 6, 58, 13}, Font::VerdanaBold,
                       look::SystemColour, banner});
    layout.add(Label, {"Label1", L"STATIC", L"Tarnwick", SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, {72, 16, 335, 23},
                       Font::VerdanaTitle, look::TitleRed, banner});
    layout.add(Label, {"Label2", L"STATIC", widen(config::Description), SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, {72, 40, 252, 13},
                       Font::Tahoma, look::SystemColour, banner});
    layout.add(Label, {"Label3", L"STATIC", L"Select Lotus Notes Address Book", SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0,
                       {16, 72, 309, 13}, Font::Tahoma, RGB(0, 0, 0), look::Parchment});
    layout.add(txtNotesDatabaseFile, {"txtNotesDatabaseFile", L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL,
                                      WS_EX_CLIENTEDGE, {16, 88, 385, 25}});
    layout.add(CmdBrowse, {"CmdBrowse", L"BUTTON", L"&Browse...", WS_TABSTOP | BS_PUSHBUTTON, 0, {408, 88, 89, 25}});
    // The log before its frame, so that it lies above it.
    m_log = layout.add(txtProgressDetails,
                       {"txtProgressDetails", L"EDIT", L"", ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL,
                        WS_EX_CLIENTEDGE, {24, 152, 465, 129}, Font::Tahoma, look::SystemColour, look::Parchment});
    layout.add(Label, {"FrameContacts", L"BUTTON", L"Progress Details", BS_GROUPBOX, 0, {16, 128, 481, 169},
                       Font::Tahoma, look::SystemColour, look::Parchment});
    HWND proceed = layout.add(CmdContactsCreate, {"CmdContactsCreate", L"BUTTON", L"&Proceed to Conversion >",
                                                  WS_TABSTOP | BS_PUSHBUTTON, 0, {184, 304, 153, 28}});
    EnableWindow(proceed, FALSE);
    layout.add(Label, {"Label49", L"STATIC", L"Korvane Software", SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, {8, 352, 113, 17},
                       Font::TahomaBold, look::FooterNavy, look::FooterBand});
    layout.add(LabelSiteFooter, {"LabelSiteFooter", L"STATIC", widen(config::MakerSiteAddress),
                                 SS_RIGHT | SS_NOPREFIX | SS_NOTIFY, 0, {328, 352, 177, 17}, Font::Tahoma,
                                 look::FooterLink, look::FooterBand});

    // A scan writes tens of thousands of lines; the box's own limit is 32,767 characters.
    SendMessageW(m_log, EM_SETLIMITTEXT, 0, 0);
    SetWindowSubclass(m_log, logKeys, 1, 0);
    setLogo(layout.dpi());
}

void MainWindow::setLogo(UINT dpi)
{
    HICON logo = look::loadIcon(IDI_TARNWICK, 48, dpi);
    SendMessageW(control("Image2"), STM_SETICON, reinterpret_cast<WPARAM>(logo), 0);
    if (m_logo)
        DestroyIcon(m_logo);
    m_logo = logo;
}

void MainWindow::show(int how)
{
    centre(nullptr);
    ShowWindow(hwnd(), how);
    UpdateWindow(hwnd());
    SetForegroundWindow(hwnd());
    SetFocus(control("txtNotesDatabaseFile"));
}

void MainWindow::dpiChanged(UINT dpi)
{
    setLogo(dpi);
}

void MainWindow::paintBackground(HDC dc)
{
    RECT client{};
    GetClientRect(hwnd(), &client);
    look::fill(dc, client, look::Parchment);
    const ControlLayout &layout = this->layout();
    // The banner, on the system's window colour, with its strip along the lower edge.
    look::fill(dc, layout.scaled(DesignRect{0, 0, 514, 66}), GetSysColor(COLOR_WINDOW));
    RECT strip = layout.scaled(DesignRect{-80, 64, 713, 2});
    look::drawStrip(dc, strip);
    look::fill(dc, layout.scaled(DesignRect{0, 344, 713, 33}), look::FooterBand);
}

bool MainWindow::command(int id, int notification, HWND control)
{
    const bool fromMenu = control == nullptr;
    switch (id) {
    case mnuOpen:
        if (fromMenu)
            m_window.mnuOpen_Click();
        return fromMenu;
    case mnuExportVCard:
        if (fromMenu)
            m_window.mnuExportVCard_Click();
        return fromMenu;
    case mnuSplitForGoogle:
        if (fromMenu)
            m_window.mnuSplitForGoogle_Click();
        return fromMenu;
    case mnuExit:
        if (fromMenu)
            m_window.mnuExit_Click();
        return fromMenu;
    case mnuContents:
        if (fromMenu)
            m_window.mnuContents_Click();
        return fromMenu;
    case mnuWebsite:
        if (fromMenu)
            m_window.mnuWebsite_Click();
        return fromMenu;
    case mnuAbout:
        if (fromMenu)
            m_window.mnuAbout_Click();
        return fromMenu;
    case CmdBrowse:
        if (notification == BN_CLICKED)
            m_window.CmdBrowse_Click();
        return true;
    case CmdContactsCreate:
        if (notification == BN_CLICKED)
            m_window.CmdContactsCreate_Click();
        return true;
    case LabelSiteFooter:
        if (notification == STN_CLICKED)
            m_window.LabelSiteFooter_Click();
        return true;
    case txtProgressDetails:
        if (notification == EN_CHANGE)
            txtProgressDetails_Change();
        return true;
    case txtNotesDatabaseFile:
        if (notification == EN_CHANGE)
            m_window.txtNotesDatabaseFile_Change();
        return true;
    default:
        // Enter and Escape in a dialog come as IDOK and IDCANCEL: the window has no default
        // or cancel button, so neither does anything.
        return id == IDOK || id == IDCANCEL;
    }
}

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        if (m_window.Form_QueryUnload())
            DestroyWindow(hwnd());
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        // Windows is ending the session: the window closes as it would by its close box.
        if (wParam)
            m_window.Form_QueryUnload();
        return 0;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == control("LabelSiteFooter")) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    default:
        break;
    }
    return Win32Window::handleMessage(message, wParam, lParam);
}

void MainWindow::txtProgressDetails_Change()
{
    // The newest line stays in view, and typing always continues at the end.
    const int length = GetWindowTextLengthW(m_log);
    SendMessageW(m_log, EM_SETSEL, static_cast<WPARAM>(length), length);
    SendMessageW(m_log, EM_SCROLLCARET, 0, 0);
}

// --- FrmMainFace ------------------------------------------------------------------------

std::string MainWindow::notesDatabaseFile()
{
    return controlText("txtNotesDatabaseFile");
}

void MainWindow::setNotesDatabaseFile(const std::string &path)
{
    SetWindowTextW(control("txtNotesDatabaseFile"), widen(path).c_str());
}

void MainWindow::clearLog()
{
    SetWindowTextW(m_log, L"");
}

void MainWindow::appendLog(const std::string &text)
{
    const int length = GetWindowTextLengthW(m_log);
    SendMessageW(m_log, EM_SETSEL, static_cast<WPARAM>(length), length);
    // The box's change notice moves the caret to the end and scrolls to it.
    SendMessageW(m_log, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(widen(text).c_str()));
}

void MainWindow::setProceedEnabled(bool enabled)
{
    HWND proceed = control("CmdContactsCreate");
    // A disabled button that keeps the keyboard leaves the keys going nowhere.
    if (!enabled && GetFocus() == proceed)
        SendMessageW(hwnd(), WM_NEXTDLGCTL, 0, FALSE);
    EnableWindow(proceed, enabled);
}

void MainWindow::setExportVCardEnabled(bool enabled)
{
    EnableMenuItem(GetMenu(hwnd()), mnuExportVCard, static_cast<UINT>(MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED)));
}

void MainWindow::setSplitForGoogleChecked(bool checked)
{
    CheckMenuItem(GetMenu(hwnd()), mnuSplitForGoogle, static_cast<UINT>(MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED)));
}

void MainWindow::setCaption(const std::string &caption)
{
    SetWindowTextW(hwnd(), widen(caption).c_str());
}

void MainWindow::closeWindow()
{
    if (hwnd())
        SendMessageW(hwnd(), WM_CLOSE, 0, 0);
}

} // namespace tarnwick::win32
