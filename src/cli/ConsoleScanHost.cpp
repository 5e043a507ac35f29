#include "ConsoleScanHost.h"

#include <ostream>

namespace tarnwick::cli {

ConsoleScanHost::ConsoleScanHost(std::string book, std::ostream &out, std::ostream &err)
    : m_book(std::move(book))
    , m_out(out)
    , m_err(err)
{
}

void ConsoleScanHost::appendLogLine(std::string_view line)
{
    m_out << line << '\n';
}

void ConsoleScanHost::showMessage(std::string_view text, std::string_view title)
{
    m_out.flush();
    printMessage(m_err, text, title);
}

void ConsoleScanHost::explainEnding(std::string_view reason)
{
    printReason(m_err, reason);
}

void ConsoleScanHost::printReason(std::ostream &err, std::string_view reason)
{
    err << "Reason: " << reason << std::endl;
}

void ConsoleScanHost::printMessage(std::ostream &err, std::string_view text, std::string_view title)
{
    err << title << ": ";
    for (std::size_t start = 0;;) {
        const auto end = text.find("\r\n", start);
        err << text.substr(start, end - start);
        if (end == std::string_view::npos)
            break;
        err << '\n';
        start = end + 2;
    }
    err << std::endl;
}

} // namespace tarnwick::cli
