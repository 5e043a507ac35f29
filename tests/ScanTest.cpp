#include "MemoryNotes.h"
#include "RecordingScanHost.h"
#include "notes/ContactScan.h"
#include "notes/Messages.h"
#include "notes/SharedState.h"

#include <gtest/gtest.h>

using namespace tarnwick;

namespace {

const std::string Book = "/books/names.nsf";
const std::string Rule(70, '-');

std::vector<std::string> opening()
{
    return {"Reading Lotus Notes Address Book...", "Initializing Lotus Notes...", "Please wait..."};
}

std::vector<std::string> concat(std::vector<std::string> a, const std::vector<std::string> &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class ScanTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        host.path = Book;
        notes.books[Book].people = {MemoryNotes::contact("Ann", "Q", "Carter", "ann@example.com"),
                                    MemoryNotes::contact("", "", "Lee", "")};
        state.TotalContacts = 7; // left over from an earlier scan
    }

    ScanEnding scan() { return ScanLotusNotesContacts(host, notes, state); }

    std::vector<std::string> releases() const { return notes.entries("release"); }

    MemoryNotes notes;
    RecordingScanHost host;
    SharedState state;
};

TEST_F(ScanTest, ListsEveryContactAndCompletes)
{
    EXPECT_EQ(scan(), ScanEnding::Completed);
    EXPECT_EQ(host.log, concat(opening(), {"Source File : " + Book, "Total Contacts Found : 2",
                                           "Listing Found Contacts...", Rule, "1 : Ann Q Carter - ann@example.com",
                                           // empty first name: two blanks; empty mail: ends in " - "
                                           "2 :  Lee - "}));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Notes Address Book Scan Completed");
    EXPECT_EQ(host.messages[0].title, "Korvane Software");
    EXPECT_TRUE(host.proceedEnabled);
    EXPECT_EQ(state.TotalContacts, 2);
    // Only the first ProgID was needed.
    EXPECT_EQ(notes.entries("CreateSession"), std::vector<std::string>{"CreateSession:Domino.NotesSession"});
    // The walk's last entry is gone already; the rest go in the client's order.
    const auto r = releases();
    ASSERT_GE(r.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(r.end() - 5, r.end()),
              (std::vector<std::string>{"release navigator", "release view", "release document",
                                        "release database", "release session"}));
    EXPECT_EQ(notes.live, 0);
}

TEST_F(ScanTest, FallsBackToTheSecondProgIdSilently)
{
    notes.registered = {"Notes.NotesSession"};
    EXPECT_EQ(scan(), ScanEnding::Completed);
    EXPECT_EQ(notes.entries("CreateSession"),
              (std::vector<std::string>{"CreateSession:Domino.NotesSession", "CreateSession:Notes.NotesSession"}));
    EXPECT_EQ(host.log.size(), 9u);
}

TEST_F(ScanTest, NotesUnavailableEndings)
{
    struct Case
    {
        const char *name;
        std::function<void(MemoryNotes &)> setUp;
        std::string lastLine;
    };
    const std::vector<Case> cases = {
        {"no class registered", [](MemoryNotes &n) { n.registered.clear(); }, "Please wait..."},
        {"database fails after fallback",
         [](MemoryNotes &n) {
             n.registered = {"Notes.NotesSession"};
             n.fail("GetDatabase");
         },
         "Please wait..."},
        {"title fails after fallback",
         [](MemoryNotes &n) {
             n.registered = {"Notes.NotesSession"};
             n.fail("Title");
         },
         "Source File : " + Book},
        {"title runs out of memory after fallback",
         [](MemoryNotes &n) {
             n.registered = {"Notes.NotesSession"};
             n.runOutOfMemory("Title");
         },
         "Source File : " + Book},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        MemoryNotes n;
        n.books[Book].people = {MemoryNotes::contact("Ann", "", "Lee", "a@x")};
        c.setUp(n);
        RecordingScanHost h;
        h.path = Book;
        h.proceedEnabled = true;
        SharedState s;
        s.TotalContacts = 5;
        EXPECT_EQ(ScanLotusNotesContacts(h, n, s), ScanEnding::NotesUnavailable);
        ASSERT_FALSE(h.log.empty());
        EXPECT_EQ(h.log.back(), c.lastLine);
        ASSERT_EQ(h.messages.size(), 1u);
        EXPECT_EQ(h.messages[0].title, "Notes Not Installed/Configured");
        EXPECT_EQ(h.messages[0].text, Messages::notesUnavailable());
        EXPECT_FALSE(h.proceedEnabled);
        EXPECT_EQ(s.TotalContacts, 5);
        EXPECT_EQ(n.live, 0);
    }
}

TEST(ScanMessages, NotesUnavailableHasNineLines)
{
    const auto text = Messages::notesUnavailable();
    EXPECT_EQ(text.substr(0, 51), "Lotus Notes NOT INSTALLED or CONFIGURED Properly.\r\n");
    EXPECT_NE(text.find("\r\n\r\nIf Lotus Notes is installed"), std::string::npos);
    EXPECT_NE(text.find("Please contact our technical team at support@korvane.example for further assistance.\r\n"
                        "\r\nMake sure you logged in"),
              std::string::npos);
    EXPECT_TRUE(text.ends_with("Please visit https://korvane.example/tarnwick/faq for more details."));
    std::size_t breaks = 0;
    for (std::size_t p = text.find("\r\n"); p != std::string::npos; p = text.find("\r\n", p + 2))
        ++breaks;
    EXPECT_EQ(breaks, 8u);
}

TEST_F(ScanTest, BookThatCannotBeOpenedWithTheFirstClassEndsAsAnEmptyBook)
{
    for (const char *fault : {"GetDatabase", "GetView"}) {
        SCOPED_TRACE(fault);
        MemoryNotes n;
        n.books[Book].people = notes.books[Book].people;
        n.fail(fault);
        RecordingScanHost h;
        h.path = Book;
        SharedState s;
        s.TotalContacts = 7;
        EXPECT_EQ(ScanLotusNotesContacts(h, n, s), ScanEnding::EmptyBook);
        // No count line, and the count of the earlier scan stays.
        EXPECT_EQ(h.log, concat(opening(), {"Source File : " + Book, "Listing Found Contacts...", Rule}));
        ASSERT_EQ(h.messages.size(), 1u);
        EXPECT_EQ(h.messages[0].text, "File does not seems to be a valid address book or is empty.");
        EXPECT_EQ(h.messages[0].title, "Korvane Software");
        EXPECT_TRUE(h.proceedChanges.empty());
        EXPECT_EQ(s.TotalContacts, 7);
        EXPECT_EQ(n.live, 0);
    }
}

TEST_F(ScanTest, EmptyViewCountsZero)
{
    notes.books[Book].people.clear();
    EXPECT_EQ(scan(), ScanEnding::EmptyBook);
    EXPECT_EQ(host.log, concat(opening(), {"Source File : " + Book, "Total Contacts Found : 0",
                                           "Listing Found Contacts...", Rule}));
    EXPECT_EQ(state.TotalContacts, 0);
    EXPECT_TRUE(host.proceedChanges.empty());
    EXPECT_EQ(notes.live, 0);
}

TEST_F(ScanTest, FailingFirstNextListsTheFirstContactTwice)
{
    notes.fail("GetNextDocument", 1);
    EXPECT_EQ(scan(), ScanEnding::Completed);
    const std::vector<std::string> tail(host.log.end() - 3, host.log.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"1 : Ann Q Carter - ann@example.com", "2 : Ann Q Carter - ann@example.com",
                                              "3 :  Lee - "}));
}

TEST_F(ScanTest, UnreadableValues)
{
    // Whatever makes a value unreadable, Notes or memory running out, the step fails.
    for (const bool outOfMemory : {false, true}) {
        SCOPED_TRACE(outOfMemory ? "out of memory" : "Notes error");
        MemoryNotes n;
        n.books[Book].people = notes.books[Book].people;
        n.books[Book].people.push_back(MemoryNotes::contact("Cy", "", "Young", "cy@x"));
        const auto fail = [&](const char *member, int nth) {
            outOfMemory ? n.runOutOfMemory(member, nth) : n.fail(member, nth);
        };
        // The first contact is read in the forgiving mode: the value is empty, the line stays.
        fail("GetItemValue:LastName", 1);
        // From the second contact on, a failure ends the listing as completed.
        fail("GetItemValue:MailAddress", 2);
        RecordingScanHost h;
        h.path = Book;
        SharedState s;
        EXPECT_EQ(ScanLotusNotesContacts(h, n, s), ScanEnding::Completed);
        EXPECT_EQ(h.log.back(), "1 : Ann Q  - ann@example.com");
        EXPECT_EQ(h.messages.back().text, "Notes Address Book Scan Completed");
        EXPECT_TRUE(h.proceedEnabled);
        EXPECT_EQ(s.TotalContacts, 3);
        EXPECT_EQ(n.live, 0);
    }
}

TEST_F(ScanTest, CountsPastSixteenBits)
{
    auto &people = notes.books[Book].people;
    people.clear();
    for (int i = 1; i <= 40000; ++i)
        people.push_back(MemoryNotes::contact("P", "", std::to_string(i), ""));
    EXPECT_EQ(scan(), ScanEnding::Completed);
    EXPECT_EQ(state.TotalContacts, 40000);
    EXPECT_EQ(host.log[4], "Total Contacts Found : 40000");
    EXPECT_EQ(host.log.back(), "40000 : P 40000 - ");
    EXPECT_EQ(host.log.size(), 7u + 40000u);
}

TEST_F(ScanTest, StopsAtAYieldWhenAsked)
{
    // Yields: before opening, after the rule, then one per contact; stop at the second
    // contact's.
    host.onYield = [](int n) { return n < 4; };
    EXPECT_EQ(scan(), ScanEnding::Stopped);
    EXPECT_EQ(host.log.back(), "1 : Ann Q Carter - ann@example.com");
    EXPECT_TRUE(host.messages.empty());
    EXPECT_FALSE(host.proceedEnabled);
    const auto r = releases();
    EXPECT_EQ(std::vector<std::string>(r.end() - 6, r.end()),
              (std::vector<std::string>{"release entry", "release navigator", "release view", "release document",
                                        "release database", "release session"}));
    EXPECT_EQ(notes.live, 0);
}

} // namespace
