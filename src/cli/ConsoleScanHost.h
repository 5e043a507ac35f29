#pragma once

#include "notes/ScanHost.h"

#include <iosfwd>
#include <string>

namespace tarnwick::cli {

// The scan's host on a terminal: the log goes to stdout a line each, the closing message
// to stderr as "TITLE: TEXT".
class ConsoleScanHost final : public ScanHost
{
public:
    ConsoleScanHost(std::string book, std::ostream &out, std::ostream &err);

    std::string notesDatabaseFile() override { return m_book; }
    void clearLog() override {}
    void appendLogLine(std::string_view line) override;
    void setProceedEnabled(bool) override {}
    void showMessage(std::string_view text, std::string_view title) override;
    bool processEvents() override { return true; }
    void explainEnding(std::string_view reason) override;

    // Message texts use "\r\n" between lines, as the windows show them; a terminal wants
    // its own line ends.
    static void printMessage(std::ostream &err, std::string_view text, std::string_view title);
    // Why a book could not be read, on a line of its own after the message.
    static void printReason(std::ostream &err, std::string_view reason);

private:
    std::string m_book;
    std::ostream &m_out;
    std::ostream &m_err;
};

} // namespace tarnwick::cli
