#include "ContactScan.h"

#include "BusyHook.h"
#include "Messages.h"
#include "NotesPass.h"
#include "ScanHost.h"
#include "SessionFactory.h"
#include "SharedState.h"

#include <cstdint>
#include <limits>
#include <string>

namespace tarnwick {

namespace {

enum class Route { NotesUnavailable, Completion };

struct StopRequested
{
};

} // namespace

ScanEnding ScanLotusNotesContacts(ScanHost &host, notes::SessionFactory &notes, SharedState &state)
{
    using N = notes::NotesObjects;
    PassErrorMode<Route> mode;
    N n;
    auto yield = [&host] {
        if (!host.processEvents())
            throw StopRequested{};
    };
    // Opening the view of a large book takes a while: the window keeps painting. A stop
    // asked for meanwhile is honoured at the next yield.
    notes::BusyHook busy([&host] { (void)host.processEvents(); });
    // Even writing a line can fail (memory): that step then fails like any other.
    auto log = [&](const std::string &line) { mode.run([&] { host.appendLogLine(line); }); };

    try {
        host.clearLog();
        log("Reading Lotus Notes Address Book...");
        mode.skipFailures();
        yield();
        log("Initializing Lotus Notes...");
        log("Please wait...");

        NotesPass::createSession(mode, n, notes, Route::NotesUnavailable);
        mode.run([&] { n.database = N::use(n.session, "session").GetDatabase("", host.notesDatabaseFile()); });
        log("Source File : " + host.notesDatabaseFile());
        mode.run([&] { (void)N::use(n.database, "database").Title(); });

        NotesPass::openPeopleView(mode, n);
        mode.run([&] {
            host.appendLogLine("Total Contacts Found : " + std::to_string(N::use(n.navigator, "navigator").Count()));
        });
        std::int32_t number = 1;
        mode.run([&] { state.TotalContacts = N::use(n.navigator, "navigator").Count(); });
        log("Listing Found Contacts...");
        log(std::string(70, '-'));
        yield();

        // Kept across contacts: a value that cannot be read keeps the one before it.
        std::string firstName, middleInitial, lastName, mailAddress;
        std::string line;
        while (n.entry) {
            yield();
            mode.run([&] { firstName = N::firstValue(N::use(n.document, "document"), "FirstName"); });
            mode.run([&] { middleInitial = N::firstValue(N::use(n.document, "document"), "MiddleInitial"); });
            mode.run([&] { lastName = N::firstValue(N::use(n.document, "document"), "LastName"); });
            mode.run([&] { mailAddress = N::firstValue(N::use(n.document, "document"), "MailAddress"); });

            mode.run([&] {
                line.assign(std::to_string(number)).append(" : ").append(firstName).append(" ");
                if (!middleInitial.empty())
                    line.append(middleInitial).append(" ");
                line.append(lastName).append(" - ").append(mailAddress);
                host.appendLogLine(line);
            });

            mode.run([&] { n.entry = N::use(n.navigator, "navigator").GetNextDocument(N::use(n.entry, "entry")); });
            mode.routeFailuresTo(Route::Completion);
            mode.run([&] { n.document = N::use(n.entry, "entry").Document(); });
            mode.run([&] {
                if (number == std::numeric_limits<std::int32_t>::max())
                    throw notes::NotesError("too many contacts to number");
                ++number;
            });
        }

        n.release();
        host.showMessage(Messages::EmptyBook, Messages::MakerTitle);
        if (!mode.firstFailure().empty())
            host.explainEnding(mode.firstFailure());
        return ScanEnding::EmptyBook;
    } catch (const PassErrorMode<Route>::Routed &routed) {
        // The walk's end is the Document of no entry; with an entry still in hand, something
        // else ended the listing (Notes gone, a document deleted, a value unreadable).
        const bool cutShort = n.entry != nullptr;
        n.release();
        if (routed.ending == Route::Completion) {
            host.showMessage(Messages::ScanCompleted, Messages::MakerTitle);
            if (cutShort)
                host.explainEnding(routed.reason);
            host.setProceedEnabled(true);
            return ScanEnding::Completed;
        }
        host.showMessage(Messages::notesUnavailable(), Messages::NotesUnavailableTitle);
        host.explainEnding(routed.reason);
        host.setProceedEnabled(false);
        return ScanEnding::NotesUnavailable;
    } catch (const StopRequested &) {
        n.release();
        return ScanEnding::Stopped;
    }
}

} // namespace tarnwick
