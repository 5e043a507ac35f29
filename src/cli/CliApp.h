#pragma once

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

    int run(int argc, char **argv);
    int run(const std::vector<std::string> &args);

private:
    int scan(const std::vector<std::string> &args);
    int usage(const std::string &problem);
    notes::SessionFactory &notes();

    std::ostream &m_out;
    std::ostream &m_err;
    notes::SessionFactory *m_notes;
};

} // namespace tarnwick::cli
