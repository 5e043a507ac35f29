#pragma once

#include "export/ExportHost.h"

#include <array>
#include <iosfwd>
#include <string>

namespace tarnwick::cli {

// The export's host on a terminal: the folder and the ticked columns come from the command
// line; progress is drawn on stderr when it is a terminal.
class ConsoleExportHost final : public ExportHost
{
public:
    ConsoleExportHost(std::string book, std::string folder, std::array<bool, 28> ticked, std::ostream &out,
                      std::ostream &err, bool drawProgress);

    std::string browseForFolder(std::string_view) override { return m_folder; }
    int entryCount() override { return static_cast<int>(m_ticked.size()); }
    bool isTicked(int position) override { return m_ticked.at(static_cast<std::size_t>(position)); }
    std::string entryText(int position) override;
    std::string notesDatabaseFile() override { return m_book; }
    void setProgressRange(std::int32_t minimum, std::int32_t maximum) override;
    void setProgressValue(std::int32_t value) override;
    void setConversionEnabled(bool) override {}
    void setProceedEnabled(bool) override {}
    void showOpenLink() override {}
    void showMessage(std::string_view text, std::string_view title) override;
    void explainEnding(std::string_view reason) override;

private:
    void draw(std::int32_t value);
    void endProgress();

    std::string m_book;
    std::string m_folder;
    std::array<bool, 28> m_ticked;
    std::ostream &m_out;
    std::ostream &m_err;
    bool m_drawProgress;
    std::int32_t m_maximum = 0;
    int m_drawnPercent = -1;
};

} // namespace tarnwick::cli
