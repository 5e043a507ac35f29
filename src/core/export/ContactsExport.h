#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace notes {
class SessionFactory;
}

namespace tarnwick {

class ExportHost;
class ExportOutput;
struct SharedState;

enum class ExportEnding {
    Cancelled,    // no folder chosen: nothing happened
    NothingTicked,
    NotesFailure, // no session, or the book could not be opened
    EmptyBook,    // the People view has no contact; no file written
    Failed,       // the file could not be written completely; any earlier file is untouched
    Completed,
};

// What the run writes: the ticked columns as "GMAILContacts.csv", or every value of every
// contact as vCard cards in "GMAILContacts.vcf".
enum class ExportFormat { Csv, VCard };

struct ExportResult
{
    ExportEnding ending = ExportEnding::Cancelled;
    std::int32_t rows = 0;
    std::string error; // for Failed: the path and the reason, as shown; for NotesFailure and
                       // EmptyBook: what failed, when something did (not shown)
};

// Where the rows go. The default writes a temporary file beside the target and renames it
// over the target only on commit; tests substitute one that fails on cue. The run writes
// the header line in one write (empty for a format without one) and then each contact's
// row, or card, in one write of its own.
class ExportOutput
{
public:
    virtual ~ExportOutput() = default;
    // Each throws std::runtime_error with a message naming the path and the reason.
    virtual void open(const std::string &path) = 0;
    virtual void write(std::string_view bytes) = 0;
    virtual void commit() = 0;
    // Drops whatever was written; never throws. Also what destruction without commit does.
    virtual void discard() noexcept = 0;
};

// Thrown by a commit that failed after some of the output's files had already taken their
// final names: its message says which, and the run then does not claim that nothing changed.
class PartlyReplaced : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

std::unique_ptr<ExportOutput> makeFileOutput();

// The second pass: asks the host for a folder, writes the ticked columns of every contact
// of the People view to "GMAILContacts.csv" there (or every contact's card to
// "GMAILContacts.vcf"), and reports the outcome to the host.
ExportResult RunContactsExport(ExportHost &host, notes::SessionFactory &notes, SharedState &state,
                               ExportOutput *output = nullptr, ExportFormat format = ExportFormat::Csv);

// "GMAILContacts.csv" or "GMAILContacts.vcf".
std::string_view exportFileName(ExportFormat format);

} // namespace tarnwick
