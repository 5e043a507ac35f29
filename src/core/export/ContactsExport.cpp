#include "ContactsExport.h"

#include "AtomicFileOutput.h"
#include "ColumnCatalogue.h"
#include "ExportHost.h"
#include "VCard.h"
#include "notes/BusyHook.h"
#include "notes/Messages.h"
#include "notes/NotesPass.h"
#include "notes/SharedState.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace tarnwick {

namespace {

enum class Route { NotesFailure, WalkFailure };

#ifdef _WIN32
constexpr char Separator = '\\';
bool endsWithSeparator(std::string_view p) { return p.ends_with('\\') || p.ends_with('/'); }
#else
constexpr char Separator = '/';
bool endsWithSeparator(std::string_view p) { return p.ends_with('/'); }
#endif

// RFC 4180: a value with a separator, a quote or a line break goes in quotes, its quotes
// doubled. Anything else is written as it stands, blanks included.
void appendField(std::string &line, std::string_view value)
{
    // A plain loop: find_first_of searches its four characters once for every byte.
    const bool needsQuotes = std::any_of(value.begin(), value.end(), [](char c) {
        return c == ',' || c == '"' || c == '\r' || c == '\n';
    });
    if (!needsQuotes) {
        line.append(value);
        return;
    }
    line.push_back('"');
    for (const char c : value) {
        if (c == '"')
            line.push_back('"');
        line.push_back(c);
    }
    line.push_back('"');
}

// A split export whose parts were partly renamed says itself which files changed.
std::string failureText(const std::string &reason, bool partlyReplaced = false)
{
    std::string text = "The contacts could not be saved.\r\n\r\n" + reason;
    if (!partlyReplaced)
        text += "\r\n\r\nNo file was written; any earlier file of that name is unchanged.";
    return text;
}

} // namespace

std::string_view exportFileName(ExportFormat format)
{
    return format == ExportFormat::Csv ? "GMAILContacts.csv" : "GMAILContacts.vcf";
}

std::unique_ptr<ExportOutput> makeFileOutput()
{
    return std::make_unique<AtomicFileOutput>();
}

ExportResult RunContactsExport(ExportHost &host, notes::SessionFactory &notes, SharedState &state,
                               ExportOutput *output, ExportFormat format)
{
    using N = notes::NotesObjects;
    const auto &catalogue = ColumnCatalogue::columns();
    const bool csv = format == ExportFormat::Csv;

    std::string folder = host.browseForFolder(csv ? Messages::FolderTitle : Messages::VCardFolderTitle);
    if (folder.empty())
        return {ExportEnding::Cancelled, 0, {}};
    std::string path = std::move(folder);
    if (!endsWithSeparator(path))
        path.push_back(Separator);
    path.append(exportFileName(format));

    // The header line; a vCard file has none, and every contact makes a card.
    std::string line;
    bool anyTicked = !csv;
    const int entries = csv ? host.entryCount() : 0;
    for (int i = 0; i < entries; ++i) {
        if (host.isTicked(i)) {
            appendField(line, host.entryText(i));
            if (i != entries - 1)
                line.push_back(',');
            anyTicked = true;
        }
    }
    if (!anyTicked) {
        host.showMessage(Messages::SelectFields, Messages::SelectFieldsTitle);
        return {ExportEnding::NothingTicked, 0, {}};
    }

    host.setProgressRange(0, state.TotalContacts);
    state.ExportFilePath = path;

    std::unique_ptr<ExportOutput> ownOutput;
    if (!output) {
        ownOutput = makeFileOutput();
        output = ownOutput.get();
    }

    PassErrorMode<Route> mode;
    N n;
    std::int32_t rows = 0;
    // Opening the view of a large book, and flushing a large file at the end, take a
    // while: the windows keep painting.
    notes::BusyHook busy([&host] { host.keepPainted(); });
    try {
        NotesPass::createSession(mode, n, notes, Route::NotesFailure);
        mode.run([&] { n.database = N::use(n.session, "session").GetDatabase("", host.notesDatabaseFile()); });

        NotesPass::openPeopleView(mode, n);

        if (!n.entry) {
            // Nothing to write: say so, and leave any earlier file alone.
            n.release();
            host.showMessage(Messages::EmptyBook, Messages::MakerTitle);
            if (!mode.firstFailure().empty())
                host.explainEnding(mode.firstFailure());
            return {ExportEnding::EmptyBook, 0, mode.firstFailure()};
        }

        // From here on every failure is the run's failure: a file with a contact missing
        // or cut short must not pass for a complete one.
        mode.routeFailuresTo(Route::WalkFailure);
        if (csv)
            line.append("\r\n");
        output->open(path);
        output->write(line);

        std::int32_t number = 1;
        for (;;) {
            line.clear();
            mode.run([&] {
                auto &document = N::use(n.document, "document");
                if (!csv)
                    return vcard::appendCard(line, document);
                for (std::size_t pos = 0; pos < catalogue.size(); ++pos) {
                    if (!host.isTicked(static_cast<int>(pos)))
                        continue;
                    appendField(line, N::firstValue(document, catalogue[pos].item));
                    if (pos != ColumnCatalogue::LastPosition)
                        line.push_back(',');
                }
            });
            if (csv)
                line.append("\r\n");
            output->write(line);
            ++rows;

            mode.run([&] { n.entry = N::use(n.navigator, "navigator").GetNextDocument(N::use(n.entry, "entry")); });
            if (!n.entry)
                break; // the end of the view
            mode.run([&] { n.document = N::use(n.entry, "entry").Document(); });
            if (number == std::numeric_limits<std::int32_t>::max())
                throw std::runtime_error("too many contacts");
            ++number;
            host.setProgressValue(number);
        }

        n.release();
        output->commit();
    } catch (const PassErrorMode<Route>::Routed &routed) {
        n.release();
        output->discard();
        if (routed.ending == Route::NotesFailure) {
            host.showMessage(Messages::ExportNotesFailure, Messages::MakerTitle);
            host.explainEnding(routed.reason);
            return {ExportEnding::NotesFailure, 0, routed.reason};
        }
        const std::string reason = path + ": cannot read contact " + std::to_string(rows + 1) +
                                   " of the address book: " + routed.reason;
        host.showMessage(failureText(reason), Messages::ExportFailedTitle);
        return {ExportEnding::Failed, rows, reason};
    } catch (const std::exception &error) {
        n.release();
        output->discard();
        host.showMessage(failureText(error.what(), dynamic_cast<const PartlyReplaced *>(&error) != nullptr),
                         Messages::ExportFailedTitle);
        return {ExportEnding::Failed, rows, error.what()};
    }

    host.setConversionEnabled(false);
    host.setProceedEnabled(false);
    host.showOpenLink();
    host.showMessage(std::to_string(rows) + std::string(Messages::ContactsSaved), Messages::ConversionCompletedTitle);
    return {ExportEnding::Completed, rows, {}};
}

} // namespace tarnwick
