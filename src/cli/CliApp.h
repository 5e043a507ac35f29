#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace notes {
class SessionFactory;
}

namespace tarnwick::cli {

// tarnwick-cli: the scan and the export run of the windows, for scripts.
class CliApp
{
public:
    enum ExitCode {
        Ok = 0,
        ExportFailed = 1,
        Usage = 2,
        EmptyBook = 3,
        NotesUnavailable = 4,
    };

    CliApp(std::ostream &out, std::ostream &err);
    // notes: the Notes to use; null for the platform's.
    CliApp(std::ostream &out, std::ostream &err, notes::SessionFactory *notes);

    // Progress bars are drawn on stderr only when a person watches it.
    void setStderrIsTerminal(bool terminal) { m_stderrIsTerminal = terminal; }

    int run(int argc, char **argv);
    int run(const std::vector<std::string> &args);

private:
    int scan(const std::vector<std::string> &args);
    int exportContacts(const std::vector<std::string> &args);
    int columns(const std::vector<std::string> &args);
    std::int32_t countPeople(const std::string &book);
    int usage(const std::string &problem);
    notes::SessionFactory &notes();

    std::ostream &m_out;
    std::ostream &m_err;
    notes::SessionFactory *m_notes;
    bool m_stderrIsTerminal = false;
};

} // namespace tarnwick::cli
