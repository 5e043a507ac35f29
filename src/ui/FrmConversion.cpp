#include "FrmConversion.h"

#include "Desktop.h"
#include "FrmConversionFace.h"
#include "FrmMainFace.h"
#include "export/ColumnCatalogue.h"
#include "export/SplitFileOutput.h"
#include "notes/SharedState.h"

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <vector>

namespace tarnwick::ui {

FrmConversion::FrmConversion(Desktop &desktop, notes::SessionFactory &notes, SharedState &state,
                             FrmMainFace &mainWindow, bool splitForGoogle)
    : m_desktop(desktop)
    , m_notes(notes)
    , m_state(state)
    , m_mainWindow(mainWindow)
    , m_splitForGoogle(splitForGoogle)
{
}

void FrmConversion::attach(FrmConversionFace &face)
{
    m_face = &face;
    std::vector<std::string> texts;
    for (const Column &column : ColumnCatalogue::columns())
        texts.emplace_back(column.header);
    face.setEntries(texts);
    face.setProgressRange(m_minimum, m_maximum);
    face.setProgressValue(m_minimum);
}

FrmConversionFace &FrmConversion::face()
{
    if (!m_face)
        throw std::logic_error("the field-choice window has no face");
    return *m_face;
}

void FrmConversion::ChkSelectAll_Click()
{
    const bool ticked = face().selectAllTicked();
    for (int i = 0; i < face().entryCount(); ++i)
        face().setTicked(i, ticked);
}

void FrmConversion::CmdConversion_Click()
{
    // The folder picker has no owner, so this window still takes clicks while it is open:
    // a second run started then would write over the first one's file under its feet.
    if (m_running)
        return;
    m_running = true;
    struct Finish
    {
        bool &running;
        ~Finish() { running = false; }
    } finish{m_running};
    m_frame.restart();
    std::unique_ptr<SplitFileOutput> parts;
    if (m_splitForGoogle)
        parts = std::make_unique<SplitFileOutput>(GoogleImportLimit);
    const auto result = RunContactsExport(*this, m_notes, m_state, parts.get());
    m_wroteParts = parts && result.ending == ExportEnding::Completed;
    ShowExportEnding(m_ending, m_face, result, parts.get(), m_state.ExportFilePath);
}

void FrmConversion::LblOpenExcelFile_Click()
{
    m_desktop.openOrExplain(m_wroteParts ? ExportFolder(m_state.ExportFilePath) : m_state.ExportFilePath);
}

std::string FrmConversion::browseForFolder(std::string_view title)
{
    return m_desktop.browseForFolder(std::string(title));
}

int FrmConversion::entryCount()
{
    return face().entryCount();
}

bool FrmConversion::isTicked(int position)
{
    return position >= 0 && position < face().entryCount() && face().isTicked(position);
}

std::string FrmConversion::entryText(int position)
{
    return position >= 0 && position < face().entryCount() ? face().entryText(position) : std::string();
}

std::string FrmConversion::notesDatabaseFile()
{
    return m_mainWindow.notesDatabaseFile();
}

void FrmConversion::setProgressRange(std::int32_t minimum, std::int32_t maximum)
{
    // An empty range would leave the bar without a position to show.
    m_minimum = minimum;
    m_maximum = std::max(maximum, minimum + 1);
    face().setProgressRange(m_minimum, m_maximum);
}

void FrmConversion::setProgressValue(std::int32_t value)
{
    // The book may have grown since the scan counted it.
    face().setProgressValue(std::clamp(value, m_minimum, m_maximum));
    keepPainted();
}

void FrmConversion::keepPainted()
{
    if (m_frame.due()) {
        m_desktop.repaintWindows();
        m_frame.yielded();
    }
}

void FrmConversion::setConversionEnabled(bool enabled)
{
    face().setConversionEnabled(enabled);
}

void FrmConversion::setProceedEnabled(bool enabled)
{
    m_mainWindow.setExportsEnabled(enabled);
}

void FrmConversion::showOpenLink()
{
    face().showOpenLink();
}

void FrmConversion::showMessage(std::string_view text, std::string_view title)
{
    m_ending.hold(m_face, text, title);
}

void FrmConversion::explainEnding(std::string_view reason)
{
    m_ending.explain(reason);
}

} // namespace tarnwick::ui
