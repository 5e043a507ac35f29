#include "MemoryNotes.h"
#include "RecordingHost.h"
#include "notes/BusyHook.h"
#include "notes/ContactScan.h"
#include "notes/Messages.h"
#include "notes/SharedState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <thread>

using namespace tarnwick;

namespace {

const std::string Book = "/books/names.nsf";
const std::string Rule(70, '-');
const std::vector<std::string> Opening = {"Reading Lotus Notes Address Book...", "Initializing Lotus Notes...",
                                          "Please wait...", "Source File : " + Book};
const std::string Ann = "1 : Ann Q Carter - ann@example.com";
const std::vector<std::string> ClientOrder = {"release entry",    "release navigator", "release view",
                                              "release document", "release database",  "release session"};

std::vector<std::string> concat(std::vector<std::string> a, const std::vector<std::string> &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The whole log of a scan that opened the book: the count, the rule and these lines.
std::vector<std::string> listed(const std::vector<std::string> &lines)
{
    return concat(concat(Opening, {"Total Contacts Found : 2", "Listing Found Contacts...", Rule}), lines);
}

// Every way a scan can end: what it leaves in the log, the message, "Proceed" and the
// count, and that it lets go of every Notes object.
TEST(ScanTest, Endings)
{
    // A name, the set-up, the ending, the log, the message (empty: none), Proceed's changes
    // (enabled only at completion; the Notes ending disables it) and the count (7 is the
    // earlier scan's).
    using Case = std::tuple<const char *, std::function<void(MemoryNotes &, RecordingHost &)>, ScanEnding,
                            std::vector<std::string>, std::string, std::vector<bool>, std::int32_t>;
    const auto none = [](MemoryNotes &, RecordingHost &) {};
    const std::string completed = "Korvane Software: Notes Address Book Scan Completed",
                      empty = "Korvane Software: File does not seems to be a valid address book or is empty.",
                      unavailable = "Notes Not Installed/Configured: " + Messages::notesUnavailable();
    const std::vector<std::string> opening(Opening.begin(), Opening.end() - 1), both = listed({Ann, "2 :  Lee - "});
    const std::vector<Case> cases = {
        {"lists every contact", none, ScanEnding::Completed, both, completed, {true}, 2},
        {"second class, silently", [](MemoryNotes &n, RecordingHost &) { n.registered = {"Notes.NotesSession"}; },
         ScanEnding::Completed, both, completed, {true}, 2},
        {"no class", [](MemoryNotes &n, RecordingHost &) { n.registered.clear(); }, ScanEnding::NotesUnavailable,
         opening, unavailable, {false}, 7},
        // After the fallback, Notes failing and memory running out end the same way.
        {"database fails after fallback",
         [](MemoryNotes &n, RecordingHost &) { n.registered = {"Notes.NotesSession"}, n.fail("GetDatabase"); },
         ScanEnding::NotesUnavailable, opening, unavailable, {false}, 7},
        {"title out of memory after fallback",
         [](MemoryNotes &n, RecordingHost &) { n.registered = {"Notes.NotesSession"}, n.runOutOfMemory("Title"); },
         ScanEnding::NotesUnavailable, Opening, unavailable, {false}, 7},
        // Not reported by itself: no count line, the earlier count stays.
        {"database fails with the first class", [](MemoryNotes &n, RecordingHost &) { n.fail("GetDatabase"); },
         ScanEnding::EmptyBook, concat(Opening, {"Listing Found Contacts...", Rule}), empty, {}, 7},
        {"no People view", [](MemoryNotes &n, RecordingHost &) { n.fail("GetView"); }, ScanEnding::EmptyBook,
         concat(Opening, {"Listing Found Contacts...", Rule}), empty, {}, 7},
        {"empty view", [](MemoryNotes &n, RecordingHost &) { n.books[Book].people.clear(); },
         ScanEnding::EmptyBook, concat(Opening, {"Total Contacts Found : 0", "Listing Found Contacts...", Rule}),
         empty, {}, 0},
        {"first next fails: the first contact twice",
         [](MemoryNotes &n, RecordingHost &) { n.fail("GetNextDocument", 1); }, ScanEnding::Completed,
         listed({Ann, "2 : Ann Q Carter - ann@example.com", "3 :  Lee - "}), completed, {true}, 2},
        // The first contact is read in the forgiving mode: the value is empty, the line
        // stays. From the second on, a failure ends the listing as completed. Memory
        // running out fails a step as Notes does.
        {"unreadable values",
         [](MemoryNotes &n, RecordingHost &) {
             n.fail("GetItemValue:LastName", 1);
             n.runOutOfMemory("GetItemValue:MailAddress", 2);
         },
         ScanEnding::Completed, listed({"1 : Ann Q  - ann@example.com"}), completed, {true}, 2},
        // Yields: before opening, after the rule, then one per contact.
        {"stopped at a yield", [](MemoryNotes &, RecordingHost &h) { h.onYield = [](int n) { return n < 4; }; },
         ScanEnding::Stopped, listed({Ann}), "", {}, 2},
    };
    for (const auto &[name, setUp, ending, log, message, proceed, total] : cases) {
        SCOPED_TRACE(name);
        MemoryNotes notes;
        notes.books[Book].people = {MemoryNotes::contact("Ann", "Q", "Carter", "ann@example.com"),
                                    MemoryNotes::contact("", "", "Lee", "")};
        RecordingHost host;
        host.book = Book;
        SharedState state;
        state.TotalContacts = 7;
        setUp(notes, host);
        EXPECT_EQ(ScanLotusNotesContacts(host, notes, state), ending);
        EXPECT_EQ(host.log, log);
        EXPECT_EQ(host.said, message.empty() ? std::vector<std::string>{} : std::vector{message});
        EXPECT_EQ(host.proceedChanges, proceed);
        EXPECT_EQ(state.TotalContacts, total);
        EXPECT_EQ(notes.live, 0);
        // Whatever was still held goes in the client's order (a completed walk has let go
        // of its last entry already).
        std::vector<std::string> released;
        std::copy_if(notes.journal.begin(), notes.journal.end(), std::back_inserter(released),
                     [](const std::string &e) { return e.starts_with("release"); });
        const std::size_t held = ending == ScanEnding::Stopped ? 6 : ending == ScanEnding::Completed ? 5 : 0;
        ASSERT_GE(released.size(), held);
        EXPECT_EQ(std::vector<std::string>(released.end() - static_cast<std::ptrdiff_t>(held), released.end()),
                  std::vector<std::string>(ClientOrder.end() - static_cast<std::ptrdiff_t>(held), ClientOrder.end()));
        // The first class is always tried first, the second only when it is missing.
        EXPECT_EQ(notes.journal.front(), "CreateSession:Domino.NotesSession");
        EXPECT_EQ(std::count(notes.journal.begin(), notes.journal.end(), "CreateSession:Notes.NotesSession"),
                  notes.registered.count("Domino.NotesSession") ? 0 : 1);
    }
    // Nine lines, each ended by CRLF as the windows show them; the command-line tool's tests
    // read its start and its end.
    EXPECT_EQ(std::count(unavailable.begin(), unavailable.end(), '\n'), 8);
    EXPECT_EQ(std::count(unavailable.begin(), unavailable.end(), '\r'), 8);
}

// A long blocking step (flushing a large file) keeps the windows painting: the innermost
// hook ticks on the waiting thread while the step runs on another, and whatever the step
// throws reaches the caller.
TEST(BusyHookTest, TicksWhileALongStepRuns)
{
    const auto caller = std::this_thread::get_id();
    std::thread::id ranOn, tickedOn;
    int outer = 0, seenWhileRunning = 0;
    std::atomic<int> inner{0};
    notes::BusyHook::whileBusy([&] { ranOn = std::this_thread::get_id(); });
    EXPECT_EQ(ranOn, caller); // no hook: nothing to tick, no thread needed
    {
        notes::BusyHook outerHook([&] { ++outer; });
        {
            notes::BusyHook innerHook([&] {
                tickedOn = std::this_thread::get_id();
                ++inner;
            });
            notes::BusyHook::whileBusy([&] {
                ranOn = std::this_thread::get_id();
                // Done once the window has had its turns, or long after it should have.
                for (int i = 0; i < 1000 && inner < 3; ++i)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                seenWhileRunning = inner;
            });
        }
        EXPECT_GE(seenWhileRunning, 3);
        EXPECT_NE(ranOn, caller);
        EXPECT_EQ(tickedOn, caller);
        EXPECT_EQ(outer, 0);
        notes::BusyHook::tick();
        EXPECT_EQ(outer, 1);
        EXPECT_THROW(notes::BusyHook::whileBusy([] { throw std::runtime_error("disk gone"); }), std::runtime_error);
    }
}

} // namespace
