#include "Fixtures.h"
#include "MemoryNotes.h"
#include "RecordingHost.h"
#include "cli/InterruptCleanup.h"
#include "export/AtomicFileOutput.h"
#include "export/ContactsExport.h"
#include "export/SplitFileOutput.h"
#include "export/TemporaryFiles.h"
#include "notes/SharedState.h"

#include <csignal>
#include <functional>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#endif

using namespace tarnwick;
namespace fs = std::filesystem;

namespace {

const std::string Book = "/books/names.nsf";
const std::string Earlier = "First Name\r\nOld,\r\n";
using Names = std::vector<std::string>;
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
    ExportResult run(ExportOutput *output = nullptr, ExportFormat format = ExportFormat::Csv)
    {
        return RunContactsExport(host, notes, state, output, format);
    }
    std::string written(const std::string &name = "GMAILContacts.csv") const { return slurp(dir / name); }
    // Contacts named after their letter, first names of the given lengths, in this order.
    void people(const std::vector<std::size_t> &lengths)
    {
        notes.books[Book].people.clear();
        for (std::size_t i = 0; i < lengths.size(); ++i)
            notes.books[Book].people.push_back(
                MemoryNotes::contact(std::string(lengths[i], static_cast<char>('A' + i % 26)), "", "Lee", ""));
    }
    std::string message() const { return host.said.empty() ? std::string() : host.said.back(); }

    TempFolder dir{"export"};
    MemoryNotes notes;
    RecordingHost host;
    SharedState state;
};

// A finished export leaves its file alone in the folder and every Notes object released.
// A CSV holds the ticked columns; a card holds each value in its property, every value of a
// list, in the order Notes gives them, and FN from the full name's common name, else the
// name's parts, else the mail address.
TEST_F(ExportTest, TickedColumnsQuotingAndWholeCards)
{
    auto odd = MemoryNotes::contact("  Zoë ", "\r", "O\"Neil", "");
    odd["CompanyName"] = {"Acme, Inc."};
    odd["Comment"] = {"line one\r\nline two\nthree"};
    odd["City"] = {"東京"};
    const MemoryNotes::Contact full{
        {"FullName", {"CN=Ann Carter/OU=Sales/O=Acme", "Ann Carter", "Annie C", "Nan"}},
        {"FirstName", {"Ann"}}, {"MiddleInitial", {"Q"}}, {"LastName", {"Carter"}}, {"Title", {"Dr."}},
        {"Suffix", {"PhD"}}, {"NickName", {"Nan"}},
        {"MailAddress", {"ann@acme.example", "", "\"Carter, Ann\" <ann@home.example>"}},
        {"InternetAddress", {"ann@acme.example", "a.carter@acme.example"}},
        {"OfficePhoneNumber", {"+1 555 0100", "+1 555 0101"}}, {"PhoneNumber", {"+1 555 0200"}},
        {"CellPhoneNumber", {"+1 555 0300"}}, {"OfficeFAXPhoneNumber", {"+1 555 0400"}},
        {"HomeFAXPhoneNumber", {"+1 555 0500"}}, {"PersPager", {"555-1234"}},
        {"StreetAddress", {"Flat 3\n27 Elm Street"}}, {"City", {"Springfield"}}, {"Zip", {"01101"}},
        {"Country", {"USA"}}, {"Location", {"Building 2, Room 301"}}, {"OfficeStreetAddress", {"1 Acme Way"}},
        {"OfficeCity", {"Boston"}}, {"OfficeState", {"MA"}},
        {"CompanyName", {"Acme; Inc.", "Globex"}}, {"Department", {"R&D"}},
        {"JobTitle", {"Head of \"Special\" Projects"}}, {"WebSite", {"https://acme.example/ann", "https://ann.example"}},
        {"Birthday", {"1985-03-14 09:30:00"}}, {"Categories", {"Customers", "Book Club, Tuesdays"}},
        {"Comment", {"Call before 10am;\r\nnever on Fridays.", "C:\\notes"}},
    };
    auto flat = MemoryNotes::contact("Bo", "", "Lee", "");
    flat["FullName"] = {"Bo Lee/Acme", "Bo Lee"};
    const auto ann = annLee();
    const auto note = [](const std::string &text) { return MemoryNotes::Contact{{"Comment", {text}}}; };
    const std::string noName = "FN:\r\nN:;;;;\r\n";
    const std::string a68(68, 'a'), a69(69, 'a'), a70(70, 'a'), a73(73, 'a'), a74(74, 'a');
    constexpr auto Csv = ExportFormat::Csv, Card = ExportFormat::VCard;
    const std::tuple<ExportFormat, std::vector<const char *>, MemoryNotes::Contact, std::string> cases[] = {
        {Csv, {"First Name", "Last Name", "Notes"}, ann, "First Name,Last Name,Notes\r\nAnn,Lee,\r\n"},
        {Csv, {"First Name", "Company"}, ann, "First Name,Company,\r\nAnn,Acme,\r\n"},
        {Csv, {"Notes"}, ann, "Notes\r\n\r\n"},
        {Csv, {"Personal Web Page", "Business Web Page"}, ann,
         "Personal Web Page,Business Web Page,\r\nhttps://acme.example/ann,https://acme.example/ann,\r\n"},
        // Only the first value of a multi-value item.
        {Csv, {"Name", "Middle Name"}, ann, "Middle Name,Name,\r\n,Ann Lee/Acme,\r\n"},
        {Csv, {"First Name", "Last Name", "Middle Name", "Home City", "Company", "Notes"}, odd,
         "First Name,Last Name,Middle Name,Home City,Company,Notes\r\n"
         "  Zoë ,\"O\"\"Neil\",\"\r\",東京,\"Acme, Inc.\",\"line one\r\nline two\nthree\"\r\n"},
        {Card, {}, full, "FN:Ann Carter\r\n"
                         "N:Carter;Ann;Q;Dr.;PhD\r\n"
                         "NICKNAME:Nan,Annie C\r\n"
                         "EMAIL;TYPE=INTERNET,PREF:ann@acme.example\r\n"
                         "EMAIL;TYPE=INTERNET:\"Carter\\, Ann\" <ann@home.example>\r\n"
                         "EMAIL;TYPE=INTERNET:a.carter@acme.example\r\n"
                         "TEL;TYPE=WORK,VOICE:+1 555 0100\r\n"
                         "TEL;TYPE=WORK,VOICE:+1 555 0101\r\n"
                         "TEL;TYPE=HOME,VOICE:+1 555 0200\r\n"
                         "TEL;TYPE=CELL:+1 555 0300\r\n"
                         "TEL;TYPE=WORK,FAX:+1 555 0400\r\n"
                         "TEL;TYPE=HOME,FAX:+1 555 0500\r\n"
                         "TEL;TYPE=PAGER:555-1234\r\n"
                         "ADR;TYPE=HOME:;;Flat 3\\n27 Elm Street;Springfield;;01101;USA\r\n"
                         "ADR;TYPE=WORK:;Building 2\\, Room 301;1 Acme Way;Boston;MA;;\r\n"
                         "ORG:Acme\\; Inc.;R&D\r\n"
                         "ORG:Globex\r\n"
                         "TITLE:Head of \"Special\" Projects\r\n"
                         "URL:https://acme.example/ann\r\n"
                         "URL:https://ann.example\r\n"
                         "BDAY:1985-03-14T09:30:00\r\n"
                         "CATEGORIES:Customers,Book Club\\, Tuesdays\r\n"
                         "NOTE:Call before 10am\\;\\nnever on Fridays.\\nC:\\\\notes\r\n"},
        {Card, {}, flat, "FN:Bo Lee\r\nN:Lee;Bo;;;\r\n"},
        {Card, {}, MemoryNotes::contact("Cy", "J", "Moe", ""), "FN:Cy J Moe\r\nN:Moe;Cy;J;;\r\n"},
        {Card, {}, {{"MailAddress", {"di@example.com"}}, {"Birthday", {"1990-02-01"}}},
         "FN:di@example.com\r\nN:;;;;\r\nEMAIL;TYPE=INTERNET,PREF:di@example.com\r\nBDAY:1990-02-01\r\n"},
        {Card, {}, {{"Department", {"Sales"}}}, "FN:\r\nN:;;;;\r\nORG:;Sales\r\n"},
        // RFC 2426's escapes, and its folding: no line over 75 octets, a folded line starting
        // with a blank, never inside a UTF-8 character (two, three and four bytes at the limit).
        {Card, {}, note("back\\slash, comma; semi"), noName + "NOTE:back\\\\slash\\, comma\\; semi\r\n"},
        {Card, {}, note("one\r\ntwo\nthree\rfour\r"), noName + "NOTE:one\\ntwo\\nthree\\nfour\\n\r\n"},
        {Card, {}, note(a70), noName + "NOTE:" + a70 + "\r\n"},
        {Card, {}, note(a70 + "a"), noName + "NOTE:" + a70 + "\r\n a\r\n"},
        {Card, {}, note(a70 + a74 + "a"), noName + "NOTE:" + a70 + "\r\n " + a74 + "\r\n a\r\n"},
        {Card, {}, note(a69 + "é"), noName + "NOTE:" + a69 + "\r\n é\r\n"},
        {Card, {}, note(a69 + "東"), noName + "NOTE:" + a69 + "\r\n 東\r\n"},
        {Card, {}, note(a70 + "😀"), noName + "NOTE:" + a70 + "\r\n 😀\r\n"},
        {Card, {}, note("x" + a68 + ","), noName + "NOTE:x" + a68 + "\\\r\n ,\r\n"},
        {Card, {}, note(a69 + "\n" + a73 + "ü"), noName + "NOTE:" + a69 + "\\\r\n n" + a73 + "\r\n ü\r\n"},
    };
    host.folder = (dir.path / "").string(); // ending in a separator: not doubled
    for (const auto &[format, ticked, contact, file] : cases) {
        SCOPED_TRACE(file);
        const std::string name(exportFileName(format));
        notes.books[Book].people = {contact};
        host.ticked.fill(false); // a card holds every value whatever is ticked
        host.tick(ticked);
        EXPECT_EQ(run(nullptr, format).ending, ExportEnding::Completed);
        EXPECT_EQ(written(name), format == Csv ? file : "BEGIN:VCARD\r\nVERSION:3.0\r\n" + file + "END:VCARD\r\n");
        EXPECT_EQ(dir.names(), Names{name});
        EXPECT_EQ(notes.live, 0);
        fs::remove(dir / name);
    }
}

// Every way an export ends without writing, in either format, leaves the earlier file as it
// was, nothing beside it, every Notes object released and the window ready for another try.
// The folder is asked for first; with none chosen or nothing ticked Notes is not opened.
TEST_F(ExportTest, FailuresChangeNothing)
{
    // What a case sets up, how the export ends, the start of the message with its title (@
    // stands for the file).
    using Case = std::tuple<std::function<void(const std::string &file)>, ExportEnding, std::string>;
    // The path as the export joins it, with the platform's separator.
    const std::string sep(1, fs::path::preferred_separator == L'\\' ? '\\' : '/');
    const std::string failed =
        "Conversion Failed: The contacts could not be saved.\r\n\r\n" + dir.path.string() + sep;
    const Case cases[] = {
        {[&](auto &) { host.folder.clear(); }, ExportEnding::Cancelled, ""},
        {[&](auto &) { host.ticked.fill(false); }, ExportEnding::NothingTicked,
         "Select Fields: Please select fields to be exported"},
        {[&](auto &) { host.folder = dir / "gone"; }, ExportEnding::Failed,
         failed + "gone" + sep + "@: cannot create the file: " + MissingFolder},
        {[&](auto &file) { fs::permissions(dir / file, fs::perms::owner_read); }, ExportEnding::Failed,
         failed + "@: cannot replace the file: it is read-only"},
        {[&](auto &) { notes.fail("GetItemValue:LastName", 20); }, ExportEnding::Failed,
         failed + "@: cannot read contact 20 of the address book"},
        {[&](auto &) { notes.fail("GetNextDocument", 30); }, ExportEnding::Failed,
         failed + "@: cannot read contact 31 of the address book"},
        {[&](auto &) { notes.books[Book].people.clear(); }, ExportEnding::EmptyBook,
         "Korvane Software: File does not seems to be a valid address book or is empty."},
        {[&](auto &) { notes.registered = {"Notes.NotesSession"}, notes.fail("GetDatabase"); },
         ExportEnding::NotesFailure,
         "Korvane Software: Lotus Notes not configured or the selected file is not a correct notes address book "
         "file."},
    };
    TemporaryFiles::setUnnamedFilesAllowed(false); // a named file, so that one left behind shows
    for (const ExportFormat format : {ExportFormat::Csv, ExportFormat::VCard}) {
        const std::string file(exportFileName(format));
        for (const auto &[setUp, ending, start] : cases) {
            if (format == ExportFormat::VCard && ending == ExportEnding::NothingTicked)
                continue; // a card holds every value: there is nothing to tick
            std::string said = start;
            if (const auto at = said.find('@'); at != std::string::npos)
                said.replace(at, 1, file);
            SCOPED_TRACE(said);
            notes = MemoryNotes();
            host = RecordingHost();
            SetUp();
            notes.books[Book].people.assign(50, annLee());
            host.tick({"First Name", "Last Name"});
            dir.write(file, Earlier);
            setUp(file);
            // Nothing half-written is left while the user reads the message, nor after.
            host.onMessage = [&] { EXPECT_EQ(dir.names(), Names{file}); };
            EXPECT_EQ(run(nullptr, format).ending, ending);
            ASSERT_EQ(host.said.size(), said.empty() ? 0u : 1u);
            EXPECT_TRUE(said.empty() || host.said[0].starts_with(said)) << host.said[0];
            const bool quiet = ending == ExportEnding::Cancelled || ending == ExportEnding::NothingTicked;
            EXPECT_EQ(notes.journal.empty(), quiet);
            EXPECT_EQ(host.folderAsks, 1);
            EXPECT_EQ(written(file), Earlier);
            EXPECT_EQ(dir.names(), Names{file});
            EXPECT_TRUE(host.conversionEnabled);
            EXPECT_FALSE(host.linkShown);
            EXPECT_EQ(notes.live, 0);
            fs::permissions(dir / file, fs::perms::owner_all); // back from the read-only case
            fs::remove(dir / file);
        }
    }
}

// The renames of a split export cannot be taken back: when one fails, the message names
// the parts already replaced, and no staged part is left behind.
TEST_F(ExportTest, SplitCommitFailingHalfWay)
{
    people({1, 1, 1, 1, 1, 1, 1});
    host.tick({"First Name"});
    for (const int blocked : {1, 2}) {
        SCOPED_TRACE(blocked);
        fs::remove_all(dir.path);
        fs::create_directories(dir.path);
        for (const char *part : {"GMAILContacts-1.csv", "GMAILContacts-2.csv", "GMAILContacts-3.csv"})
            dir.write(part, Earlier);
        const auto in = "GMAILContacts-" + std::to_string(blocked) + ".csv";
        fs::remove(dir / in);
        fs::create_directory(dir / in); // a folder where the part goes
        SplitFileOutput parts(3);
        EXPECT_EQ(run(&parts).ending, ExportEnding::Failed);
        EXPECT_NE(message().find(in + ": cannot replace the file: "), std::string::npos) << message();
        EXPECT_EQ(dir.names(), (Names{"GMAILContacts-1.csv", "GMAILContacts-2.csv", "GMAILContacts-3.csv"}));
        EXPECT_EQ(written("GMAILContacts-3.csv"), Earlier);
        if (blocked == 1) {
            EXPECT_TRUE(message().ends_with("No file was written; any earlier file of that name is unchanged."));
        } else {
            EXPECT_EQ(written("GMAILContacts-1.csv"), "First Name,\r\nA,\r\nB,\r\nC,\r\n");
            EXPECT_TRUE(message().ends_with("\r\n\r\nGMAILContacts-1.csv was already replaced by this export; "
                                            "GMAILContacts-2.csv and the parts after it are unchanged."))
                << message();
        }
    }
}

#ifndef _WIN32
// The writer on the real file system, with files created unnamed (Linux) and named (any
// other system). POSIX modes, owners, links and signals; Windows has its own under Wine.
class RealFileTest : public ExportTest, public ::testing::WithParamInterface<bool>
{
protected:
    void SetUp() override
    {
        ExportTest::SetUp();
        TemporaryFiles::setUnnamedFilesAllowed(GetParam());
    }
    void commitFile(const std::string &bytes)
    {
        AtomicFileOutput out;
        out.open(file);
        out.write(bytes);
        out.commit();
    }
    const std::string file = dir / "GMAILContacts.csv";
};

// A disk that fills, at any byte: in a child process whose files may grow to a chosen
// size, the real writes and the real flush at the commit fail where the disk would.
TEST_P(RealFileTest, DiskFullAtAnyByteChangesNothing)
{
    host.tick({"First Name", "Last Name"});
    // A name, the lengths of the contacts' first names, the contacts a part (0: one file) and
    // the bytes the largest file may have, against its size.
    using Case = std::tuple<const char *, std::vector<std::size_t>, std::int32_t, int>;
    const std::vector<std::size_t> small(20, 1000), large(3000, 1000);
    std::vector<std::size_t> growing(10, 1000);
    growing.resize(20, 3000); // the second part the larger
    const Case cases[] = {
        {"exactly room for it", small, 0, 0},
        {"one byte short: the flush at the commit fails", small, 0, -1},
        {"more than a buffer: a write fails", large, 0, -1'500'000},
        {"the second part: after the first was committed", growing, 10, -1},
    };
    const Names earlierParts{"GMAILContacts-1.csv", "GMAILContacts-2.csv", "GMAILContacts.csv"};
    for (const auto &[name, lengths, split, room] : cases) {
        SCOPED_TRACE(name);
        people(lengths);
        const auto output = [split = split] {
            return split ? std::make_unique<SplitFileOutput>(split) : makeFileOutput();
        };
        // What the export writes where there is room.
        fs::remove_all(dir.path);
        fs::create_directories(dir.path);
        ASSERT_EQ(run(output().get()).ending, ExportEnding::Completed);
        std::uintmax_t largest = 0;
        for (const auto &written : fs::directory_iterator(dir.path))
            largest = std::max(largest, written.file_size());
        const auto limit = static_cast<rlim_t>(static_cast<std::intmax_t>(largest) + room);
        for (const auto &part : earlierParts)
            dir.write(part, Earlier);
        const bool fits = room >= 0;
        const auto exportInChild = [&] {
            std::signal(SIGXFSZ, SIG_IGN); // past the limit a write fails with EFBIG instead
            const rlimit fsize{limit, limit};
            ::setrlimit(RLIMIT_FSIZE, &fsize);
            const auto ending = run(output().get()).ending;
            std::fputs(message().c_str(), stderr);
            std::exit(static_cast<int>(ending));
        };
        EXPECT_EXIT(exportInChild(),
            ::testing::ExitedWithCode(static_cast<int>(fits ? ExportEnding::Completed : ExportEnding::Failed)),
            fits ? "Saved Successfully" : "GMAILContacts(-2)?\\.csv: cannot write: File too large");
        EXPECT_EQ(dir.names(), earlierParts);
        for (const auto &part : earlierParts) {
            const bool replaced = fits && part == (split ? "GMAILContacts-1.csv" : "GMAILContacts.csv");
            EXPECT_EQ(written(part) == Earlier, !replaced) << part;
        }
    }
}

// A new file takes the umask; a replaced one keeps its permission bits, and its owner where
// we may keep it; a symbolic link stays a link to the file replaced; a folder at the name
// fails the rename.
TEST_P(RealFileTest, WhatIsAtTheName)
{
    for (const mode_t mask : {022u, 077u, 0u}) {
        const mode_t before = ::umask(mask);
        commitFile("new");
        ::umask(before);
        EXPECT_EQ(fs::status(file).permissions(), static_cast<fs::perms>(0666u & ~mask)) << std::oct << mask;
        fs::remove(file);
    }
    fs::create_directories(dir.path / "real");
    const auto real = dir / "real/contacts.csv";
    fs::create_symlink("real/contacts.csv", file);
    const bool root = ::geteuid() == 0; // only root may give a file away
    for (const unsigned bits : {0600u, 0640u, 0604u}) {
        dir.write("real/contacts.csv", "old");
        fs::permissions(real, static_cast<fs::perms>(bits));
        if (root) {
            ASSERT_EQ(::chown(real.c_str(), 4242, 4343), 0);
        }
        commitFile("new");
        EXPECT_EQ(slurp(real), "new");
        struct stat st{};
        ASSERT_EQ(::stat(real.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, bits);
        if (root) {
            EXPECT_EQ(std::pair(st.st_uid, st.st_gid), std::pair(4242u, 4343u));
        }
        EXPECT_TRUE(fs::is_symlink(file));
    }
    EXPECT_EQ(dir.names(), (Names{"GMAILContacts.csv", "real"}));
    EXPECT_EQ(fs::directory_iterator(dir.path / "real")->path().filename(), "contacts.csv");

    fs::remove(file);
    fs::remove_all(dir.path / "real");
    fs::create_directory(file);
    host.tick({"First Name"});
    EXPECT_EQ(run().ending, ExportEnding::Failed);
    EXPECT_NE(message().find("GMAILContacts.csv: cannot replace the file: Is a directory"), std::string::npos)
        << message();
    EXPECT_EQ(dir.names(), Names{"GMAILContacts.csv"});
    EXPECT_TRUE(fs::is_empty(file));
}

// Nothing half-written is left: with unnamed files there is nothing to see until the
// commit; a named one goes on every signal the command-line tool handles.
TEST_P(RealFileTest, NothingLeftBehindOnAnInterruption)
{
    for (int i = 0; i < 20; ++i) // more exports than there are slots: each one's is free again
        commitFile("earlier");
    dir.write("GMAILContacts.csv", "old");
    // Half an export, then the signal with the command-line tool's handler, which removes
    // what is registered: a named temporary file is what it has to remove.
    const auto halfExport = [&](int signal) {
        if (signal)
            cli::installInterruptCleanup();
        AtomicFileOutput out;
        out.open(file);
        out.write("half");
        if (signal)
            std::raise(signal);
        EXPECT_EQ(dir.names(), Names{"GMAILContacts.csv"});
    };
    if (GetParam())
        halfExport(0);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        EXPECT_EXIT(halfExport(signal), ::testing::KilledBySignal(signal), "");
        EXPECT_EQ(dir.names(), Names{"GMAILContacts.csv"});
        EXPECT_EQ(slurp(file), "old");
    }
}

INSTANTIATE_TEST_SUITE_P(UnnamedAndNamed, RealFileTest, ::testing::Bool());
#endif

} // namespace
