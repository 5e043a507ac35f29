#pragma once

#include "EndingMessage.h"
#include "FrameClock.h"
#include "export/ContactsExport.h"
#include "export/ExportHost.h"

#include <cstdint>
#include <string>

namespace notes {
class SessionFactory;
}

namespace tarnwick {
struct SharedState;
}

namespace tarnwick::ui {

class Desktop;
class FrmConversionFace;
class FrmMainFace;

// The field-choice window's behaviour: the user ticks the columns, starts the export
// and, once it has finished, opens the written file. It is the export run's host.
class FrmConversion final : private ExportHost
{
public:
    // splitForGoogle: File > "Split into Files of 3,000 for Google" is ticked.
    FrmConversion(Desktop &desktop, notes::SessionFactory &notes, SharedState &state, FrmMainFace &mainWindow,
                  bool splitForGoogle = false);
    FrmConversion(const FrmConversion &) = delete;
    FrmConversion &operator=(const FrmConversion &) = delete;

    // The widgets; fills the column list. Set once, before any command runs.
    void attach(FrmConversionFace &face);

    void ChkSelectAll_Click();
    void CmdConversion_Click();
    void LblOpenExcelFile_Click();

    // How often, at most, a running export repaints the windows.
    void setFrameInterval(FrameClock::Duration interval) { m_frame.setInterval(interval); }

private:
    // ExportHost
    std::string browseForFolder(std::string_view title) override;
    int entryCount() override;
    bool isTicked(int position) override;
    std::string entryText(int position) override;
    std::string notesDatabaseFile() override;
    void setProgressRange(std::int32_t minimum, std::int32_t maximum) override;
    void setProgressValue(std::int32_t value) override;
    void setConversionEnabled(bool enabled) override;
    void setProceedEnabled(bool enabled) override;
    void showOpenLink() override;
    void showMessage(std::string_view text, std::string_view title) override;
    void explainEnding(std::string_view reason) override;
    void keepPainted() override;

    FrmConversionFace &face();

    Desktop &m_desktop;
    notes::SessionFactory &m_notes;
    SharedState &m_state;
    FrmMainFace &m_mainWindow;
    FrmConversionFace *m_face = nullptr;
    const bool m_splitForGoogle;
    EndingMessage m_ending{m_desktop};
    // The last run wrote parts: the link opens their folder.
    bool m_wroteParts = false;
    std::int32_t m_minimum = 0;
    std::int32_t m_maximum = 100;
    // The run takes no input, so the windows are repainted by hand, once a frame at most.
    FrameClock m_frame;
    bool m_running = false;
};

} // namespace tarnwick::ui
