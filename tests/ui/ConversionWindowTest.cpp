#include "Fixtures.h"
#include "MemoryNotes.h"
#include "RecordingDesktop.h"
#include "notes/SharedState.h"
#include "ui/FrmConversion.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

using namespace tarnwick;
using ui::FrmConversion;

namespace {

class ConversionWindowTest : public ::testing::Test
{
protected:
    // A fresh window over a book of that many contacts, of which the scan counted scanned;
    // the folder picker answers with the test's folder, Proceed is enabled.
    FrmConversion &open(int contacts, std::int32_t scanned)
    {
        memory.books["m.nsf"].people.assign(static_cast<std::size_t>(contacts), MemoryNotes::contact("P", "", "Q", ""));
        state.TotalContacts = scanned;
        main.path = "m.nsf";
        main.proceed = {true};
        face = {};
        desktop = RecordingDesktop();
        desktop.folderAnswers = {dir.path.string(), dir.path.string()};
        window = std::make_unique<FrmConversion>(desktop, memory, state, main);
        window->attach(face);
        return *window;
    }
    void selectAll(FrmConversion &w, bool ticked)
    {
        face.selectAll = ticked;
        w.ChkSelectAll_Click();
    }

    TempFolder dir{"ui"};
    RecordingDesktop desktop;
    MemoryNotes memory;
    SharedState state;
    RecordingMainFace main;
    RecordingConversionFace face;
    std::unique_ptr<FrmConversion> window;
};

// Select All sets every entry, but the list decides what is written; the windows are
// repainted once a frame, the first at once, and never given input.
TEST_F(ConversionWindowTest, SelectAllThenTheListDecidesAndRepaintsOnceAFrame)
{
    FrmConversion &w = open(5, 5);
    face.ticks[3] = true;
    selectAll(w, false);
    EXPECT_EQ(std::count(face.ticks.begin(), face.ticks.end(), true), 0);
    selectAll(w, true);
    EXPECT_EQ(std::count(face.ticks.begin(), face.ticks.end(), true), 28);
    face.ticks[0] = false; // by hand: the box stays ticked, the column is left out
    w.setFrameInterval(std::chrono::hours(1));
    w.CmdConversion_Click();
    EXPECT_TRUE(slurp(dir / "GMAILContacts.csv").starts_with("Last Name,"));
    EXPECT_EQ(desktop.repaints, 1);

    desktop.repaints = 0;
    w.setFrameInterval(std::chrono::nanoseconds(0));
    w.CmdConversion_Click();
    EXPECT_GE(desktop.repaints, 4); // each new bar value, and while the file is flushed
    EXPECT_EQ(desktop.yields, 0);

    // A repaint slower than a frame still leaves the export a whole frame before the next.
    FrmConversion &slow = open(60, 60);
    desktop.repaintTakes = std::chrono::milliseconds(30);
    slow.setFrameInterval(std::chrono::milliseconds(20));
    selectAll(slow, true);
    slow.CmdConversion_Click();
    EXPECT_LT(desktop.repaints, 20); // one a contact if the frame counted from the repaint's start
}

// An export runs once, however often Start Conversion is clicked while the folder picker
// (which has no owner) is open; its bar stays in range whatever the scan counted, and its
// ending disables Start Conversion and Proceed and shows the link. What the link opens is
// MainWindowTest's: the file, or the folder of the parts, and what opened nothing said
// after the window that asked is gone.
TEST_F(ConversionWindowTest, AnExportRunsOnceItsBarInRange)
{
    struct Case
    {
        int contacts;
        std::int32_t scanned, maximum;
        std::vector<std::int32_t> values; // after the opening 0
    };
    for (const Case &c : {Case{1, 0, 1, {}}, Case{3, 2, 2, {2, 2}}, Case{3, 3, 3, {2, 3}}, Case{2, -5, 1, {1}}}) {
        SCOPED_TRACE(std::to_string(c.contacts) + " contacts, " + std::to_string(c.scanned) + " scanned");
        FrmConversion &w = open(c.contacts, c.scanned);
        selectAll(w, true);
        desktop.whileChoosingFolder = [&w] { w.CmdConversion_Click(); };
        w.CmdConversion_Click();
        EXPECT_EQ(face.maximum, c.maximum);
        EXPECT_EQ(std::vector<std::int32_t>(face.values.begin() + 1, face.values.end()), c.values);
        EXPECT_EQ(desktop.folderTitles, std::vector<std::string>{"Select Folder to Save GMAILContacts.csv File"});
        EXPECT_EQ(desktop.messages.at(0).owner, &face);
        EXPECT_TRUE(face.linkShown && !face.conversionEnabled && !main.proceedEnabled());
        EXPECT_EQ(desktop.said(), std::vector<std::string>{"Conversion Completed...: " + std::to_string(c.contacts) +
                                                           " Contacts Saved Successfully"});
    }
}

} // namespace
