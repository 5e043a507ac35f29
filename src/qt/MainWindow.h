#pragma once

#include "ui/FrmMainFace.h"

#include <QMainWindow>

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace tarnwick::ui {
class FrmMain;
}

namespace tarnwick {

class ClickableLabel;

// The main window's widgets, laid out as the program draws them, wired to the behaviour
// in ui::FrmMain. The Qt object is named "FrmMain", as are its controls.
class MainWindow final : public QMainWindow, public ui::FrmMainFace
{
    Q_OBJECT

public:
    explicit MainWindow(ui::FrmMain &window, QWidget *parent = nullptr);
    ~MainWindow() override;

    // FrmMainFace
    std::string notesDatabaseFile() override;
    void setNotesDatabaseFile(const std::string &path) override;
    void clearLog() override;
    void appendLog(const std::string &text) override;
    void setSplitForGoogleChecked(bool checked) override;
    void setCaption(const std::string &caption) override;
    void closeWindow() override;

public slots:
    void txtProgressDetails_Change();

protected:
    void setProceedEnabled(bool enabled) override;
    void setExportVCardEnabled(bool enabled) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildMenus();
    void buildClientArea();
    void centreOnScreen();

    ui::FrmMain &m_window;

    QMenu *mnuFile;
    QAction *mnuOpen;
    QAction *mnuExportVCard;
    QAction *mnuSep3;
    QAction *mnuSplitForGoogle;
    QAction *mnuSep;
    QAction *mnuExit;
    QMenu *mnuHelp;
    QAction *mnuContents;
    QAction *mnuWebsite;
    QAction *mnuSep2;
    QAction *mnuAbout;

    QWidget *Picture1;
    QLabel *Image2;
    QLabel *Label4;
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Image1;
    QLabel *Label3;
    QLineEdit *txtNotesDatabaseFile;
    QPushButton *CmdBrowse;
    QGroupBox *FrameContacts;
    QPlainTextEdit *txtProgressDetails;
    QPushButton *CmdContactsCreate;
    QFrame *Shape1;
    QLabel *Label49;
    ClickableLabel *LabelSiteFooter;
};

} // namespace tarnwick
