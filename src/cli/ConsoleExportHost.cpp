#include "ConsoleExportHost.h"

#include "ConsoleScanHost.h"
#include "export/ColumnCatalogue.h"
#include "notes/Messages.h"

#include <algorithm>
#include <ostream>

namespace tarnwick::cli {

ConsoleExportHost::ConsoleExportHost(std::string book, std::string folder, std::array<bool, 28> ticked,
                                     std::ostream &out, std::ostream &err, bool drawProgress)
    : m_book(std::move(book))
    , m_folder(std::move(folder))
    , m_ticked(ticked)
    , m_out(out)
    , m_err(err)
    , m_drawProgress(drawProgress)
{
}

std::string ConsoleExportHost::entryText(int position)
{
    return std::string(ColumnCatalogue::columns().at(static_cast<std::size_t>(position)).header);
}

void ConsoleExportHost::setProgressRange(std::int32_t, std::int32_t maximum)
{
    m_maximum = maximum;
    draw(0);
}

void ConsoleExportHost::setProgressValue(std::int32_t value)
{
    draw(value);
}

// Redrawn only when the percentage changes: a terminal is slow next to the export.
void ConsoleExportHost::draw(std::int32_t value)
{
    if (!m_drawProgress || m_maximum <= 0)
        return;
    const auto clamped = std::clamp(value, 0, m_maximum);
    const int percent = static_cast<int>(static_cast<long long>(clamped) * 100 / m_maximum);
    if (percent == m_drawnPercent)
        return;
    m_drawnPercent = percent;
    constexpr int Width = 40;
    const int filled = percent * Width / 100;
    m_err << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
          << std::string(static_cast<std::size_t>(Width - filled), ' ') << "] " << percent << "% " << clamped << '/'
          << m_maximum << std::flush;
}

void ConsoleExportHost::endProgress()
{
    if (m_drawnPercent >= 0) {
        m_err << '\n';
        m_drawnPercent = -1;
    }
}

void ConsoleExportHost::explainEnding(std::string_view reason)
{
    ConsoleScanHost::printReason(m_err, reason);
}

void ConsoleExportHost::showMessage(std::string_view text, std::string_view title)
{
    endProgress();
    if (title == Messages::ConversionCompletedTitle)
        m_out << text << std::endl;
    else
        ConsoleScanHost::printMessage(m_err, text, title);
}

} // namespace tarnwick::cli
