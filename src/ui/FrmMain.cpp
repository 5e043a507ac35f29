#include "FrmMain.h"

#include "Desktop.h"
#include "FrmConversion.h"
#include "FrmMainFace.h"
#include "ShellTargets.h"
#include "TarnwickConfig.h"
#include "export/ContactsExport.h"
#include "export/ExportHost.h"
#include "export/SplitFileOutput.h"
#include "notes/ContactScan.h"
#include "notes/Messages.h"
#include "notes/SharedState.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <utility>

namespace tarnwick::ui {

// The vCard export's host. The main window has no column list, no bar and no link: the
// run's progress goes into the title bar, where it changes nothing of the layout and
// leaves the log as the scan wrote it, and the windows are repainted once a frame.
class FrmMain::VCardExport final : public ExportHost
{
public:
    explicit VCardExport(FrmMain &window)
        : m_window(window)
        , m_book(window.notesDatabaseFile())
    {
    }
    ~VCardExport() override { restoreCaption(); }
    VCardExport(const VCardExport &) = delete;
    VCardExport &operator=(const VCardExport &) = delete;

    std::string browseForFolder(std::string_view title) override
    {
        return m_window.m_desktop.browseForFolder(std::string(title));
    }
    int entryCount() override { return 0; }
    bool isTicked(int) override { return false; }
    std::string entryText(int) override { return {}; }
    // The book as the command found it: the folder picker has no owner, so the path box
    // takes typing while it is open.
    std::string notesDatabaseFile() override { return m_book; }
    void setProgressRange(std::int32_t minimum, std::int32_t maximum) override
    {
        m_minimum = minimum;
        m_maximum = std::max(maximum, minimum + 1);
        show(minimum);
    }
    void setProgressValue(std::int32_t value) override
    {
        show(value);
        keepPainted();
    }
    void setConversionEnabled(bool) override {}
    void setProceedEnabled(bool enabled) override { m_window.face().setExportsEnabled(enabled); }
    void showOpenLink() override {}
    void showMessage(std::string_view text, std::string_view title) override
    {
        restoreCaption();
        m_window.m_ending.hold(m_window.m_face, text, title);
    }
    void explainEnding(std::string_view reason) override { m_window.m_ending.explain(reason); }
    void keepPainted() override
    {
        if (m_window.m_frame.due()) {
            m_window.m_desktop.repaintWindows();
            m_window.m_frame.yielded();
        }
    }

private:
    // The caption changes only when the percentage does: a title bar is slow to redraw.
    void show(std::int32_t value)
    {
        const auto done = static_cast<long long>(std::clamp(value, m_minimum, m_maximum) - m_minimum);
        const int percent = static_cast<int>(done * 100 / (m_maximum - m_minimum));
        if (percent == m_shown)
            return;
        m_shown = percent;
        m_window.face().setCaption(std::string(Caption) + " - Saving vCard " + std::to_string(percent) + "%");
    }
    void restoreCaption()
    {
        if (std::exchange(m_shown, -1) != -1)
            m_window.face().setCaption(Caption);
    }

    FrmMain &m_window;
    const std::string m_book;
    std::int32_t m_minimum = 0;
    std::int32_t m_maximum = 1;
    int m_shown = -1;
};

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
    // A second scan inside the first would pull the book out from under it, and one while
    // the export's folder picker is open would change the book the export reads.
    if (m_scanning || m_exporting)
        return;
    CDlg.ShowOpen(m_desktop, face());
    face().setExportsEnabled(false);
    // The box tells of this change as of any other; it is not the user's.
    m_settingPath = true;
    face().setNotesDatabaseFile(CDlg.FileName());
    m_settingPath = false;
    if (!face().notesDatabaseFile().empty())
        ScanLotusNotesContacts();
}

void FrmMain::mnuOpen_Click()
{
    CmdBrowse_Click();
}

void FrmMain::txtNotesDatabaseFile_Change()
{
    if (m_settingPath)
        return;
    m_pathChanged = true;
    face().setExportsEnabled(false);
}

void FrmMain::mnuSplitForGoogle_Click()
{
    m_splitForGoogle = !m_splitForGoogle;
    face().setSplitForGoogleChecked(m_splitForGoogle);
}

void FrmMain::mnuExportVCard_Click()
{
    // The folder picker has no owner, so this window still takes clicks while it is open.
    if (m_scanning || m_exporting)
        return;
    m_exporting = true;
    m_frame.restart();
    {
        struct Finish
        {
            bool &exporting;
            ~Finish() { exporting = false; }
        } finish{m_exporting};
        VCardExport host(*this);
        std::unique_ptr<SplitFileOutput> parts;
        if (m_splitForGoogle)
            parts = std::make_unique<SplitFileOutput>(GoogleImportLimit);
        const auto result = RunContactsExport(host, m_notes, m_state, parts.get(), ExportFormat::VCard);
        ShowExportEnding(m_ending, m_face, result, parts.get(), m_state.ExportFilePath);
    }
    closeIfAsked();
}

void FrmMain::CmdContactsCreate_Click()
{
    if (m_exporting)
        return;
    // A fresh window each time: every opening starts from nothing ticked.
    FrmConversion conversion(m_desktop, m_notes, m_state, face(), m_splitForGoogle);
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
    if ((m_scanning || m_exporting) && !m_exiting) {
        // The pass holds the book; a scan stops at its next yield, and the close follows.
        m_stopRequested = true;
        m_closeWhenDone = true;
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
    m_pathChanged = false;
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
        m_ending.show();
    }
    closeIfAsked();
}

void FrmMain::closeIfAsked()
{
    if (m_closeWhenDone) {
        m_closeWhenDone = false;
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
    // The scan enables once the user has closed its message.
    m_ending.show();
    face().setExportsEnabled(enabled && !m_pathChanged);
}

void FrmMain::showMessage(std::string_view text, std::string_view title)
{
    flushLog();
    m_ending.hold(m_face, text, title);
}

void FrmMain::explainEnding(std::string_view reason)
{
    m_ending.explain(reason);
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
        m_frame.yielded();
    }
    return !m_stopRequested;
}

} // namespace tarnwick::ui
