#include "CliApp.h"

#include "ConsoleExportHost.h"
#include "ConsoleScanHost.h"
#include "export/ColumnCatalogue.h"
#include "export/ContactsExport.h"
#include "export/SplitFileOutput.h"
#include "notes/NotesPass.h"
#include "notes/ContactScan.h"
#include "notes/NotesSessionFactory.h"
#include "notes/SharedState.h"

#include <array>
#include <charconv>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>

namespace tarnwick::cli {

namespace {

constexpr const char *UsageText =
    "Usage: tarnwick-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  scan BOOK     List the contacts of the address book BOOK (a DXL export, or an\n"
    "                .nsf where a Notes client is installed), as the window's log does.\n"
    "  export BOOK FOLDER [--columns \"First Name,E-mail Address,...\"] [--split N]\n"
    "         [--format csv|vcard]\n"
    "                Write FOLDER/GMAILContacts.csv with the named columns (all 28\n"
    "                when --columns is absent).\n"
    "                --format vcard: write FOLDER/GMAILContacts.vcf instead, a vCard\n"
    "                3.0 card a contact with every value of every item.\n"
    "                --split N: write GMAILContacts-1.csv, GMAILContacts-2.csv, ...\n"
    "                (or .vcf) instead, N contacts each at most (Google Contacts\n"
    "                imports at most 3000 contacts from one file).\n"
    "  columns       List the 28 column names, in file order.\n"
    "\n"
    "Exit status: 0 done, 1 the file could not be written, 2 usage error,\n"
    "3 the book has no contacts, 4 Notes or the book could not be opened.\n";

// Splits "A,B,C" into the catalogue's tick states; an unknown name is a usage error.
bool parseColumns(const std::string &list, std::array<bool, ColumnCatalogue::Size> &ticked, std::string &unknown)
{
    ticked.fill(false);
    std::size_t start = 0;
    for (;;) {
        const auto comma = list.find(',', start);
        const auto name = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const auto position = ColumnCatalogue::positionOf(name);
        if (!position) {
            unknown = name;
            return false;
        }
        ticked[*position] = true;
        if (comma == std::string::npos)
            return true;
        start = comma + 1;
    }
}

// A whole number of at least 1, digits only.
std::optional<std::int32_t> parseCount(const std::string &text)
{
    std::int32_t value = 0;
    const auto *end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || value < 1)
        return std::nullopt;
    return value;
}

bool fileExists(const std::string &utf8)
{
    std::error_code ec;
    return std::filesystem::exists(
        std::filesystem::path(std::u8string(reinterpret_cast<const char8_t *>(utf8.data()), utf8.size())), ec);
}

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
        if (command == "export")
            return exportContacts(rest);
        if (command == "columns")
            return columns(rest);
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

namespace tarnwick::cli {

int CliApp::columns(const std::vector<std::string> &args)
{
    if (!args.empty())
        return usage("columns takes no arguments");
    for (const auto &column : ColumnCatalogue::columns())
        m_out << column.header << '\n';
    return Ok;
}

// The window's export takes its progress maximum from the scan before it; the tool has had
// none, so it counts the view itself, and only when a bar will be drawn.
std::int32_t CliApp::countPeople(const std::string &book)
{
    notes::NotesObjects n;
    try {
        n.session = notes().CreateSession(NotesPass::FallbackProgId);
        n.database = n.session->GetDatabase("", book);
        n.view = n.database->GetView("People");
        n.navigator = n.view->CreateViewNav();
        return n.navigator->Count();
    } catch (const notes::NotesError &) {
        return 0;
    }
}

int CliApp::exportContacts(const std::vector<std::string> &args)
{
    std::vector<std::string> positional;
    std::array<bool, ColumnCatalogue::Size> ticked;
    ticked.fill(true);
    std::optional<std::int32_t> split;
    ExportFormat format = ExportFormat::Csv;
    bool columnsNamed = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string list;
        if (args[i] == "--format" || args[i].rfind("--format=", 0) == 0) {
            if (args[i] == "--format" && i + 1 == args.size())
                return usage("--format needs csv or vcard");
            const auto name = args[i] == "--format" ? args[++i] : args[i].substr(9);
            if (name != "csv" && name != "vcard")
                return usage("--format takes csv or vcard, not \"" + name + "\"");
            format = name == "csv" ? ExportFormat::Csv : ExportFormat::VCard;
            continue;
        }
        if (args[i] == "--split" || args[i].rfind("--split=", 0) == 0) {
            if (args[i] == "--split" && i + 1 == args.size())
                return usage("--split needs the number of contacts a file may hold");
            const auto text = args[i] == "--split" ? args[++i] : args[i].substr(8);
            split = parseCount(text);
            if (!split)
                return usage("--split needs a whole number of at least 1, not \"" + text + "\"");
            continue;
        }
        if (args[i] == "--columns") {
            if (i + 1 == args.size())
                return usage("--columns needs a list of column names");
            list = args[++i];
        } else if (args[i].rfind("--columns=", 0) == 0) {
            list = args[i].substr(10);
        } else {
            positional.push_back(args[i]);
            continue;
        }
        std::string unknown;
        if (!parseColumns(list, ticked, unknown))
            return usage("unknown column: \"" + unknown + "\" (see tarnwick-cli columns)");
        columnsNamed = true;
    }
    // A card holds every value: columns chosen for it would be silently ignored.
    if (columnsNamed && format == ExportFormat::VCard)
        return usage("--columns applies to the CSV only; a vCard holds every value");
    if (positional.size() != 2)
        return usage("export takes an address book and a folder");
    if (positional[1].empty())
        return usage("the folder must not be empty");

    SharedState state;
    if (m_stderrIsTerminal)
        state.TotalContacts = countPeople(positional[0]);
    ConsoleExportHost host(positional[0], positional[1], ticked, m_out, m_err, m_stderrIsTerminal);
    std::unique_ptr<SplitFileOutput> parts;
    if (split)
        parts = std::make_unique<SplitFileOutput>(*split);
    const auto result = RunContactsExport(host, notes(), state, parts.get(), format);
    switch (result.ending) {
    case ExportEnding::Completed:
        if (!parts && result.rows > GoogleImportLimit)
            m_err << "tarnwick-cli: warning: " << result.rows << " contacts in one file; Google Contacts imports at most "
                  << GoogleImportLimit << " from a file. Use --split " << GoogleImportLimit
                  << " to write files of that many contacts each.\n";
        // A part left by a longer earlier export would be imported with the new ones.
        if (parts && fileExists(SplitFileOutput::partPath(state.ExportFilePath, parts->parts() + 1)))
            m_err << "tarnwick-cli: warning: "
                  << SplitFileOutput::partPath(state.ExportFilePath, parts->parts() + 1)
                  << " and any later part are from an earlier export; this one wrote " << parts->parts()
                  << ". Remove them before importing.\n";
        return Ok;
    case ExportEnding::EmptyBook:
        return EmptyBook;
    case ExportEnding::NotesFailure:
        return NotesUnavailable;
    case ExportEnding::NothingTicked:
    case ExportEnding::Cancelled:
        return Usage;
    case ExportEnding::Failed:
        break;
    }
    return ExportFailed;
}

} // namespace tarnwick::cli
