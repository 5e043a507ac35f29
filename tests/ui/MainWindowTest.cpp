#include "Fixtures.h"
#include "MemoryNotes.h"
#include "RecordingDesktop.h"
#include "TarnwickConfig.h"
#include "notes/Messages.h"
#include "notes/NotesSessionFactory.h"
#include "notes/SharedState.h"
#include "ui/FrmMain.h"
#include "ui/ShellTargets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <tuple>

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
    }

    // A fresh window, face and desktop; every yield a frame unless a test says otherwise.
    FrmMain &open(notes::SessionFactory &notes)
    {
        desktop = RecordingDesktop();
        face = RecordingMainFace();
        closed = false;
        window = std::make_unique<FrmMain>(desktop, notes, state);
        window->attach(face);
        window->setFrameInterval(std::chrono::nanoseconds(0));
        // What the window system does: it asks the window before it closes.
        face.onClose = [this] { closed = window->Form_QueryUnload(); };
        face.onPathChange = [this] { window->txtNotesDatabaseFile_Change(); };
        desktop.main = &face;
        return *window;
    }

    void type(const std::string &text) { face.path += text, face.onPathChange(); }

    int count(const std::string &text) const { return occurrences(face.log, text); }

    // The user in the field-choice window: the first column, Start Conversion, the link.
    static void exportFirstColumn(ui::FrmConversion &conversion, RecordingConversionFace &f)
    {
        f.ticks[0] = true;
        conversion.CmdConversion_Click();
        conversion.LblOpenExcelFile_Click();
    }

    RecordingDesktop desktop;
    MemoryNotes memory;
    SharedState state;
    RecordingMainFace face;
    std::unique_ptr<FrmMain> window;
    bool closed = false;
};

// Browse scans the chosen book, or after a cancel the last one again, from the start. The
// exports read the book that was scanned: a key typed into the path box after a scan, or
// during one, disables Proceed until a scan has read the box again; so does a failed scan.
TEST_F(MainWindowTest, ProceedExportsTheBookTheLastScanRead)
{
    FrmMain &w = open(memory);
    w.CmdBrowse_Click(); // the first dialog is cancelled: nothing to scan
    EXPECT_EQ(face.path + face.log, "");
    EXPECT_EQ(desktop.openFileDialogs.at(0), std::make_pair(std::string(), std::string(FrmMain::OpenFileFilter)));

    desktop.openFileAnswers = {"a.nsf"};
    w.mnuOpen_Click();
    EXPECT_EQ(desktop.said(), std::vector<std::string>{"Korvane Software: Notes Address Book Scan Completed"});
    EXPECT_EQ(desktop.messages[0].owner, &face);
    EXPECT_EQ(desktop.messages[0].logShown, face.log); // every line shown before the message
    EXPECT_FALSE(desktop.messages[0].proceedShown);    // Proceed enabled once it is closed
    EXPECT_TRUE(face.proceedEnabled());

    face.log += "typed by the user\r\n";
    type("h");
    EXPECT_FALSE(face.proceedEnabled());
    w.CmdBrowse_Click(); // cancelled: the chosen book again
    EXPECT_EQ(face.path, "a.nsf");
    EXPECT_EQ(desktop.openFileDialogs.back().first, "a.nsf");
    EXPECT_EQ(count("Reading Lotus Notes Address Book..."), 1);
    EXPECT_EQ(count("typed by the user"), 0);
    EXPECT_EQ(count("3 : Cy Moe - \r\n"), 1);
    EXPECT_TRUE(face.proceedEnabled());

    desktop.onYield = [&, from = desktop.yields](int n) {
        EXPECT_FALSE(face.proceedEnabled()); // from the moment a book is chosen
        if (n == from + 3)
            type("x"); // while the first contact is read
    };
    w.CmdBrowse_Click();
    EXPECT_FALSE(face.proceedEnabled());
    w.CmdBrowse_Click();
    EXPECT_TRUE(face.proceedEnabled());
    desktop.openFileAnswers = {"missing.nsf"};
    memory.registered.clear();
    w.CmdBrowse_Click();
    EXPECT_FALSE(face.proceedEnabled());
    EXPECT_EQ(desktop.messages.back().title, "Notes Not Installed/Configured");
}

// Books through the DXL reader. Every failure message keeps its text and gives the reason
// on a line of its own after it, as the command-line tool does; an ending without one stays
// as it is; the reasons' own words, for every kind of book, are CliReasons'. The sample
// book's log, the window repainted while the book is indexed as well as once a contact.
TEST_F(MainWindowTest, RealBooksEndWithTheirReasons)
{
    TempFolder dir("ui-why");
    const std::string notXml = fixture("not-dxl.xml"), truncated = fixture("truncated.dxl"), why = "\r\n\r\nReason: ";
    const std::string notInstalled = "Notes Not Installed/Configured: " + Messages::notesUnavailable() + why,
                      emptyBook = "Korvane Software: " + std::string(Messages::EmptyBook),
                      unclosed = why + "cannot read the People view of " + truncated + ": unclosed token (line 478)",
                      notDxl = notXml + " is an XML file, but not a DXL database export";
    const auto scan = &FrmMain::CmdBrowse_Click;
    const std::string sample = fixture("sample-book.dxl");
    const std::tuple<void (FrmMain::*)(), std::string, std::string> cases[] = {
        {scan, sample, "Korvane Software: Notes Address Book Scan Completed"},
        {scan, notXml, notInstalled + notDxl},
        {scan, truncated, emptyBook + unclosed},
        {scan, fixture("no-people.dxl"), emptyBook},
        {&FrmMain::CmdContactsCreate_Click, notXml,
         "Korvane Software: " + std::string(Messages::ExportNotesFailure) + why + notDxl},
        {&FrmMain::mnuExportVCard_Click, truncated, emptyBook + unclosed},
    };
    notes::NotesSessionFactory dxl;
    for (const auto &[command, book, said] : cases) {
        SCOPED_TRACE(book);
        FrmMain &w = open(dxl);
        desktop.openFileAnswers = {face.path = book};
        desktop.folderAnswers = {dir.path.string()};
        desktop.inConversion = exportFirstColumn;
        (w.*command)();
        EXPECT_EQ(desktop.said(), std::vector<std::string>{said});
        if (book == sample) {
            EXPECT_EQ(face.log, expectedSampleLog(book, "\r\n"));
            EXPECT_GT(desktop.yields, 2 + 37); // one before the session, one before the listing, one a contact
        }
    }
}

// Google Contacts imports at most 3,000 contacts a file. Ticked, File > "Split into Files
// of 3,000 for Google" has both exports write parts, named in the completion message, and
// the link opens their folder; unticked, a larger file is followed by a message that says
// so and names the item.
TEST_F(MainWindowTest, SplitForGoogleAroundItsLimit)
{
    const auto saved = [](int n, const std::string &more = "") {
        return "Conversion Completed...: " + std::to_string(n) + " Contacts Saved Successfully" + more;
    };
    const auto over = [](const std::string &file) {
        return "Korvane Software: " + file +
               " holds 3001 contacts, but Google Contacts imports at most 3,000 contacts from one file.\r\n\r\nFor "
               "files that Google imports whole, tick File > \"Split into Files of 3,000 for Google\", open the "
               "address book again and export it once more.";
    };
    const std::string one = "\r\n\r\nSaved in 1 file of at most 3,000 contacts: GMAILContacts-1.csv.",
                      earlier = one + "\r\n\r\nGMAILContacts-2.csv and any later part in that folder are from an "
                                      "earlier export: remove them before importing into Google Contacts.",
                      two = "\r\n\r\nSaved in 2 files of at most 3,000 contacts each: GMAILContacts-1.csv and "
                            "GMAILContacts-2.csv.",
                      four = "\r\n\r\nSaved in 4 files of at most 3,000 contacts each: GMAILContacts-1.vcf to "
                             "GMAILContacts-4.vcf.";
    struct Case
    {
        int contacts, parts; // parts: none, unsplit; else GMAILContacts-1 to -parts in the folder
        bool vCard, earlier; // earlier: a second part left by an earlier export
        std::vector<std::string> said;
    };
    const Case cases[] = {
        {3000, 0, false, false, {saved(3000)}},
        {3001, 0, false, false, {saved(3001), over("GMAILContacts.csv")}},
        {2999, 2, false, true, {saved(2999, earlier)}},
        {3000, 1, false, false, {saved(3000, one)}},
        {3001, 2, false, false, {saved(3001, two)}},
        {3001, 0, true, false, {saved(3001), over("GMAILContacts.vcf")}},
        {9001, 4, true, false, {saved(9001, four)}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.contacts) + " in " + std::to_string(c.parts) + (c.vCard ? " vCard" : " CSV"));
        TempFolder dir("ui-split");
        if (c.earlier)
            dir.write("GMAILContacts-2.csv", "earlier");
        memory.books["g.nsf"].people.assign(static_cast<std::size_t>(c.contacts),
                                            MemoryNotes::contact("P", "", "Q", ""));
        FrmMain &w = open(memory);
        face.path = "g.nsf";
        desktop.folderAnswers = {dir.path.string()};
        desktop.inConversion = exportFirstColumn;
        for (int clicks = 0; clicks < (c.parts ? 3 : 2); ++clicks)
            w.mnuSplitForGoogle_Click();
        EXPECT_EQ(face.splitChecked, c.parts > 0);
        c.vCard ? w.mnuExportVCard_Click() : w.CmdContactsCreate_Click();
        const std::string ext = c.vCard ? ".vcf" : ".csv";
        std::vector<std::string> parts;
        for (int n = 1; n <= c.parts; ++n)
            parts.push_back("GMAILContacts-" + std::to_string(n) + ext);
        EXPECT_EQ(dir.names(), c.parts ? parts : std::vector<std::string>{"GMAILContacts" + ext});
        EXPECT_EQ(desktop.said(), c.said);
        // The link opens the folder of the parts, or the one file; the vCard export has none.
        const std::string link = c.parts ? dir.path.string() : dir / "GMAILContacts.csv";
        EXPECT_EQ(desktop.opened, std::vector<std::string>(c.vCard ? 0u : 1u, link));
    }
}

// However long the frame, each scan's first yield shows the window before the book is read;
// then the log is shown once a frame, and a scan that lists faster than the log takes lines
// waits for it, a flush at a time, the windows yielding between. A log slow to take lines
// is shown less often than the windows yield.
TEST_F(MainWindowTest, LogIsShownOnceAFrameAndNeverFallsFarBehind)
{
    memory.books["d.nsf"].people.assign(10000, MemoryNotes::contact("P", "", "Q", ""));
    FrmMain &w = open(memory);
    std::vector<int> lines; // the log's lines at each yield
    desktop.onYield = [&](int) { lines.push_back(count("\r\n")); };
    desktop.openFileAnswers = {"a.nsf", "a.nsf", "d.nsf"};
    w.CmdBrowse_Click(); // every yield: before the session, before the listing, before each contact
    EXPECT_EQ(lines, (std::vector<int>{1, 7, 7, 8, 9}));
    lines.clear();
    w.setFrameInterval(std::chrono::hours(1));
    w.CmdBrowse_Click();
    w.CmdBrowse_Click();
    lines.push_back(count("\r\n"));
    EXPECT_EQ(count(" - \r\n"), 10000);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0], 1);
    EXPECT_EQ(lines[1], 1);
    for (std::size_t i = 2; i < lines.size(); ++i)
        EXPECT_LE(lines[i] - lines[i - 1], 4096);

    // Every contact a frame, and every showing of the log takes 20 ms: the windows still get
    // every frame, the log no more than a third of the time.
    memory.books["c.nsf"].people.assign(60, MemoryNotes::contact("P", "", "Q", ""));
    desktop.yields = face.appends = 0;
    face.appendTakes = std::chrono::milliseconds(20);
    desktop.openFileAnswers = {"c.nsf"};
    w.setFrameInterval(std::chrono::nanoseconds(1));
    w.CmdBrowse_Click();
    EXPECT_GE(desktop.yields, 60);
    EXPECT_LT(face.appends * 4, desktop.yields);
    EXPECT_EQ(count(" - \r\n"), 60); // nothing lost

    // A yield slower than a frame (a slow paint: Wine, a window dragged across ours) still
    // leaves the work a whole frame before the next one, not one contact a yield.
    desktop.yields = 0;
    desktop.onYield = [](int) { std::this_thread::sleep_for(std::chrono::milliseconds(30)); };
    face.appendTakes = {};
    desktop.openFileAnswers = {"c.nsf"};
    w.setFrameInterval(std::chrono::milliseconds(20));
    w.CmdBrowse_Click();
    EXPECT_LT(desktop.yields, 20);
    EXPECT_EQ(count(" - \r\n"), 60);
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
        FrmMain &w = open(memory);
        desktop.openFileAnswers = {"a.nsf", "b.nsf"};
        desktop.onYield = [&](int n) {
            if (n == (c.exits ? 4 : 3))
                c.act(w);                    // while the first contact is read, or just after it
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

// The field-choice window, opened by Proceed. Select All sets every entry, but the list
// decides what is written. An export runs once, however often Start Conversion is clicked
// while the folder picker (which has no owner) is open; its bar stays in range whatever the
// scan counted (the book may have changed since); the windows are repainted once a frame,
// the first at once, and never given input; its ending disables Start Conversion and
// Proceed and shows the link.
TEST_F(MainWindowTest, TheFieldChoiceWindowExportsOnceItsBarInRange)
{
    struct Case
    {
        int contacts;
        std::int32_t scanned, maximum;
        std::vector<std::int32_t> values; // after the opening 0
    };
    TempFolder dir("ui-bar");
    const auto selectAll = [](ui::FrmConversion &conversion, RecordingConversionFace &f, bool ticked) {
        f.selectAll = ticked;
        conversion.ChkSelectAll_Click();
        return std::count(f.ticks.begin(), f.ticks.end(), true);
    };
    for (const Case &c : {Case{1, 0, 1, {}}, Case{3, 2, 2, {2, 2}}, Case{3, 3, 3, {2, 3}}, Case{2, -5, 1, {1}}}) {
        SCOPED_TRACE(std::to_string(c.contacts) + " contacts, " + std::to_string(c.scanned) + " scanned");
        memory.books["m.nsf"].people.assign(static_cast<std::size_t>(c.contacts), MemoryNotes::contact("P", "", "Q", ""));
        FrmMain &w = open(memory);
        desktop.openFileAnswers = {"m.nsf"};
        w.CmdBrowse_Click();
        desktop.messages.clear();
        state.TotalContacts = c.scanned;
        desktop.folderAnswers = {dir.path.string(), dir.path.string()};
        desktop.inConversion = [&, scanYields = desktop.yields](ui::FrmConversion &conversion,
                                                                RecordingConversionFace &f) {
            f.ticks[3] = true;
            EXPECT_EQ(selectAll(conversion, f, false), 0);
            EXPECT_EQ(selectAll(conversion, f, true), 28);
            f.ticks[0] = false; // by hand: the box stays ticked, the column is left out
            conversion.setFrameInterval(std::chrono::hours(1));
            desktop.whileChoosingFolder = [&conversion] { conversion.CmdConversion_Click(); };
            conversion.CmdConversion_Click();
            EXPECT_TRUE(slurp(dir / "GMAILContacts.csv").starts_with("Last Name,"));
            EXPECT_EQ(desktop.repaints, c.values.empty() ? 0 : 1); // at the first value, then once a frame
            EXPECT_EQ(f.maximum, c.maximum);
            EXPECT_EQ(std::vector<std::int32_t>(f.values.begin() + 1, f.values.end()), c.values);
            EXPECT_EQ(desktop.messages.at(0).owner, &f);
            EXPECT_TRUE(f.linkShown && !f.conversionEnabled);

            desktop.repaints = 0;
            desktop.whileChoosingFolder = nullptr;
            conversion.setFrameInterval(std::chrono::nanoseconds(0));
            conversion.CmdConversion_Click();
            EXPECT_GE(desktop.repaints, static_cast<int>(c.values.size())); // each new bar value
            EXPECT_EQ(desktop.yields, scanYields);
        };
        w.CmdContactsCreate_Click();
        EXPECT_EQ(desktop.folderTitles, std::vector<std::string>(2, "Select Folder to Save GMAILContacts.csv File"));
        EXPECT_FALSE(face.proceedEnabled());
        EXPECT_EQ(desktop.said(), std::vector<std::string>(2, "Conversion Completed...: " + std::to_string(c.contacts) +
                                                              " Contacts Saved Successfully"));
    }

    // A repaint slower than a frame still leaves the export a whole frame before the next.
    memory.books["c.nsf"].people.assign(60, MemoryNotes::contact("P", "", "Q", ""));
    face.path = "c.nsf";
    desktop.repaints = 0;
    desktop.repaintTakes = std::chrono::milliseconds(30);
    desktop.inConversion = [&](ui::FrmConversion &conversion, RecordingConversionFace &f) {
        conversion.setFrameInterval(std::chrono::milliseconds(20));
        selectAll(conversion, f, true);
        conversion.CmdConversion_Click();
    };
    desktop.folderAnswers = {dir.path.string()};
    window->CmdContactsCreate_Click();
    EXPECT_LT(desktop.repaints, 20); // one a contact if the frame counted from the repaint's start
}

// What opened nothing is said when the desktop learns of it, after the command returned,
// with the address or file it was, whatever became of the command's own texts since.
TEST_F(MainWindowTest, PagesAndHelpOpenOrSayLaterWhatCouldNotBeOpened)
{
    const std::string page = config::ProductPageUrl, help = desktop.helpPath;
    const std::tuple<void (FrmMain::*)(), std::string, std::string> cases[] = {
        {&FrmMain::mnuWebsite_Click, page, ui::CannotOpenMessage(page)},
        {&FrmMain::LabelSiteFooter_Click, page, ui::CannotOpenMessage(page)},
        {&FrmMain::mnuContents_Click, "help:" + help, ui::CannotOpenHelpMessage(help)}};
    for (const auto &[command, target, message] : cases) {
        for (const bool opens : {true, false}) {
            SCOPED_TRACE(target + (opens ? ", opens" : ", opens nothing"));
            FrmMain &w = open(memory);
            desktop.nothingOpens = !opens;
            (w.*command)();
            EXPECT_EQ(desktop.opened, std::vector<std::string>{target});
            EXPECT_TRUE(desktop.messages.empty());
            window.reset();
            scribble();
            desktop.reportFailures();
            EXPECT_EQ(desktop.said(), std::vector<std::string>(opens ? 0u : 1u, "Korvane Software: " + message));
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
    desktop.openFileAnswers = {"a.nsf"};
    w.CmdBrowse_Click();
    desktop.messages.clear();
    w.mnuExportVCard_Click(); // the picker cancelled: nothing happens
    EXPECT_EQ(face.captions.size(), 1u);
    EXPECT_TRUE(desktop.messages.empty());
    ASSERT_TRUE(face.proceedEnabled());

    std::vector<int> ticked; // at each opening of the field-choice window
    desktop.inConversion = [&](ui::FrmConversion &, RecordingConversionFace &f) {
        ticked.push_back(static_cast<int>(std::count(f.ticks.begin(), f.ticks.end(), true)));
        f.ticks.assign(f.ticks.size(), true);
    };
    desktop.folderAnswers = {dir.path.string()};
    desktop.whileChoosingFolder = [&] {
        type(".other");
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
    EXPECT_TRUE(ticked.empty());
    EXPECT_EQ(face.captions,
              (std::vector<std::string>{"Tarnwick", "Tarnwick - Saving vCard 0%", "Tarnwick - Saving vCard 66%",
                                        "Tarnwick - Saving vCard 100%", "Tarnwick"}));
    EXPECT_EQ(desktop.said(), std::vector<std::string>{"Conversion Completed...: 3 Contacts Saved Successfully"});
    EXPECT_EQ(desktop.messages[0].owner, &face);
    EXPECT_EQ(desktop.messages[0].captionShown, "Tarnwick");
    EXPECT_EQ(desktop.yields, yields);
    EXPECT_GE(desktop.repaints, 2);
    EXPECT_FALSE(face.proceedEnabled());
    EXPECT_EQ(face.closes, 2);
    EXPECT_TRUE(closed);

    // Afterwards the field-choice window opens afresh each time, nothing ticked; About
    // opens the desktop's box.
    w.CmdContactsCreate_Click();
    w.CmdContactsCreate_Click();
    EXPECT_EQ(ticked, (std::vector<int>{0, 0}));
    w.mnuAbout_Click();
    EXPECT_EQ(desktop.abouts, 1);
}

} // namespace
