#include "Fixtures.h"
#include "MemoryNotes.h"
#include "RecordingDesktop.h"
#include "TarnwickConfig.h"
#include "notes/Messages.h"
#include "notes/NotesSessionFactory.h"
#include "notes/SharedState.h"
#include "ui/DocAbout.h"
#include "ui/DocAboutFace.h"
#include "ui/FrmMain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

using namespace tarnwick;
using ui::FrmMain;

namespace {

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        memory.books["a.nsf"].people = {MemoryNotes::contact("Ann", "Q", "Carter", "ann@example.com"),
                                        MemoryNotes::contact("Bo", "", "Lee", "bo@example.com"),
                                        MemoryNotes::contact("Cy", "", "Moe", "")};
        memory.books["b.nsf"].people = {MemoryNotes::contact("Di", "", "Nye", "di@example.com")};
    }

    // Whatever a test did, the vCard item was enabled exactly when Proceed was.
    void TearDown() override { EXPECT_EQ(face.exportVCard, face.proceed); }

    FrmMain &open(notes::SessionFactory &notes)
    {
        window = std::make_unique<FrmMain>(desktop, notes, state);
        window->attach(face);
        // What the window system does: it asks the window before it closes.
        face.onClose = [this] { closed = window->Form_QueryUnload(); };
        face.onPathChange = [this] { window->txtNotesDatabaseFile_Change(); };
        desktop.log = &face.log;
        desktop.caption = &face.caption;
        desktop.proceed = &face.proceed;
        return *window;
    }

    int count(const std::string &text) const
    {
        int n = 0;
        for (auto at = face.log.find(text); at != std::string::npos; at = face.log.find(text, at + 1))
            ++n;
        return n;
    }

    RecordingDesktop desktop;
    MemoryNotes memory;
    SharedState state;
    RecordingMainFace face;
    std::unique_ptr<FrmMain> window;
    bool closed = false;
};

TEST_F(MainWindowTest, BrowseScansTheChosenBookIntoTheLog)
{
    notes::NotesSessionFactory dxl;
    FrmMain &w = open(dxl);
    const std::string book = fixture("sample-book.dxl");
    desktop.openFileAnswers = {book};
    w.setFrameInterval(std::chrono::nanoseconds(0));
    w.CmdBrowse_Click();
    // One yield before the session, one before the listing, one a contact, and more
    // while the book is indexed.
    EXPECT_GT(desktop.yields, 2 + 37);

    EXPECT_EQ(face.log, expectedSampleLog(book, "\r\n"));
    EXPECT_EQ(face.path, book);
    ASSERT_EQ(desktop.openFileDialogs.size(), 1u);
    EXPECT_EQ(desktop.openFileDialogs[0].first, "");
    EXPECT_NE(desktop.openFileDialogs[0].second.find("*.dxl"), std::string::npos);
    EXPECT_EQ(face.proceed, (std::vector<bool>{false, false, true}));
    EXPECT_EQ(desktop.said(), std::vector<std::string>{"Korvane Software: Notes Address Book Scan Completed"});
    EXPECT_EQ(desktop.messages[0].owner, &face);
    EXPECT_EQ(desktop.messages[0].logShown, face.log); // every line shown before the message
    EXPECT_FALSE(desktop.messages[0].proceedShown);      // Proceed enabled once it is closed
    EXPECT_EQ(state.TotalContacts, 37);
    EXPECT_FALSE(w.isScanning());
}

TEST_F(MainWindowTest, BrowseAfterACancelKeepsTheLastChosenBook)
{
    FrmMain &w = open(memory);
    w.CmdBrowse_Click(); // the first dialog is cancelled: nothing to scan
    EXPECT_EQ(face.path, "");
    EXPECT_EQ(face.log, "");
    EXPECT_EQ(desktop.yields, 0);

    desktop.openFileAnswers = {"a.nsf"};
    w.mnuOpen_Click();
    EXPECT_TRUE(face.proceedEnabled());
    face.log += "typed by the user\r\n";

    w.CmdBrowse_Click(); // cancelled: the same book again, from the start
    EXPECT_EQ(face.path, "a.nsf");
    EXPECT_EQ(desktop.openFileDialogs.back().first, "a.nsf");
    EXPECT_EQ(count("Reading Lotus Notes Address Book..."), 1);
    EXPECT_EQ(count("typed by the user"), 0);
    EXPECT_EQ(count("3 : Cy Moe - \r\n"), 1);

    desktop.openFileAnswers = {"missing.nsf"};
    memory.registered.clear();
    w.CmdBrowse_Click(); // a choice disables Proceed at once; a failed scan leaves it so
    EXPECT_EQ(face.proceed, (std::vector<bool>{false, false, false, true, false, true, false, false}));
    EXPECT_EQ(desktop.messages.back().title, "Notes Not Installed/Configured");
}

// The export reads the book that was scanned: a key typed into the path box after a scan,
// or during one, disables Proceed and the vCard item until a scan has read the box again.
TEST_F(MainWindowTest, AChangedPathBoxDisablesTheExportsUntilAScan)
{
    FrmMain &w = open(memory);
    w.setFrameInterval(std::chrono::nanoseconds(0));
    const auto type = [this](const std::string &text) { face.path += text, face.onPathChange(); };
    desktop.openFileAnswers = {"a.nsf"};
    w.CmdBrowse_Click();
    type("h");
    EXPECT_FALSE(face.proceedEnabled());
    w.CmdBrowse_Click(); // cancelled: the chosen book again, scanned again
    EXPECT_TRUE(face.proceedEnabled());

    desktop.onYield = [&, from = desktop.yields](int n) {
        if (n == from + 3)
            type("x"); // while the first contact is read
    };
    w.CmdBrowse_Click();
    EXPECT_EQ(count("3 : Cy Moe - \r\n"), 1);
    EXPECT_FALSE(face.proceedEnabled());
    desktop.onYield = nullptr;
    w.CmdBrowse_Click();
    EXPECT_TRUE(face.proceedEnabled());
}

// Every failure message keeps its text and gives the reason on a line of its own after it,
// as the command-line tool does; an ending without one stays as it is.
TEST_F(MainWindowTest, FailureMessagesSayWhy)
{
    enum Pass { Scan, Proceed, VCard };
    TempFolder dir("ui-why");
    const std::string notXml = fixture("not-dxl.xml"), empty = dir.write("empty.dxl", ""),
                      missing = dir / "missing.dxl", truncated = fixture("truncated.dxl");
    const std::string notInstalled = "Notes Not Installed/Configured: " + Messages::notesUnavailable() + "\r\n\r\nReason: ",
                      emptyBook = "Korvane Software: " + std::string(Messages::EmptyBook),
                      notABook = "Korvane Software: " + std::string(Messages::ExportNotesFailure) + "\r\n\r\nReason: ",
                      unclosed = "\r\n\r\nReason: cannot read the People view of " + truncated + ": unclosed token (line 478)";
    struct Case
    {
        Pass pass;
        std::string book, said;
    };
    const Case cases[] = {
        {Scan, notXml, notInstalled + notXml + " is an XML file, but not a DXL database export"},
        {Scan, empty, notInstalled + empty + " is not a DXL database: no element found (line 1)"},
        {Scan, missing, notInstalled + "cannot open " + missing + ": No such file or directory"},
        {Scan, truncated, emptyBook + unclosed},
        {Scan, fixture("no-people.dxl"), emptyBook},
        {Proceed, notXml, notABook + notXml + " is an XML file, but not a DXL database export"},
        {VCard, truncated, emptyBook + unclosed},
    };
    notes::NotesSessionFactory dxl;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.book);
        desktop = RecordingDesktop();
        FrmMain &w = open(dxl);
        desktop.openFileAnswers = {c.book};
        desktop.folderAnswers = {dir.path.string()};
        desktop.inConversion = [](ui::FrmConversion &conversion, RecordingConversionFace &f) {
            f.ticks[0] = true;
            conversion.CmdConversion_Click();
        };
        face.path = c.book;
        c.pass == Scan ? w.CmdBrowse_Click() : c.pass == Proceed ? w.CmdContactsCreate_Click() : w.mnuExportVCard_Click();
        EXPECT_EQ(desktop.said(), std::vector<std::string>{c.said});
    }
}

// Google Contacts imports at most 3,000 contacts a file. Ticked, File > "Split into Files
// of 3,000 for Google" has both exports write parts, named in the completion message, and
// the link opens their folder; unticked, a larger file is followed by a message that says
// so and names the item.
TEST_F(MainWindowTest, SplitForGoogleAroundItsLimit)
{
    const auto saved = [](int n) { return "Conversion Completed...: " + std::to_string(n) + " Contacts Saved Successfully"; };
    const auto over = [](const std::string &file, int n) {
        return "Korvane Software: " + file + " holds " + std::to_string(n) +
               " contacts, but Google Contacts imports at most 3,000 contacts from one file.\r\n\r\nFor files that "
               "Google imports whole, tick File > \"Split into Files of 3,000 for Google\", open the address book "
               "again and export it once more.";
    };
    const std::string one = "\r\n\r\nSaved in 1 file of at most 3,000 contacts: GMAILContacts-1.csv.";
    struct Case
    {
        int contacts;
        bool split, vCard, earlier; // earlier: a second part left by an earlier export
        std::vector<std::string> files, said;
    };
    const Case cases[] = {
        {2999, false, false, false, {"GMAILContacts.csv"}, {saved(2999)}},
        {3000, false, false, false, {"GMAILContacts.csv"}, {saved(3000)}},
        {3001, false, false, false, {"GMAILContacts.csv"}, {saved(3001), over("GMAILContacts.csv", 3001)}},
        {2999, true, false, true, {"GMAILContacts-1.csv", "GMAILContacts-2.csv"},
         {saved(2999) + one + "\r\n\r\nGMAILContacts-2.csv and any later part in that folder are from an earlier "
                              "export: remove them before importing into Google Contacts."}},
        {3000, true, false, false, {"GMAILContacts-1.csv"}, {saved(3000) + one}},
        {3001, true, false, false, {"GMAILContacts-1.csv", "GMAILContacts-2.csv"},
         {saved(3001) + "\r\n\r\nSaved in 2 files of at most 3,000 contacts each: GMAILContacts-1.csv and "
                        "GMAILContacts-2.csv."}},
        {3001, false, true, false, {"GMAILContacts.vcf"}, {saved(3001), over("GMAILContacts.vcf", 3001)}},
        {9001, true, true, false, {"GMAILContacts-1.vcf", "GMAILContacts-2.vcf", "GMAILContacts-3.vcf", "GMAILContacts-4.vcf"},
         {saved(9001) + "\r\n\r\nSaved in 4 files of at most 3,000 contacts each: GMAILContacts-1.vcf to "
                        "GMAILContacts-4.vcf."}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.contacts) + (c.split ? " split" : "") + (c.vCard ? " vCard" : ""));
        TempFolder dir("ui-split");
        if (c.earlier)
            dir.write("GMAILContacts-2.csv", "earlier");
        memory.books["g.nsf"].people.assign(static_cast<std::size_t>(c.contacts), MemoryNotes::contact("P", "", "Q", ""));
        desktop = RecordingDesktop();
        face = RecordingMainFace();
        FrmMain &w = open(memory);
        face.path = "g.nsf";
        desktop.folderAnswers = {dir.path.string()};
        for (int clicks = 0; clicks < (c.split ? 3 : 2); ++clicks)
            w.mnuSplitForGoogle_Click();
        EXPECT_EQ(face.splitChecked, c.split);
        desktop.inConversion = [](ui::FrmConversion &conversion, RecordingConversionFace &f) {
            f.ticks[0] = true;
            conversion.CmdConversion_Click();
            conversion.LblOpenExcelFile_Click();
        };
        c.vCard ? w.mnuExportVCard_Click() : w.CmdContactsCreate_Click();
        EXPECT_EQ(dir.names(), c.files);
        EXPECT_EQ(desktop.said(), c.said);
        if (!c.vCard) {
            EXPECT_EQ(desktop.opened, std::vector<std::string>{c.split ? dir.path.string() : dir / "GMAILContacts.csv"});
        }
    }
}

TEST_F(MainWindowTest, LogIsShownOnceAFrameAndTheFirstYieldAlwaysShows)
{
    FrmMain &w = open(memory);
    std::vector<std::string> shown;
    desktop.onYield = [&](int) { shown.push_back(face.log); };
    desktop.openFileAnswers = {"a.nsf", "b.nsf"};
    w.setFrameInterval(std::chrono::hours(1));
    w.CmdBrowse_Click();
    EXPECT_EQ(count("\r\n"), 10);
    w.CmdBrowse_Click();
    // However long the frame, each scan's first yield shows the window before the book
    // is read.
    EXPECT_EQ(shown, (std::vector<std::string>(2, "Reading Lotus Notes Address Book...\r\n")));

    shown.clear();
    desktop.openFileAnswers = {"a.nsf"};
    w.setFrameInterval(std::chrono::nanoseconds(0));
    w.CmdBrowse_Click();
    // Every yield of the scan: before the session, before the listing, before each contact.
    ASSERT_EQ(shown.size(), 5u);
    EXPECT_TRUE(shown[2].ends_with(std::string(70, '-') + "\r\n"));
    EXPECT_TRUE(shown[4].ends_with("2 : Bo Lee - bo@example.com\r\n"));
}

TEST_F(MainWindowTest, ASlowLogIsShownLessOftenThanTheWindowsYield)
{
    for (int i = 0; i < 60; ++i)
        memory.books["c.nsf"].people.push_back(MemoryNotes::contact("P" + std::to_string(i), "", "Q", ""));
    FrmMain &w = open(memory);
    w.setFrameInterval(std::chrono::milliseconds(1));
    // Every contact takes longer than a frame, and every showing of the log takes 20 ms:
    // the windows still get every frame, the log no more than a third of the time.
    desktop.onYield = [](int) { std::this_thread::sleep_for(std::chrono::milliseconds(2)); };
    face.appendTakes = std::chrono::milliseconds(20);
    desktop.openFileAnswers = {"c.nsf"};
    w.CmdBrowse_Click();
    EXPECT_GE(desktop.yields, 60);
    EXPECT_LT(face.appends * 4, desktop.yields);
    EXPECT_EQ(count(" - \r\n"), 60); // nothing lost
}

// A scan that lists faster than the log takes lines waits for it, a flush at a time, the
// windows yielding between: the log is never handed the rest of the book at once.
TEST_F(MainWindowTest, ALogThatFallsBehindHoldsTheScanBack)
{
    memory.books["d.nsf"].people.assign(10000, MemoryNotes::contact("P", "", "Q", ""));
    FrmMain &w = open(memory);
    w.setFrameInterval(std::chrono::hours(1)); // after the first, no frame passes
    std::size_t shown = 0, largest = 0;
    const auto held = [&] {
        const auto lines = static_cast<std::size_t>(std::count(face.log.begin(), face.log.end(), '\n'));
        largest = std::max(largest, lines - shown);
        shown = lines;
    };
    desktop.onYield = [&](int) { held(); };
    desktop.openFileAnswers = {"d.nsf"};
    w.CmdBrowse_Click();
    held();
    EXPECT_EQ(count(" - \r\n"), 10000);
    EXPECT_LE(largest, 4096u);
    EXPECT_GE(desktop.yields, 4);
}

// While a scan reads the book: Browse and Open are ignored; the close box is refused, the
// scan stops at its next yield and the window then closes; Exit ends the program at once.
// A stopped scan lets go of the book, says nothing, and the closing page opens once.
TEST_F(MainWindowTest, WhatTheUserDoesDuringAScan)
{
    struct Case
    {
        const char *name;
        std::function<void(FrmMain &)> act;
        int closes, exits;
        std::string lastLine;
    };
    const Case cases[] = {
        {"Browse and Open", [](FrmMain &w) { w.CmdBrowse_Click(), w.mnuOpen_Click(); }, 0, 0, "3 : Cy Moe - "},
        {"the close box", [this](FrmMain &) { face.closeWindow(); }, 2, 0, std::string(70, '-')},
        {"Exit", [](FrmMain &w) { w.mnuExit_Click(); }, 1, 1, "1 : Ann Q Carter - ann@example.com"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        desktop = RecordingDesktop();
        face = RecordingMainFace();
        closed = false;
        FrmMain &w = open(memory);
        w.setFrameInterval(std::chrono::nanoseconds(0));
        desktop.openFileAnswers = {"a.nsf", "b.nsf"};
        desktop.onYield = [&](int n) {
            if (n == (c.exits ? 4 : 3))
                c.act(w); // while the first contact is read, or just after it
            EXPECT_TRUE(!closed || c.exits); // a refused close waits for the scan
        };
        w.CmdBrowse_Click();
        EXPECT_EQ(desktop.openFileDialogs.size(), 1u);
        EXPECT_TRUE(face.log.ends_with(c.lastLine + "\r\n")) << face.log;
        EXPECT_EQ(face.closes, c.closes);
        EXPECT_EQ(closed, c.closes > 0);
        EXPECT_EQ(desktop.exits, c.exits);
        EXPECT_EQ(memory.live, 0);
        if (c.closes) {
            EXPECT_TRUE(desktop.messages.empty());
            // Whatever closes the window afterwards, the closing page opens once.
            EXPECT_TRUE(w.Form_QueryUnload());
            EXPECT_EQ(desktop.opened, (std::vector<std::string>{config::ClosingPageUrl}));
        }
    }
}

// What opened nothing is said when the desktop learns of it, after the command returned,
// with the address or file it was, whatever became of the command's own texts since.
TEST_F(MainWindowTest, PagesAndHelpOpenOrSayLaterWhatCouldNotBeOpened)
{
    struct Case
    {
        void (FrmMain::*command)();
        std::string target;
    };
    const std::string help = "help:" + desktop.helpPath;
    for (const Case &c : {Case{&FrmMain::mnuWebsite_Click, config::ProductPageUrl},
                          Case{&FrmMain::LabelSiteFooter_Click, config::ProductPageUrl},
                          Case{&FrmMain::mnuContents_Click, help}}) {
        for (const bool opens : {true, false}) {
            SCOPED_TRACE(c.target + (opens ? ", opens" : ", opens nothing"));
            desktop.opened.clear();
            desktop.messages.clear();
            desktop.nothingOpens = !opens;
            (open(memory).*c.command)();
            EXPECT_EQ(desktop.opened, std::vector<std::string>{c.target});
            EXPECT_TRUE(desktop.messages.empty());
            window.reset();
            scribble();
            desktop.reportFailures();
            const std::string named = c.target == help ? desktop.helpPath : c.target;
            ASSERT_EQ(desktop.said().size(), opens ? 0u : 1u);
            if (!opens) {
                EXPECT_TRUE(desktop.said()[0].starts_with("Korvane Software: Tarnwick could not open ") &&
                            desktop.said()[0].find("\r\n" + named + "\r\n") != std::string::npos)
                    << desktop.said()[0];
            }
        }
    }
}

// File > "Export as vCard...": the scanned book's cards, the run's percentage in the title
// bar and the windows repainted but given no input; while the folder picker (which has no
// owner) is open, Browse, Proceed and a second export are ignored, another book typed into
// the path box is not the one read, and a close waits for the run.
TEST_F(MainWindowTest, ExportAsVCardWhileTheWindowWaits)
{
    TempFolder dir("ui-vcard");
    FrmMain &w = open(memory);
    w.setFrameInterval(std::chrono::nanoseconds(0));
    desktop.openFileAnswers = {"a.nsf"};
    w.CmdBrowse_Click();
    desktop.messages.clear();
    w.mnuExportVCard_Click(); // the picker cancelled: nothing happens
    EXPECT_TRUE(face.captions.empty());
    EXPECT_TRUE(desktop.messages.empty());
    ASSERT_TRUE(face.proceedEnabled());

    bool conversionOpened = false;
    desktop.inConversion = [&](ui::FrmConversion &, RecordingConversionFace &) { conversionOpened = true; };
    desktop.folderAnswers = {dir.path.string()};
    desktop.whileChoosingFolder = [&] {
        face.path = "b.nsf";
        face.onPathChange();
        w.CmdBrowse_Click();
        w.CmdContactsCreate_Click();
        w.mnuExportVCard_Click();
        face.closeWindow();
    };
    const int yields = desktop.yields;
    w.mnuExportVCard_Click();

    const auto file = slurp(dir / "GMAILContacts.vcf");
    EXPECT_TRUE(file.starts_with("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ann Q Carter\r\n")) << file;
    EXPECT_EQ(file.find("FN:Cy Moe\r\n"), file.rfind("BEGIN:VCARD") + 26);
    EXPECT_EQ(desktop.folderTitles, std::vector<std::string>(2, "Select Folder to Save GMAILContacts.vcf File"));
    EXPECT_EQ(desktop.openFileDialogs.size(), 1u);
    EXPECT_FALSE(conversionOpened);
    EXPECT_EQ(face.captions, (std::vector<std::string>{"Tarnwick - Saving vCard 0%", "Tarnwick - Saving vCard 66%",
                                                       "Tarnwick - Saving vCard 100%", "Tarnwick"}));
    EXPECT_EQ(desktop.said(), std::vector<std::string>{"Conversion Completed...: 3 Contacts Saved Successfully"});
    EXPECT_EQ(desktop.messages[0].owner, &face);
    EXPECT_EQ(desktop.messages[0].captionShown, "Tarnwick");
    EXPECT_EQ(desktop.yields, yields);
    EXPECT_GE(desktop.repaints, 2);
    EXPECT_FALSE(face.proceedEnabled());
    EXPECT_EQ(face.closes, 2);
    EXPECT_TRUE(closed);
}

TEST_F(MainWindowTest, ModalWindowsOpenFresh)
{
    FrmMain &w = open(memory);
    w.mnuAbout_Click();
    EXPECT_EQ(desktop.abouts, 1);

    desktop.openFileAnswers = {"a.nsf"};
    w.CmdBrowse_Click();
    std::vector<int> ticked;
    desktop.inConversion = [&](ui::FrmConversion &, RecordingConversionFace &f) {
        ticked.push_back(static_cast<int>(std::count(f.ticks.begin(), f.ticks.end(), true)));
        f.ticks.assign(f.ticks.size(), true);
    };
    w.CmdContactsCreate_Click();
    w.CmdContactsCreate_Click();
    EXPECT_EQ(ticked, (std::vector<int>{0, 0}));

    struct AboutFace final : ui::DocAboutFace
    {
        int closes = 0;
        void closeWindow() override { ++closes; }
    } about;
    ui::DocAbout(about).CmdOK_Click();
    EXPECT_EQ(about.closes, 1);
}

} // namespace
