#include "Fixtures.h"
#include "MemoryNotes.h"
#include "RecordingExportHost.h"
#include "cli/InterruptCleanup.h"
#include "export/AtomicFileOutput.h"
#include "export/ContactsExport.h"
#include "export/SplitFileOutput.h"
#include "export/TemporaryFiles.h"
#include "notes/SharedState.h"

#include <csignal>
#include <functional>
#include <stdexcept>

#include <sys/stat.h>

using namespace tarnwick;
namespace fs = std::filesystem;

namespace {

const std::string Book = "/books/names.nsf";
const std::string Earlier = "First Name\r\nOld,\r\n";
// A folder that is not there, in the C runtime's words; on Windows the export says it in
// the system's own, which the Windows tests check word for word.
#ifdef _WIN32
const std::string MissingFolder = "";
#else
const std::string MissingFolder = "No such file or directory";
#endif

MemoryNotes::Contact annLee()
{
    auto c = MemoryNotes::contact("Ann", "", "Lee", "ann@acme.example");
    c["CompanyName"] = {"Acme"};
    c["FullName"] = {"Ann Lee/Acme", "Ann Lee"};
    c["WebSite"] = {"https://acme.example/ann"};
    return c;
}

// The real file, failing like a full disk once `room` bytes went through or at the commit;
// it keeps whether the export let go of it.
struct TestOutput final : ExportOutput
{
    std::size_t room = 1u << 30;
    bool commitFails = false, discarded = false;
    AtomicFileOutput real;
    std::string path;
    void open(const std::string &p) override { real.open(path = p); }
    void write(std::string_view bytes) override
    {
        if (bytes.size() > room)
            throw std::runtime_error(path + ": cannot write: No space left on device");
        room -= bytes.size();
        real.write(bytes);
    }
    void commit() override
    {
        if (commitFails)
            throw std::runtime_error(path + ": cannot write: No space left on device");
        real.commit();
    }
    void discard() noexcept override
    {
        discarded = true;
        real.discard();
    }
};

class ExportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        host.folder = dir.path.string();
        host.book = Book;
        notes.books[Book].people = {annLee()};
        state.TotalContacts = 1;
    }
    void TearDown() override { TemporaryFiles::setUnnamedFilesAllowed(true); }
    ExportResult run(ExportOutput *output = nullptr) { return RunContactsExport(host, notes, state, output); }
    std::string written() const { return slurp(dir / "GMAILContacts.csv"); }

    TempFolder dir{"export"};
    MemoryNotes notes;
    RecordingExportHost host;
    SharedState state;
};

TEST_F(ExportTest, TickedColumnsQuotingAndTheSeparatorRule)
{
    auto odd = MemoryNotes::contact("  Zoë ", "\r", "O\"Neil", "");
    odd["CompanyName"] = {"Acme, Inc."};
    odd["Comment"] = {"line one\r\nline two\nthree"};
    odd["City"] = {"東京"};
    const std::pair<std::vector<const char *>, std::string> cases[] = {
        {{"First Name", "Last Name", "Notes"}, "First Name,Last Name,Notes\r\nAnn,Lee,\r\n"},
        {{"First Name", "Company"}, "First Name,Company,\r\nAnn,Acme,\r\n"},
        {{"Notes"}, "Notes\r\n\r\n"},
        {{"Personal Web Page", "Business Web Page"},
         "Personal Web Page,Business Web Page,\r\nhttps://acme.example/ann,https://acme.example/ann,\r\n"},
        // Only the first value of a multi-value item.
        {{"Name", "Middle Name"}, "Middle Name,Name,\r\n,Ann Lee/Acme,\r\n"},
        {{"First Name", "Last Name", "Middle Name", "Home City", "Company", "Notes"},
         "First Name,Last Name,Middle Name,Home City,Company,Notes\r\n"
         "  Zoë ,\"O\"\"Neil\",\"\r\",東京,\"Acme, Inc.\",\"line one\r\nline two\nthree\"\r\n"},
    };
    for (const auto &[ticked, file] : cases) {
        SCOPED_TRACE(file);
        if (ticked.size() == 6)
            notes.books[Book].people = {odd};
        host.ticked.fill(false);
        host.tick(ticked);
        EXPECT_EQ(run().ending, ExportEnding::Completed);
        EXPECT_EQ(written(), file);
    }
}

TEST_F(ExportTest, ProgressAndCompletion)
{
    host.tick({"First Name"});
    run();
    EXPECT_TRUE(host.progress.empty()); // one contact: the bar is never moved
    notes.books[Book].people.assign(5, annLee());
    state.TotalContacts = 3; // the book grew since the scan: the host clamps
    EXPECT_EQ(run().rows, 5);
    EXPECT_EQ(host.maximum, 3);
    EXPECT_EQ(host.progress, (std::vector<std::int32_t>{2, 3, 4, 5}));
    EXPECT_FALSE(host.conversionEnabled);
    EXPECT_FALSE(host.proceedEnabled);
    EXPECT_TRUE(host.linkShown);
    EXPECT_EQ(host.messages.back().text, "5 Contacts Saved Successfully");
    EXPECT_EQ(host.messages.back().title, "Conversion Completed...");
    EXPECT_EQ(state.ExportFilePath, dir / "GMAILContacts.csv");
    EXPECT_EQ(notes.live, 0);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"GMAILContacts.csv"});
}

TEST_F(ExportTest, EndsQuietlyOrAsksForColumns)
{
    host.folder.clear();
    host.tick({"First Name"});
    EXPECT_EQ(run().ending, ExportEnding::Cancelled);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(notes.journal.empty());

    host.folder = dir.path.string();
    host.ticked.fill(false);
    EXPECT_EQ(run().ending, ExportEnding::NothingTicked);
    EXPECT_EQ(host.folderAsks, 2); // the folder comes first, even with nothing ticked
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Please select fields to be exported");
    EXPECT_EQ(host.messages[0].title, "Select Fields");
    EXPECT_TRUE(dir.names().empty());
}

TEST_F(ExportTest, RootFolderGetsOneSeparator)
{
    struct NullOutput final : ExportOutput
    {
        std::string path;
        void open(const std::string &p) override { path = p; }
        void write(std::string_view) override {}
        void commit() override {}
        void discard() noexcept override {}
    } output;
    host.folder = "/";
    host.tick({"First Name"});
    run(&output);
    EXPECT_EQ(output.path, "/GMAILContacts.csv");
}

TEST_F(ExportTest, SplitPartsHoldAtMostNContactsEachWithTheHeader)
{
    host.tick({"First Name", "Last Name"});
    notes.books[Book].people.clear();
    for (const char *first : {"A", "B", "C", "D", "E", "F", "G"})
        notes.books[Book].people.push_back(MemoryNotes::contact(first, "", "Lee", ""));
    SplitFileOutput parts(3);
    EXPECT_EQ(run(&parts).rows, 7);
    const std::string header = "First Name,Last Name,\r\n";
    EXPECT_EQ(slurp(dir / "GMAILContacts-1.csv"), header + "A,Lee,\r\nB,Lee,\r\nC,Lee,\r\n");
    EXPECT_EQ(slurp(dir / "GMAILContacts-2.csv"), header + "D,Lee,\r\nE,Lee,\r\nF,Lee,\r\n");
    EXPECT_EQ(slurp(dir / "GMAILContacts-3.csv"), header + "G,Lee,\r\n");
    EXPECT_EQ(dir.names().size(), 3u); // no GMAILContacts.csv, no leftovers
}

// Every way an export fails leaves the earlier file as it was, nothing beside it, every
// Notes object released and the window ready for another try.
TEST_F(ExportTest, FailuresChangeNothing)
{
    struct Case
    {
        const char *name;
        std::function<void(TestOutput &)> setUp;
        ExportEnding ending;
        std::string text, title = "Conversion Failed";
    };
    const std::string notesText = "Lotus Notes not configured or the selected file is not a correct notes "
                                  "address book file.";
    const Case cases[] = {
        {"full disk", [](TestOutput &o) { o.room = 200; }, ExportEnding::Failed, "No space left on device"},
        {"full at the commit", [](TestOutput &o) { o.commitFails = true; }, ExportEnding::Failed,
         "GMAILContacts.csv: cannot write: No space left on device"},
        {"folder gone", [&](TestOutput &) { host.folder = dir / "gone"; }, ExportEnding::Failed,
         "gone" + std::string(1, fs::path::preferred_separator == L'\\' ? '\\' : '/') +
             "GMAILContacts.csv: cannot create the file: " + MissingFolder},
        {"read-only file", [&](TestOutput &) { fs::permissions(dir / "GMAILContacts.csv", fs::perms::owner_read); },
         ExportEnding::Failed, "GMAILContacts.csv: cannot replace the file: it is read-only"},
        {"unreadable contact", [&](TestOutput &) { notes.fail("GetItemValue:LastName", 20); }, ExportEnding::Failed,
         "GMAILContacts.csv: cannot read contact 20 of the address book"},
        {"walk broken", [&](TestOutput &) { notes.fail("GetNextDocument", 30); }, ExportEnding::Failed,
         "cannot read contact 31 of"},
        {"empty book", [&](TestOutput &) { notes.books[Book].people.clear(); }, ExportEnding::EmptyBook,
         "File does not seems to be a valid address book or is empty.", "Korvane Software"},
        {"Notes unreachable",
         [&](TestOutput &) {
             notes.registered = {"Notes.NotesSession"};
             notes.fail("GetDatabase");
         },
         ExportEnding::NotesFailure, notesText, "Korvane Software"},
    };
    TemporaryFiles::setUnnamedFilesAllowed(false); // a named file, so that one left behind shows
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        notes = MemoryNotes();
        host = RecordingExportHost();
        SetUp();
        notes.books[Book].people.assign(50, annLee());
        host.tick({"First Name", "Last Name"});
        dir.write("GMAILContacts.csv", Earlier);
        TestOutput output;
        c.setUp(output);
        const auto r = run(&output);
        EXPECT_EQ(r.ending, c.ending);
        ASSERT_FALSE(host.messages.empty());
        EXPECT_NE(host.messages.back().text.find(c.text), std::string::npos) << host.messages.back().text;
        EXPECT_EQ(host.messages.back().title, c.title);
        EXPECT_EQ(written(), Earlier);
        EXPECT_EQ(dir.names(), std::vector<std::string>{"GMAILContacts.csv"});
        EXPECT_TRUE(host.conversionEnabled);
        EXPECT_FALSE(host.linkShown);
        EXPECT_EQ(notes.live, 0);
        if (c.ending == ExportEnding::Failed && !output.path.empty()) {
            EXPECT_TRUE(output.discarded);
        }
        fs::permissions(dir / "GMAILContacts.csv", fs::perms::owner_all); // back from the read-only case
    }
}

// Parts of an earlier split export stay as they were whether the disk fills while a part
// is written or only when the parts are flushed at the end.
TEST_F(ExportTest, SplitExportChangesNoFileWhenTheDiskFills)
{
    notes.books[Book].people.assign(50, annLee());
    host.tick({"First Name"});
    for (const char *file : {"GMAILContacts.csv", "GMAILContacts-1.csv", "GMAILContacts-2.csv"})
        dir.write(file, Earlier);
    for (const bool atCommit : {false, true}) {
        SCOPED_TRACE(atCommit);
        int made = 0;
        SplitFileOutput parts(20, [&]() -> std::unique_ptr<ExportOutput> {
            auto o = std::make_unique<TestOutput>(); // the second part runs out of room
            if (++made == 2 && atCommit)
                o->commitFails = true;
            else if (made == 2)
                o->room = 100;
            return o;
        });
        const auto r = run(&parts);
        EXPECT_NE(r.error.find(dir / "GMAILContacts-2.csv: cannot write: No space"), std::string::npos) << r.error;
        EXPECT_EQ(made, atCommit ? 3 : 2);
        EXPECT_EQ(dir.names().size(), 3u);
        for (const char *file : {"GMAILContacts.csv", "GMAILContacts-1.csv", "GMAILContacts-2.csv"})
            EXPECT_EQ(slurp(dir / file), Earlier) << file;
    }
}

#ifndef _WIN32
// What the owner gave "GMAILContacts.csv" outlives the export, with and without files
// created unnamed. (POSIX modes, links and signals; the read-only attribute of Windows is
// tested under Wine.)
class ReplacedFileTest : public ExportTest, public ::testing::WithParamInterface<bool>
{
protected:
    void SetUp() override { TemporaryFiles::setUnnamedFilesAllowed(GetParam()); }
    static unsigned mode(const std::string &path)
    {
        struct stat st{};
        EXPECT_EQ(::stat(path.c_str(), &st), 0);
        return st.st_mode & 07777;
    }
    const std::string file = dir / "GMAILContacts.csv";
};

// Its permission bits stay, and a symbolic link stays a link to the file replaced.
TEST_P(ReplacedFileTest, KeepsPermissionsAndLinks)
{
    fs::create_directories(dir.path / "real");
    const auto real = dir / "real/contacts.csv";
    fs::create_symlink("real/contacts.csv", file);
    for (const unsigned bits : {0600u, 0640u, 0604u}) {
        dir.write("real/contacts.csv", "old");
        fs::permissions(real, static_cast<fs::perms>(bits));
        AtomicFileOutput out;
        out.open(file);
        out.write("new");
        out.commit();
        EXPECT_EQ(slurp(real), "new");
        EXPECT_EQ(mode(real), bits);
        EXPECT_TRUE(fs::is_symlink(file));
    }
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"GMAILContacts.csv", "real"}));
    EXPECT_EQ(fs::directory_iterator(dir.path / "real")->path().filename(), "contacts.csv");
}

// Nothing half-written is left: with unnamed files there is nothing to see until the
// commit; a named one goes on Ctrl-C or SIGTERM.
TEST_P(ReplacedFileTest, NothingLeftBehindOnAnInterruption)
{
    dir.write("GMAILContacts.csv", "old");
    if (GetParam()) {
        AtomicFileOutput out;
        out.open(file);
        out.write("half");
        EXPECT_EQ(dir.names(), std::vector<std::string>{"GMAILContacts.csv"});
    }
    for (const int signal : {SIGINT, SIGTERM}) {
        EXPECT_EXIT(
            {
                cli::installInterruptCleanup();
                AtomicFileOutput out;
                out.open(file);
                out.write("half");
                std::raise(signal);
            },
            ::testing::KilledBySignal(signal), "");
        EXPECT_EQ(dir.names(), std::vector<std::string>{"GMAILContacts.csv"});
        EXPECT_EQ(slurp(file), "old");
    }
}

INSTANTIATE_TEST_SUITE_P(UnnamedAndNamed, ReplacedFileTest, ::testing::Bool());
#endif

} // namespace
