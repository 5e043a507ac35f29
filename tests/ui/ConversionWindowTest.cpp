#include "Fixtures.h"
#include "MemoryNotes.h"
#include "RecordingDesktop.h"
#include "notes/NotesSessionFactory.h"
#include "notes/SharedState.h"
#include "ui/FrmConversion.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>

using namespace tarnwick;
using ui::FrmConversion;

namespace {

class ConversionWindowTest : public ::testing::Test
{
protected:
    FrmConversion &open(notes::SessionFactory &notes, const std::string &book)
    {
        main.path = book;
        window = std::make_unique<FrmConversion>(desktop, notes, state, main);
        window->attach(face);
        return *window;
    }
    FrmConversion &openMemoryBook(int contacts, std::int32_t scanned)
    {
        for (int i = 0; i < contacts; ++i)
            memory.books["m.nsf"].people.push_back(MemoryNotes::contact("P" + std::to_string(i), "", "Q", ""));
        state.TotalContacts = scanned;
        return open(memory, "m.nsf");
    }
    void selectAll(FrmConversion &w, bool ticked)
    {
        face.selectAll = ticked;
        w.ChkSelectAll_Click();
    }
    std::string written() const { return slurp(dir / "GMAILContacts.csv"); }

    TempFolder dir{"ui"};
    const std::filesystem::path folder = dir.path;
    RecordingDesktop desktop;
    MemoryNotes memory;
    SharedState state;
    RecordingMainFace main;
    RecordingConversionFace face;
    std::unique_ptr<FrmConversion> window;
};

TEST_F(ConversionWindowTest, ExportOfTheSampleBookWritesItAndEnds)
{
    notes::NotesSessionFactory dxl;
    FrmConversion &w = open(dxl, fixture("sample-book.dxl"));
    state.TotalContacts = 37;
    main.proceed = {true};
    selectAll(w, true);
    desktop.folderAnswers = {folder.string()};
    // Start Conversion clicked again while the picker (which has no owner) is open: one run.
    desktop.whileChoosingFolder = [&w] { w.CmdConversion_Click(); };
    EXPECT_FALSE(face.linkShown);
    w.CmdConversion_Click();

    EXPECT_EQ(written(), slurp(fixture("sample-book.all.csv")));
    EXPECT_EQ(desktop.folderTitles, std::vector<std::string>{"Select Folder to Save GMAILContacts.csv File"});
    EXPECT_EQ(face.minimum, 0);
    EXPECT_EQ(face.maximum, 37);
    ASSERT_EQ(face.values.size(), 37u); // the opening 0, then 2 to 37
    for (std::size_t i = 0; i < face.values.size(); ++i)
        EXPECT_EQ(face.values[i], i ? static_cast<std::int32_t>(i + 1) : 0);
    EXPECT_FALSE(face.conversionEnabled);
    EXPECT_FALSE(main.proceedEnabled());
    EXPECT_TRUE(face.linkShown);
    EXPECT_EQ(desktop.said(), std::vector<std::string>{"Conversion Completed...: 37 Contacts Saved Successfully"});
    EXPECT_EQ(desktop.messages[0].owner, &face);

    // The link opens the file; a file that nothing opens is named when the desktop hears
    // of it, after the window has closed.
    const std::string path = (folder / "GMAILContacts.csv").string();
    EXPECT_EQ(state.ExportFilePath, path);
    w.LblOpenExcelFile_Click();
    desktop.nothingOpens = true;
    w.LblOpenExcelFile_Click();
    EXPECT_EQ(desktop.opened, (std::vector<std::string>{path, path}));
    window.reset();
    scribble();
    desktop.reportFailures();
    ASSERT_EQ(desktop.messages.size(), 2u);
    EXPECT_NE(desktop.messages[1].text.find("\r\n" + path + "\r\n"), std::string::npos);
}

TEST_F(ConversionWindowTest, SelectAllSetsEveryEntryAndTheListDecides)
{
    FrmConversion &w = openMemoryBook(1, 1);
    face.ticks[3] = true;
    selectAll(w, false);
    EXPECT_EQ(std::count(face.ticks.begin(), face.ticks.end(), true), 0);
    selectAll(w, true);
    EXPECT_EQ(std::count(face.ticks.begin(), face.ticks.end(), true), 28);

    face.ticks[0] = false; // by hand: the box stays ticked, the column is left out
    EXPECT_TRUE(face.selectAll);
    desktop.folderAnswers = {folder.string()};
    w.CmdConversion_Click();
    EXPECT_TRUE(written().starts_with("Last Name,"));
}

TEST_F(ConversionWindowTest, ProgressBarStaysInRange)
{
    struct Case
    {
        int contacts;
        std::int32_t scanned, maximum;
        std::vector<std::int32_t> values; // after the opening 0
    };
    for (const Case &c : {Case{1, 0, 1, {}}, Case{3, 2, 2, {2, 2}}, Case{3, 3, 3, {2, 3}}, Case{2, -5, 1, {1}}}) {
        SCOPED_TRACE(std::to_string(c.contacts) + " contacts, " + std::to_string(c.scanned) + " scanned");
        memory.books.clear();
        face = {};
        FrmConversion &w = openMemoryBook(c.contacts, c.scanned);
        selectAll(w, true);
        desktop.folderAnswers = {folder.string()};
        w.CmdConversion_Click();
        EXPECT_EQ(face.maximum, c.maximum);
        EXPECT_EQ(std::vector<std::int32_t>(face.values.begin() + 1, face.values.end()), c.values);
    }
}

TEST_F(ConversionWindowTest, RepaintsAtMostOnceAFrame)
{
    FrmConversion &w = openMemoryBook(5, 5);
    selectAll(w, true);
    desktop.folderAnswers = {folder.string(), folder.string()};
    w.setFrameInterval(std::chrono::hours(1));
    w.CmdConversion_Click();
    EXPECT_EQ(desktop.repaints, 1); // the first comes at once

    desktop.repaints = 0;
    w.setFrameInterval(std::chrono::nanoseconds(0));
    w.CmdConversion_Click();
    EXPECT_GE(desktop.repaints, 4); // each new bar value, and while the file is flushed
    EXPECT_EQ(desktop.yields, 0);   // and never takes input
}

} // namespace
