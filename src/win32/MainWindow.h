#pragma once

#include "Win32Window.h"
#include "ui/FrmMainFace.h"

namespace tarnwick::ui {
class FrmMain;
}

namespace tarnwick::win32 {

// The start-up window, FrmMain, as a Win32 window: the banner, the path box and Browse,
// the progress log in its frame, Proceed, the footer and the menus. Every command goes to
// the behaviour.
class MainWindow final : public ui::FrmMainFace, public Win32Window
{
public:
    explicit MainWindow(ui::FrmMain &window);
    ~MainWindow() override;

    // Shows the window as the program starts, with the keyboard on the path box.
    void show(int how);

    // FrmMainFace
    std::string notesDatabaseFile() override;
    void setNotesDatabaseFile(const std::string &path) override;
    void clearLog() override;
    void appendLog(const std::string &text) override;
    void setSplitForGoogleChecked(bool checked) override;
    void setCaption(const std::string &caption) override;
    void closeWindow() override;

    enum Command : int {
        // The menu items.
        mnuOpen = 1001,
        mnuExit,
        mnuContents,
        mnuWebsite,
        mnuAbout,
        mnuExportVCard,
        mnuSplitForGoogle,
        // The controls; a dialog's Enter and Escape come as 1 and 2, so these start higher.
        txtNotesDatabaseFile = 101,
        CmdBrowse,
        txtProgressDetails,
        CmdContactsCreate,
        LabelSiteFooter,
        // Labels and pictures send no commands; they share one number.
        Label,
    };

protected:
    void setProceedEnabled(bool enabled) override;
    void setExportVCardEnabled(bool enabled) override;
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void paintBackground(HDC dc) override;
    void dpiChanged(UINT dpi) override;
    bool command(int id, int notification, HWND control) override;

private:
    static HMENU buildMenus();
    void buildControls();
    void txtProgressDetails_Change();
    void setLogo(UINT dpi);

    ui::FrmMain &m_window;
    // Owns the main window, so that it has no button on the taskbar.
    HWND m_owner = nullptr;
    HWND m_log = nullptr;
    HICON m_logo = nullptr;
};

} // namespace tarnwick::win32
