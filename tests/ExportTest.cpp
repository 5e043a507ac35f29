#include "MemoryNotes.h"
#include "RecordingExportHost.h"
#include "cli/InterruptCleanup.h"
#include "export/AtomicFileOutput.h"
#include "export/ContactsExport.h"
#include "export/SplitFileOutput.h"
#include "export/TemporaryFiles.h"
#include "notes/NotesSessionFactory.h"
#include "notes/SharedState.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <csignal>
#include <stdexcept>

#include <sys/stat.h>

using namespace tarnwick;
namespace fs = std::filesystem;

namespace {

const std::string Book = "/books/names.nsf";
const std::string Fixtures = TARNWICK_FIXTURES;

std::string slurp(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

MemoryNotes::Contact annLee()
{
    auto c = MemoryNotes::contact("Ann", "", "Lee", "ann@acme.example");
    c["CompanyName"] = {"Acme"};
    c["FullName"] = {"Ann Lee/Acme", "Ann Lee"};
    c["WebSite"] = {"https://acme.example/ann"};
    return c;
}

// Fails like a full disk once a number of bytes went through, or when its buffer is
// flushed on commit.
class FullDiskOutput final : public ExportOutput
{
public:
    explicit FullDiskOutput(std::size_t room, bool commitFails = false)
        : m_room(room)
        , m_commitFails(commitFails)
    {
    }
    void open(const std::string &path) override
    {
        m_path = path;
        m_real.open(path);
    }
    void write(std::string_view bytes) override
    {
        if (bytes.size() > m_room)
            throw std::runtime_error(m_path + ": cannot write: No space left on device");
        m_room -= bytes.size();
        m_real.write(bytes);
    }
    void commit() override
    {
        if (m_commitFails)
            throw std::runtime_error(m_path + ": cannot write: No space left on device");
        m_real.commit();
    }
    void discard() noexcept override { m_real.discard(); }

private:
    AtomicFileOutput m_real;
    std::string m_path;
    std::size_t m_room;
    bool m_commitFails;
};

class ExportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::remove_all(dir);
        fs::create_directories(dir);
        host.folder = dir.string();
        host.book = Book;
        notes.books[Book].people = {annLee()};
        state.TotalContacts = 1;
    }
    void TearDown() override { fs::remove_all(dir); }

    ExportResult run(ExportOutput *output = nullptr) { return RunContactsExport(host, notes, state, output); }
    std::string written() const { return slurp(dir / "GMAILContacts.csv"); }
    std::vector<fs::path> filesInDir() const
    {
        std::vector<fs::path> out;
        for (const auto &e : fs::directory_iterator(dir))
            out.push_back(e.path().filename());
        return out;
    }

    fs::path dir = fs::path(::testing::TempDir()) / ("tarnwick-export-" + std::to_string(::getpid()));
    MemoryNotes notes;
    RecordingExportHost host;
    SharedState state;
};

TEST_F(ExportTest, SampleBookAllColumnsByteForByte)
{
    host.book = Fixtures + "/sample-book.dxl";
    host.ticked.fill(true);
    notes::NotesSessionFactory platform;
    state.TotalContacts = 37;
    const auto r = RunContactsExport(host, platform, state);
    EXPECT_EQ(r.ending, ExportEnding::Completed);
    EXPECT_EQ(r.rows, 37);
    EXPECT_EQ(written(), slurp(Fixtures + "/sample-book.all.csv"));
    EXPECT_EQ(host.messages.back().text, "37 Contacts Saved Successfully");
    EXPECT_EQ(host.messages.back().title, "Conversion Completed...");
    EXPECT_EQ(state.ExportFilePath, (dir / "GMAILContacts.csv").string());
}

TEST_F(ExportTest, TickedColumnsAndTheSeparatorRule)
{
    struct Case
    {
        std::vector<const char *> ticked;
        std::string file;
    };
    const std::vector<Case> cases = {
        {{"First Name", "Last Name", "Notes"}, "First Name,Last Name,Notes\r\nAnn,Lee,\r\n"},
        {{"First Name", "Company"}, "First Name,Company,\r\nAnn,Acme,\r\n"},
        {{"Notes"}, "Notes\r\n\r\n"},
        {{"Personal Web Page", "Business Web Page"},
         "Personal Web Page,Business Web Page,\r\nhttps://acme.example/ann,https://acme.example/ann,\r\n"},
        // Only the first value of a multi-value item.
        {{"Name", "Middle Name"}, "Middle Name,Name,\r\n,Ann Lee/Acme,\r\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        host.ticked.fill(false);
        host.tick(c.ticked);
        EXPECT_EQ(run().ending, ExportEnding::Completed);
        EXPECT_EQ(written(), c.file);
    }
}

TEST_F(ExportTest, ValuesAreQuotedOnlyWhenTheyMustBe)
{
    auto c = MemoryNotes::contact("  Zoë ", "", "O\"Neil", "");
    c["CompanyName"] = {"Acme, Inc."};
    c["Comment"] = {"line one\r\nline two\nthree"};
    c["City"] = {"東京"};
    notes.books[Book].people = {c};
    host.tick({"First Name", "Last Name", "Home City", "Company", "Notes"});
    EXPECT_EQ(run().ending, ExportEnding::Completed);
    EXPECT_EQ(written(), "First Name,Last Name,Home City,Company,Notes\r\n"
                         "  Zoë ,\"O\"\"Neil\",東京,\"Acme, Inc.\",\"line one\r\nline two\nthree\"\r\n");
}

TEST_F(ExportTest, ProgressAndCompletion)
{
    // One contact: the bar is never moved.
    host.tick({"First Name"});
    run();
    EXPECT_TRUE(host.progress.empty());
    EXPECT_EQ(host.messages.back().text, "1 Contacts Saved Successfully");

    for (int i = 0; i < 4; ++i)
        notes.books[Book].people.push_back(annLee());
    state.TotalContacts = 3; // the book grew since the scan: the host clamps
    host.progress.clear();
    const auto r = run();
    EXPECT_EQ(r.rows, 5);
    EXPECT_EQ(host.minimum, 0);
    EXPECT_EQ(host.maximum, 3);
    EXPECT_EQ(host.progress, (std::vector<std::int32_t>{2, 3, 4, 5}));
    EXPECT_FALSE(host.conversionEnabled);
    EXPECT_FALSE(host.proceedEnabled);
    EXPECT_TRUE(host.linkShown);
    EXPECT_EQ(host.messages.back().text, "5 Contacts Saved Successfully");
    EXPECT_EQ(notes.live, 0);
    EXPECT_EQ(filesInDir(), std::vector<fs::path>{"GMAILContacts.csv"});
}

TEST_F(ExportTest, EndsQuietlyOrAsksForColumns)
{
    host.folder.clear();
    host.tick({"First Name"});
    EXPECT_EQ(run().ending, ExportEnding::Cancelled);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(notes.journal.empty());

    host.folder = dir.string();
    host.ticked.fill(false);
    state.ExportFilePath = "earlier";
    EXPECT_EQ(run().ending, ExportEnding::NothingTicked);
    EXPECT_EQ(host.folderAsks, 2); // the folder comes first, even with nothing ticked
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Please select fields to be exported");
    EXPECT_EQ(host.messages[0].title, "Select Fields");
    EXPECT_EQ(state.ExportFilePath, "earlier");
    EXPECT_TRUE(filesInDir().empty());
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
    EXPECT_EQ(state.ExportFilePath, "/GMAILContacts.csv");
}

TEST_F(ExportTest, SplitPartsHoldAtMostNContactsEachWithTheHeader)
{
    host.tick({"First Name", "Last Name"});
    notes.books[Book].people.clear();
    for (const char *first : {"A", "B", "C", "D", "E", "F", "G"})
        notes.books[Book].people.push_back(MemoryNotes::contact(first, "", "Lee", ""));
    SplitFileOutput parts(3);
    const auto r = run(&parts);
    EXPECT_EQ(r.ending, ExportEnding::Completed);
    EXPECT_EQ(r.rows, 7);
    EXPECT_EQ(parts.parts(), 3);
    const std::string header = "First Name,Last Name,\r\n";
    EXPECT_EQ(slurp(dir / "GMAILContacts-1.csv"), header + "A,Lee,\r\nB,Lee,\r\nC,Lee,\r\n");
    EXPECT_EQ(slurp(dir / "GMAILContacts-2.csv"), header + "D,Lee,\r\nE,Lee,\r\nF,Lee,\r\n");
    EXPECT_EQ(slurp(dir / "GMAILContacts-3.csv"), header + "G,Lee,\r\n");
    EXPECT_EQ(filesInDir().size(), 3u); // no GMAILContacts.csv, no leftovers
}

class ExportFailureTest : public ExportTest
{
protected:
    void SetUp() override
    {
        ExportTest::SetUp();
        std::ofstream(dir / "GMAILContacts.csv", std::ios::binary) << Earlier;
        host.tick({"First Name", "Last Name"});
        for (int i = 0; i < 50; ++i)
            notes.books[Book].people.push_back(annLee());
    }
    void expectFailure(const ExportResult &r, const std::string &reasonPart)
    {
        EXPECT_EQ(r.ending, ExportEnding::Failed);
        ASSERT_FALSE(host.messages.empty());
        const auto &m = host.messages.back();
        EXPECT_EQ(m.text.find("Saved Successfully"), std::string::npos);
        EXPECT_EQ(m.title, "Conversion Failed");
        EXPECT_NE(m.text.find(reasonPart), std::string::npos) << m.text;
        EXPECT_NE(m.text.find("GMAILContacts.csv"), std::string::npos) << m.text;
        EXPECT_EQ(written(), Earlier);
        EXPECT_EQ(filesInDir(), std::vector<fs::path>{"GMAILContacts.csv"});
        EXPECT_TRUE(host.conversionEnabled);
        EXPECT_FALSE(host.linkShown);
        EXPECT_EQ(notes.live, 0);
    }
    static constexpr const char *Earlier = "First Name\r\nOld,\r\n";
};

TEST_F(ExportFailureTest, FullDisk)
{
    FullDiskOutput output(200);
    expectFailure(run(&output), "No space left on device");
}

// Parts of an earlier split export stay as they were whether the disk fills while a part
// is written or only when the parts are flushed at the end.
TEST_F(ExportFailureTest, SplitExportChangesNoFileWhenTheDiskFills)
{
    for (const char *part : {"GMAILContacts-1.csv", "GMAILContacts-2.csv"})
        std::ofstream(dir / part, std::ios::binary) << Earlier;
    for (const bool atCommit : {false, true}) {
        SCOPED_TRACE(atCommit);
        int made = 0;
        SplitFileOutput parts(20, [&]() -> std::unique_ptr<ExportOutput> {
            // The second part runs out of room halfway, or at its final flush.
            const bool second = ++made == 2;
            return std::make_unique<FullDiskOutput>(second && !atCommit ? 100 : 100000, second && atCommit);
        });
        const auto r = run(&parts);
        EXPECT_EQ(r.ending, ExportEnding::Failed);
        EXPECT_NE(r.error.find("No space left on device"), std::string::npos) << r.error;
        EXPECT_NE(r.error.find((dir / "GMAILContacts-2.csv: cannot write").string()), std::string::npos) << r.error;
        EXPECT_EQ(made, atCommit ? 3 : 2);
        EXPECT_EQ(filesInDir().size(), 3u);
        for (const char *file : {"GMAILContacts.csv", "GMAILContacts-1.csv", "GMAILContacts-2.csv"})
            EXPECT_EQ(slurp(dir / file), Earlier) << file;
    }
}

TEST_F(ExportFailureTest, FolderThatCannotBeWritten)
{
    // A folder that is not there any more; as root, permissions would not stop us.
    host.folder = (dir / "gone").string();
    const auto r = run();
    EXPECT_EQ(r.ending, ExportEnding::Failed);
    EXPECT_NE(r.error.find((dir / "gone" / "GMAILContacts.csv").string()), std::string::npos) << r.error;
    EXPECT_NE(r.error.find("No such file or directory"), std::string::npos) << r.error;
    host.folder = dir.string();
    expectFailure(r, "cannot create");
}

TEST_F(ExportFailureTest, ContactThatCannotBeRead)
{
    notes.fail("GetItemValue:LastName", 20);
    expectFailure(run(), "cannot read contact 20");
    notes.journal.clear();
    notes.fail("GetNextDocument", 30);
    expectFailure(run(), "cannot read contact");
}

TEST_F(ExportFailureTest, EmptyBookWritesNothing)
{
    notes.books[Book].people.clear();
    const auto r = run();
    EXPECT_EQ(r.ending, ExportEnding::EmptyBook);
    EXPECT_EQ(host.messages.back().text, "File does not seems to be a valid address book or is empty.");
    EXPECT_EQ(host.messages.back().title, "Korvane Software");
    EXPECT_EQ(written(), Earlier);
    EXPECT_TRUE(host.conversionEnabled);
    EXPECT_TRUE(host.proceedEnabled);
}

TEST_F(ExportFailureTest, NotesUnreachable)
{
    notes.registered = {"Notes.NotesSession"};
    notes.fail("GetDatabase");
    const auto r = run();
    EXPECT_EQ(r.ending, ExportEnding::NotesFailure);
    EXPECT_EQ(host.messages.back().text,
              "Lotus Notes not configured or the selected file is not a correct notes address book file.");
    EXPECT_EQ(host.messages.back().title, "Korvane Software");
    EXPECT_EQ(host.maximum, 1); // the bar got its bounds before Notes was asked
    EXPECT_EQ(written(), Earlier);
    EXPECT_EQ(notes.live, 0);
}

// What the owner gave "GMAILContacts.csv" outlives the export, with and without files
// created unnamed.
class ReplacedFileTest : public ExportTest, public ::testing::WithParamInterface<bool>
{
protected:
    void SetUp() override
    {
        ExportTest::SetUp();
        TemporaryFiles::setUnnamedFilesAllowed(GetParam());
    }
    void TearDown() override
    {
        TemporaryFiles::setUnnamedFilesAllowed(true);
        ExportTest::TearDown();
    }
    static void replace(const fs::path &path, const std::string &bytes)
    {
        AtomicFileOutput out;
        out.open(path.string());
        out.write(bytes);
        out.commit();
    }
    static unsigned mode(const fs::path &path)
    {
        struct stat st{};
        EXPECT_EQ(::stat(path.c_str(), &st), 0);
        return st.st_mode & 07777;
    }
};

TEST_P(ReplacedFileTest, KeepsPermissions)
{
    const auto file = dir / "GMAILContacts.csv";
    for (const unsigned bits : {0600u, 0640u, 0604u}) {
        std::ofstream(file) << "old";
        fs::permissions(file, static_cast<fs::perms>(bits));
        replace(file, "new");
        EXPECT_EQ(slurp(file), "new");
        EXPECT_EQ(mode(file), bits);
    }
}

TEST_P(ReplacedFileTest, ReadOnlyIsNotReplaced)
{
    const auto file = dir / "GMAILContacts.csv";
    std::ofstream(file) << "old";
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read);
    try {
        replace(file, "new");
        ADD_FAILURE() << "a read-only file was replaced";
    } catch (const std::runtime_error &error) {
        EXPECT_NE(std::string(error.what()).find("read-only"), std::string::npos) << error.what();
    }
    EXPECT_EQ(slurp(file), "old");
    EXPECT_EQ(filesInDir(), std::vector<fs::path>{"GMAILContacts.csv"});
}

TEST_P(ReplacedFileTest, SymbolicLinkIsKeptAndItsTargetReplaced)
{
    fs::create_directories(dir / "real");
    std::ofstream(dir / "real" / "contacts.csv") << "old";
    fs::permissions(dir / "real" / "contacts.csv", static_cast<fs::perms>(0600));
    fs::create_symlink("real/contacts.csv", dir / "GMAILContacts.csv");
    replace(dir / "GMAILContacts.csv", "new");
    EXPECT_TRUE(fs::is_symlink(dir / "GMAILContacts.csv"));
    EXPECT_EQ(slurp(dir / "real" / "contacts.csv"), "new");
    EXPECT_EQ(mode(dir / "real" / "contacts.csv"), 0600u);
    EXPECT_EQ(fs::directory_iterator(dir / "real")->path().filename(), "contacts.csv");
}

// Nothing half-written is left: with unnamed files there is nothing to see until the
// commit; a named one goes on Ctrl-C or SIGTERM.
TEST_P(ReplacedFileTest, NothingLeftBehindOnAnInterruption)
{
    const auto file = dir / "GMAILContacts.csv";
    std::ofstream(file) << "old";
    if (GetParam()) {
        AtomicFileOutput out;
        out.open(file.string());
        out.write("half");
        EXPECT_EQ(filesInDir(), std::vector<fs::path>{"GMAILContacts.csv"});
    }
    for (const int signal : {SIGINT, SIGTERM}) {
        EXPECT_EXIT(
            {
                cli::installInterruptCleanup();
                AtomicFileOutput out;
                out.open(file.string());
                out.write("half");
                std::raise(signal);
            },
            ::testing::KilledBySignal(signal), "");
        EXPECT_EQ(filesInDir(), std::vector<fs::path>{"GMAILContacts.csv"});
        EXPECT_EQ(slurp(file), "old");
    }
}

INSTANTIATE_TEST_SUITE_P(UnnamedAndNamed, ReplacedFileTest, ::testing::Bool());

} // namespace
