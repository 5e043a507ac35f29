#include "FrmMain.h"

#include "Desktop.h"
#include "FrmConversion.h"
#include "FrmMainFace.h"
#include "ShellTargets.h"
#include "TarnwickConfig.h"
#include "notes/ContactScan.h"
#include "notes/Messages.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace tarnwick::ui {

FrmMain::FrmMain(Desktop &desktop, notes::SessionFactory &notes, SharedState &state)
    : m_desktop(desktop)
    , m_notes(notes)
    , m_state(state)
{
    // Filter entries: the DXL reader must be reachable from the dialog as well as Notes.
    CDlg.Filter = OpenFileFilter;
}

void FrmMain::attach(FrmMainFace &face)
{
    m_face = &face;
}

FrmMainFace &FrmMain::face()
{
    if (!m_face)
        throw std::logic_error("the main window has no face");
    return *m_face;
}

// --- Commands ---------------------------------------------------------------------------

void FrmMain::CmdBrowse_Click()
{
    // A second scan inside the first would pull the book out from under it.
    if (m_scanning)
        return;
    CDlg.ShowOpen(m_desktop, face());
    face().setProceedEnabled(false);
    face().setNotesDatabaseFile(CDlg.FileName());
    if (!face().notesDatabaseFile().empty())
        ScanLotusNotesContacts();
}

void FrmMain::mnuOpen_Click()
{
    CmdBrowse_Click();
}

void FrmMain::CmdContactsCreate_Click()
{
    // A fresh window each time: every opening starts from nothing ticked.
    FrmConversion conversion(m_desktop, m_notes, m_state, face());
    m_desktop.runConversionWindow(face(), conversion);
}

void FrmMain::mnuContents_Click()
{
    const std::string path = m_desktop.helpDocumentPath();
    m_desktop.openHelp(face(), path, [desktop = &m_desktop, path] {
        desktop->showMessage(nullptr, CannotOpenHelpMessage(path), std::string(Messages::MakerTitle));
    });
}

void FrmMain::mnuWebsite_Click()
{
    m_desktop.openOrExplain(config::ProductPageUrl);
}

void FrmMain::LabelSiteFooter_Click()
{
    m_desktop.openOrExplain(config::ProductPageUrl);
}

void FrmMain::mnuAbout_Click()
{
    m_desktop.runAboutBox(face());
}

void FrmMain::mnuExit_Click()
{
    m_exiting = true;
    m_stopRequested = true; // a running scan lets go of the book at its next yield
    face().closeWindow();
    m_desktop.exitProgram();
}

bool FrmMain::Form_QueryUnload()
{
    if (m_scanning && !m_exiting) {
        // The scan holds the book; it stops at its next yield and the close follows.
        m_stopRequested = true;
        m_closeAfterScan = true;
        return false;
    }
    if (!m_unloaded) {
        m_unloaded = true;
        // The program is on its way out: nobody is left to read a failure.
        m_desktop.shellOpen(config::ClosingPageUrl, nullptr);
    }
    return true;
}

// --- The scan ---------------------------------------------------------------------------

void FrmMain::ScanLotusNotesContacts()
{
    m_scanning = true;
    m_stopRequested = m_exiting;
    m_pendingLog.clear();
    // The first yield always reaches the desktop, so whatever covered the window (the
    // file dialog) is repainted before the book is read.
    m_frame.restart();
    m_logFrame.restart();
    m_logFrame.setInterval(m_frame.interval());
    struct Finish
    {
        FrmMain &window;
        ~Finish()
        {
            window.flushLog();
            window.m_scanning = false;
        }
    };
    {
        Finish finish{*this};
        tarnwick::ScanLotusNotesContacts(*this, m_notes, m_state);
    }
    if (m_closeAfterScan) {
        m_closeAfterScan = false;
        face().closeWindow();
    }
}

std::string FrmMain::notesDatabaseFile()
{
    return face().notesDatabaseFile();
}

void FrmMain::clearLog()
{
    m_pendingLog.clear();
    m_pendingLines = 0;
    face().clearLog();
}

void FrmMain::appendLogLine(std::string_view line)
{
    m_pendingLog.append(line).append("\r\n");
    ++m_pendingLines;
}

void FrmMain::flushLog()
{
    if (m_pendingLog.empty())
        return;
    const auto start = std::chrono::steady_clock::now();
    face().appendLog(m_pendingLog);
    const auto took = std::chrono::steady_clock::now() - start;
    const std::size_t lines = m_pendingLines;
    m_pendingLog.clear();
    m_pendingLines = 0;
    if (const auto frame = m_frame.interval(); frame > FrameClock::Duration::zero())
        m_logFrame.setInterval(std::max(frame, 3 * took));
    // Windows' edit box under Wine takes longer per line the more it holds: the budget
    // follows what the last flush took, towards FlushTarget, a quarter at a time.
    if (lines + 1 >= m_flushLines) {
        if (took > FlushTarget * 5 / 4)
            m_flushLines = std::max<std::size_t>(MinFlushLines, m_flushLines * 3 / 4);
        else if (took < FlushTarget * 3 / 4)
            m_flushLines = std::min<std::size_t>(65536, m_flushLines * 5 / 4);
    }
}

void FrmMain::setProceedEnabled(bool enabled)
{
    face().setProceedEnabled(enabled);
}

void FrmMain::showMessage(std::string_view text, std::string_view title)
{
    flushLog();
    m_desktop.showMessage(m_face, std::string(text), std::string(title));
}

bool FrmMain::processEvents()
{
    // A log that fell behind by a flush's worth is shown now, and the windows painted,
    // before the scan goes on.
    const bool behind = m_pendingLines >= m_flushLines;
    if (!m_stopRequested && (m_frame.due() || behind)) {
        if (m_logFrame.due() || behind)
            flushLog();
        m_desktop.processEvents();
    }
    return !m_stopRequested;
}

} // namespace tarnwick::ui
