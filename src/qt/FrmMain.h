#pragma once

#include "qt/OpenFileDialog.h"
#include "notes/ScanHost.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QStringList>

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace notes {
class SessionFactory;
}

namespace tarnwick {

class ClickableLabel;
class Desktop;
struct SharedState;

// The start-up window: picks the address book, runs the scan into its log, and leads on
// to the field-choice window. It is the scan's host.
class FrmMain final : public QMainWindow, public ScanHost
{
    Q_OBJECT

public:
    FrmMain(Desktop &desktop, notes::SessionFactory &notes, SharedState &state, QWidget *parent = nullptr);
    ~FrmMain() override;

    // Runs the scan of the book named in the path box, to its end.
    void ScanLotusNotesContacts();
    bool isScanning() const { return m_scanning; }

    // The log as shown, one entry a line (the line ends dropped).
    QStringList logLines() const;

    // How often, at most, a running scan shows its new log lines and lets the window
    // handle events. 0 makes every yield of the scan reach the desktop.
    void setFrameInterval(qint64 nanoseconds) { m_frameNanoseconds = nanoseconds; }

    // ScanHost
    std::string notesDatabaseFile() override;
    void clearLog() override;
    void appendLogLine(std::string_view line) override;
    void setProceedEnabled(bool enabled) override;
    void showMessage(std::string_view text, std::string_view title) override;
    bool processEvents() override;

public slots:
    void CmdBrowse_Click();
    void mnuOpen_Click();
    void CmdContactsCreate_Click();
    void mnuContents_Click();
    void mnuWebsite_Click();
    void LabelSiteFooter_Click();
    void mnuAbout_Click();
    void mnuExit_Click();
    void Form_QueryUnload();
    void txtProgressDetails_Change();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildMenus();
    void buildClientArea();
    void centreOnScreen();
    void flushLog();

    Desktop &m_desktop;
    notes::SessionFactory &m_notes;
    SharedState &m_state;
    OpenFileDialog CDlg;

    // Lines the scan has written since the last flush, each followed by a line end.
    QString m_pendingLog;
    QElapsedTimer m_frame;
    qint64 m_frameNanoseconds = 16'000'000;
    bool m_scanning = false;
    bool m_stopRequested = false;
    bool m_closeAfterScan = false;
    bool m_exiting = false;
    bool m_unloaded = false;

    QMenu *mnuFile;
    QAction *mnuOpen;
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
