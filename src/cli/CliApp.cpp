#include "CliApp.h"

#include "ConsoleScanHost.h"
#include "notes/ContactScan.h"
#include "notes/NotesSessionFactory.h"
#include "notes/SharedState.h"

#include <exception>
#include <ostream>

namespace tarnwick::cli {

namespace {

constexpr const char *UsageText =
    "Usage: tarnwick-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  scan BOOK     List the contacts of the address book BOOK (a DXL export, or an\n"
    "                .nsf where a Notes client is installed), as the window's log does.\n"
    "\n"
    "Exit status: 0 done, 2 usage error, 3 the book has no contacts,\n"
    "4 Notes or the book could not be opened.\n";

} // namespace

CliApp::CliApp(std::ostream &out, std::ostream &err)
    : CliApp(out, err, nullptr)
{
}

CliApp::CliApp(std::ostream &out, std::ostream &err, notes::SessionFactory *notes)
    : m_out(out)
    , m_err(err)
    , m_notes(notes)
{
}

notes::SessionFactory &CliApp::notes()
{
    static notes::NotesSessionFactory platform;
    return m_notes ? *m_notes : platform;
}

int CliApp::run(int argc, char **argv)
{
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    return run(args);
}

int CliApp::run(const std::vector<std::string> &args)
{
    if (args.empty())
        return usage("no command given");
    const auto &command = args.front();
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    try {
        if (command == "--help" || command == "-h" || command == "help") {
            m_out << UsageText;
            return Ok;
        }
        if (command == "scan")
            return scan(rest);
        return usage("unknown command: " + command);
    } catch (const std::exception &error) {
        m_out.flush();
        m_err << "tarnwick-cli: " << error.what() << std::endl;
        return ExportFailed;
    }
}

int CliApp::usage(const std::string &problem)
{
    m_err << "tarnwick-cli: " << problem << "\n\n" << UsageText;
    return Usage;
}

int CliApp::scan(const std::vector<std::string> &args)
{
    if (args.size() != 1)
        return usage("scan takes exactly one address book");
    SharedState state;
    ConsoleScanHost host(args.front(), m_out, m_err);
    switch (ScanLotusNotesContacts(host, notes(), state)) {
    case ScanEnding::Completed:
        return Ok;
    case ScanEnding::EmptyBook:
        return EmptyBook;
    case ScanEnding::NotesUnavailable:
        return NotesUnavailable;
    case ScanEnding::Stopped:
        break;
    }
    return ExportFailed;
}

} // namespace tarnwick::cli
