#pragma once

#include "EndingMessage.h"
#include "FrameClock.h"
#include "OpenFileDialog.h"
#include "notes/ScanHost.h"

#include <string>

namespace notes {
class SessionFactory;
}

namespace tarnwick {
struct SharedState;
}

namespace tarnwick::ui {

class Desktop;
class FrmMainFace;

// The start-up window's behaviour: picks the address book, runs the scan into its log,
// and leads on to the field-choice window, or writes the book as vCard cards. It is the
// scan's host.
class FrmMain final : private ScanHost
{
public:
    FrmMain(Desktop &desktop, notes::SessionFactory &notes, SharedState &state);
    FrmMain(const FrmMain &) = delete;
    FrmMain &operator=(const FrmMain &) = delete;

    // The widgets; set once, before any command runs.
    void attach(FrmMainFace &face);

    void CmdBrowse_Click();
    void mnuOpen_Click();
    // Any change of the path box's text, the user's or the window's own. The user's means
    // the box may no longer hold the book that was scanned: nothing exports until a scan
    // has read it.
    void txtNotesDatabaseFile_Change();
    // File > "Export as vCard...": the export run into "GMAILContacts.vcf", from here.
    void mnuExportVCard_Click();
    // File > "Split into Files of 3,000 for Google": ticks or unticks it. Ticked, both
    // exports write parts of at most 3,000 contacts each, as Google Contacts imports them.
    void mnuSplitForGoogle_Click();
    void CmdContactsCreate_Click();
    void mnuContents_Click();
    void mnuWebsite_Click();
    void LabelSiteFooter_Click();
    void mnuAbout_Click();
    void mnuExit_Click();
    // The window is about to close. False while a scan or an export holds the book: a scan
    // stops at its next yield, and the window closes itself once either has ended.
    bool Form_QueryUnload();

    // Runs the scan of the book named in the path box, to its end.
    void ScanLotusNotesContacts();
    bool isScanning() const { return m_scanning; }

    // How often, at most, a running scan shows its new log lines and lets the windows
    // handle events, and a running export repaints them. Zero makes every yield of the
    // scan reach the desktop and show the log.
    void setFrameInterval(FrameClock::Duration interval) { m_frame.setInterval(interval); }

    static constexpr const char *OpenFileFilter = "Lotus Notes Address Book (*.nsf *.dxl)|*.nsf;*.dxl|All files (*)|*";
    // The caption the faces open the window with, given back after an export showed its
    // progress there.
    static constexpr const char *Caption = "Tarnwick";
    static constexpr const char *SplitForGoogleItem = "Split into Files of 3,000 for Google";

private:
    class VCardExport;

    // ScanHost
    std::string notesDatabaseFile() override;
    void clearLog() override;
    void appendLogLine(std::string_view line) override;
    void setProceedEnabled(bool enabled) override;
    void showMessage(std::string_view text, std::string_view title) override;
    void explainEnding(std::string_view reason) override;
    bool processEvents() override;

    void flushLog();
    void closeIfAsked();
    FrmMainFace &face();

    Desktop &m_desktop;
    notes::SessionFactory &m_notes;
    SharedState &m_state;
    FrmMainFace *m_face = nullptr;
    OpenFileDialog CDlg;
    EndingMessage m_ending{m_desktop};

    // Lines the scan has written since the last flush, each followed by "\r\n".
    std::string m_pendingLog;
    std::size_t m_pendingLines = 0;
    // The most lines the log is given at once: past this many the scan waits for the log,
    // a flush at a time, the windows painted between. Without it a scan that lists faster
    // than the box takes lines (Windows' edit box under Wine takes 50 to 200 microseconds a
    // line) hands it most of the book in one flush at the end, and the window goes
    // unpainted for seconds. Each flush and each repaint of that box also costs in
    // proportion to all it holds, so a flush never holds fewer than MinFlushLines: smaller
    // ones would keep the window painted more often and make the scan minutes long. A box
    // that is quick (Qt's) is given ever more at once.
    std::size_t m_flushLines = MinFlushLines;
    static constexpr auto FlushTarget = std::chrono::milliseconds(50);
    static constexpr std::size_t MinFlushLines = 2048;
    FrameClock m_frame;
    // A text box may take longer to add lines the more it holds (Windows' edit box does):
    // new lines are shown no more often than every few times the last showing took, so
    // that a long scan never spends most of its time redrawing the log.
    FrameClock m_logFrame;
    bool m_scanning = false;
    bool m_exporting = false;
    bool m_splitForGoogle = false; // nothing is kept between runs: off at start
    // The path box changed since the last scan began: that scan's ending enables nothing.
    bool m_pathChanged = false;
    bool m_settingPath = false; // Browse is putting the chosen book into the box
    bool m_stopRequested = false;
    bool m_closeWhenDone = false;
    bool m_exiting = false;
    bool m_unloaded = false;
};

} // namespace tarnwick::ui
