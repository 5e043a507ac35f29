#pragma once

namespace notes {
class SessionFactory;
}

namespace tarnwick {

class ScanHost;
struct SharedState;

// How a scan ended; the command-line tool turns it into its exit code.
enum class ScanEnding {
    Completed,        // the listing ran to its end
    EmptyBook,        // the People view gave no first entry
    NotesUnavailable, // no Notes session, or the book could not be opened
    Stopped,          // the host asked the scan to stop
};

// The first pass over the address book named by the host's path box: counts and lists
// every contact of the People view into the host's log, leaves the count in
// state.TotalContacts, and enables the host's proceed command when the listing completed.
ScanEnding ScanLotusNotesContacts(ScanHost &host, notes::SessionFactory &notes, SharedState &state);

} // namespace tarnwick
