#include "Fixtures.h"
#include "MemoryNotes.h"
#include "cli/CliApp.h"
#include "cli/ConsoleExportHost.h"

#include <functional>
#include <map>
#include <random>
#include <sstream>

using tarnwick::cli::CliApp;

namespace {

struct Run
{
    int code;
    std::string out, err;
};

Run cli(const std::vector<std::string> &args, notes::SessionFactory *notes = nullptr, bool terminal = false)
{
    std::ostringstream out, err;
    CliApp app(out, err, notes);
    app.setStderrIsTerminal(terminal);
    const int code = app.run(args);
    return {code, out.str(), err.str()};
}

const std::string Sample = fixture("sample-book.dxl");
const std::string Rule(70, '-');

// A book of contacts all alike, at /b.nsf.
std::unique_ptr<MemoryNotes> memoryBook(std::size_t contacts)
{
    auto notes = std::make_unique<MemoryNotes>();
    notes->books["/b.nsf"].people.assign(contacts, MemoryNotes::contact("P", "", "Q", ""));
    return notes;
}

TEST(CliScan, ListsThePeopleView)
{
    const auto r = cli({"scan", Sample});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, expectedSampleLog(Sample, "\n"));
    EXPECT_EQ(r.err, "Korvane Software: Notes Address Book Scan Completed\n");
    // An empty view is counted, and there is no reason to give.
    const auto empty = cli({"scan", fixture("no-people.dxl")});
    EXPECT_EQ(empty.code, 3);
    EXPECT_TRUE(empty.out.ends_with("Total Contacts Found : 0\nListing Found Contacts...\n" + Rule + "\n"));
    EXPECT_EQ(empty.err, "Korvane Software: File does not seems to be a valid address book or is empty.\n");
    // Counted past sixteen bits, every one listed.
    const auto big = cli({"scan", "/b.nsf"}, memoryBook(40000).get()).out;
    EXPECT_NE(big.find("\nTotal Contacts Found : 40000\n"), std::string::npos);
    EXPECT_TRUE(big.ends_with("\n40000 : P Q - \n"));
    EXPECT_EQ(std::count(big.begin(), big.end(), '\n'), 7 + 40000);
}

TEST(CliExport, WritesTheNamedColumnsOrParts)
{
    TempFolder dir("cli");
    const auto all = cli({"export", Sample, dir.path.string()});
    EXPECT_EQ(all.code, 0);
    EXPECT_EQ(all.out, "37 Contacts Saved Successfully\n");
    EXPECT_EQ(slurp(dir / "GMAILContacts.csv"), slurp(fixture("sample-book.all.csv")));

    // The columns in the catalogue's order, whatever the list's.
    const std::string some = "First Name,E-mail Address,\r\nReception,reception@northwind.example,\r\n";
    EXPECT_EQ(cli({"export", Sample, dir / "", "--columns", "E-mail Address,First Name"}).code, 0);
    EXPECT_TRUE(slurp(dir / "GMAILContacts.csv").starts_with(some));
    EXPECT_EQ(cli({"export", Sample, dir / "", "--columns=First Name,E-mail Address"}).code, 0);
    const auto file = slurp(dir / "GMAILContacts.csv");
    EXPECT_TRUE(file.starts_with(some));
    EXPECT_EQ(cli({"export", Sample, dir / "missing"}).code, 1);
    EXPECT_EQ(slurp(dir / "GMAILContacts.csv"), file);

    // The parts, joined, are the single file byte for byte, line breaks inside values and
    // folded lines included: each part starts with the header, or with a card, and holds
    // ten contacts. A part left over from a longer earlier export is pointed out and left
    // alone.
    ASSERT_EQ(cli({"export", Sample, dir.path.string(), "--format=vcard"}).code, 0);
    for (const std::string format : {"csv", "vcard"}) {
        SCOPED_TRACE(format);
        const std::string ext = format == "csv" ? ".csv" : ".vcf";
        const auto single = format == "csv" ? slurp(fixture("sample-book.all.csv")) : slurp(dir / "GMAILContacts.vcf");
        const auto header = format == "csv" ? single.substr(0, single.find("\r\n") + 2) : "";
        const auto leftover = dir.write("GMAILContacts-5" + ext, "earlier\n");
        const auto r = cli({"export", Sample, dir.path.string(), "--split", "10", "--format", format});
        EXPECT_EQ(r.out, "37 Contacts Saved Successfully\n");
        EXPECT_NE(r.err.find(leftover + " and any later part are from an earlier export"), std::string::npos) << r.err;
        std::string joined = header;
        for (int part = 1; part <= 4; ++part) {
            const auto text = slurp(dir / ("GMAILContacts-" + std::to_string(part) + ext));
            ASSERT_TRUE(text.starts_with(format == "csv" ? header : "BEGIN:VCARD\r\n")) << part;
            EXPECT_EQ(occurrences(text, "BEGIN:VCARD"), format == "csv" ? 0 : part < 4 ? 10 : 7) << part;
            joined += text.substr(header.size());
        }
        EXPECT_EQ(joined, single);
        EXPECT_EQ(slurp(leftover), "earlier\n");
    }
    EXPECT_EQ(slurp(dir / "GMAILContacts.csv"), file); // the single file is not the split's
}

TEST(CliUsage, BadCallsExitTwo)
{
    const std::string book = Sample, folder = ::testing::TempDir();
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"frobnicate"},
        {"scan"},
        {"scan", book, book},
        {"columns", "x"},
        {"export", book},
        {"export", book, folder, "--columns=Nickname"},
        {"export", book, folder, "--columns"},
        {"export", book, folder, "--split"},
        {"export", book, folder, "--split", "0"},
        {"export", book, folder, "--split", "-3"},
        {"export", book, folder, "--split", "1x"},
        {"export", book, folder, "--split=99999999999"},
        {"export", book, folder, "--split="},
        {"export", book, folder, "--format"},
        {"export", book, folder, "--format", "xml"},
        {"export", book, folder, "--format=vcard", "--columns", "Name"},
    };
    for (const auto &args : bad) {
        const auto r = cli(args);
        EXPECT_EQ(r.code, 2) << ::testing::PrintToString(args);
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_NE(r.err.find("tarnwick-cli: "), std::string::npos) << r.err;
    }
    const auto help = cli({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("scan BOOK"), std::string::npos);
    // Every column, in the order of the header of an export of them all.
    std::string header = slurp(fixture("sample-book.all.csv"));
    header.resize(header.find("\r\n"));
    std::replace(header.begin(), header.end(), ',', '\n');
    EXPECT_EQ(cli({"columns"}).out, header + "\n");
}

// A book that cannot be read: both commands end as the windows would, without counting or
// listing a contact, then say why, with the line of the file where there is one.
TEST(CliReasons, NamedAfterTheMessage)
{
    TempFolder dir("why");
    std::filesystem::create_directories(dir.path / "out");
    const std::tuple<std::string, int, std::string> cases[] = {
        {dir / "missing.dxl", 4, "cannot open " + dir / "missing.dxl" + ": No such file or directory"},
        {dir.write("empty.dxl", ""), 4, "empty.dxl is not a DXL database: no element found (line 1)"},
        {dir / "out", 4, "it is a folder"},
        {fixture("binary.nsf"), 4, "not well-formed (invalid token) (line 1)"},
        {fixture("not-dxl.xml"), 4, "is an XML file, but not a DXL database export"},
        {fixture("truncated.dxl"), 3, "unclosed token (line 478)"},
        {dir.write("enc.dxl", "<?xml version='1.0' encoding='x-klingon'?>\n<database/>"), 4,
         "unknown encoding (line 1)"},
        {dir.write("nbsp.dxl", Head + person("Ann", "") + person("Bo&nbsp;b", "") + person("Cy", "") + "</database>"),
         3, "undefined entity (line 12)"},
    };
    for (const auto &[book, code, reason] : cases) {
        SCOPED_TRACE(book);
        const auto scan = cli({"scan", book});
        const auto exported = cli({"export", book, dir / "out"});
        EXPECT_EQ(scan.code, code);
        EXPECT_EQ(exported.code, code);
        EXPECT_TRUE(scan.out.ends_with(code == 4 ? "Please wait...\n" : "Listing Found Contacts...\n" + Rule + "\n"))
            << scan.out;
        EXPECT_EQ(scan.out.find("Total Contacts Found"), std::string::npos) << scan.out;
        if (code == 4) {
            EXPECT_TRUE(scan.err.starts_with("Notes Not Installed/Configured: Lotus Notes NOT INSTALLED or "
                                             "CONFIGURED Properly.\n\nIf Lotus Notes is installed"));
            EXPECT_NE(scan.err.find("for more details.\nReason: "), std::string::npos) << scan.err;
        }
        for (const auto &err : {scan.err, exported.err}) {
            const auto at = err.rfind("\nReason: ");
            ASSERT_NE(at, std::string::npos) << err;
            EXPECT_NE(err.find(reason, at), std::string::npos) << err;
            EXPECT_TRUE(err.ends_with("\n")) << err;
        }
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path / "out"));
}

// Google imports at most 3,000 contacts a file: over that, an export without --split says
// how to split (whatever the format: the warning counts contacts, not lines); with it, the
// parts hold 3,000 each. On a terminal the bar is redrawn in place, within its range, not
// at all for an empty one; whatever follows it (the closing message, a failure, the
// reason, a warning) starts on a line of its own, however far the bar got.
TEST(CliExport, GooglesImportLimitAndTheBar)
{
    std::ostringstream out, err;
    tarnwick::cli::ConsoleExportHost host("b", "f", {}, out, err, true);
    host.setProgressRange(0, 0);
    host.setProgressValue(1);
    EXPECT_EQ(err.str(), "");
    host.setProgressRange(0, 4);
    host.setProgressValue(9);
    EXPECT_TRUE(err.str().ends_with("\r[" + std::string(40, '#') + "] 100% 4/4")) << err.str();

    TempFolder dir("cli-bar");
    const std::vector<std::string> args{"export", "/b.nsf", dir.path.string(), "--columns", "First Name"};
    auto split = args;
    split.push_back("--split=3000");
    EXPECT_EQ(cli(split, memoryBook(3001).get()).err, ""); // no bar off a terminal either
    EXPECT_EQ(slurp(dir / "GMAILContacts-2.csv"), "First Name,\r\nP,\r\n");

    const std::tuple<std::size_t, std::string, std::function<void(MemoryNotes &)>> cases[] = {
        {3000, "", [](MemoryNotes &) {}},
        {3001, "tarnwick-cli: warning: 3001 contacts in one file; Google Contacts imports at most 3000 from a file. "
               "Use --split 3000 ", [](MemoryNotes &) {}},
        {3001, "Conversion Failed: ", [](MemoryNotes &notes) { notes.fail("GetNextDocument", 1500); }},
        {3001, "Conversion Failed: ", [&](MemoryNotes &) { std::filesystem::remove_all(dir.path); }}, // the bar at 0
    };
    for (const auto &[contacts, said, setUp] : cases) {
        const auto notes = memoryBook(contacts);
        setUp(*notes);
        const auto e = cli(args, notes.get(), true).err;
        SCOPED_TRACE(e);
        EXPECT_NE(e.find("\r["), std::string::npos);
        EXPECT_EQ(e.find(said.empty() ? "warning" : "\n" + said) != std::string::npos, !said.empty());
        std::istringstream lines(e);
        for (std::string line; std::getline(lines, line);) {
            const auto bar = line.rfind('\r');
            EXPECT_TRUE(bar == std::string::npos ||
                        (line.ends_with("/" + std::to_string(contacts)) && line.compare(bar, 2, "\r[") == 0))
                << line;
        }
    }
}

// Damage of the kinds real files suffer: flipped bytes, cut tails, lost or repeated
// stretches, markup that a broken tool could leave behind and runs of zero bytes; each a
// stretch of the file replaced by something else.
std::string damage(std::string bad, std::mt19937_64 &random)
{
    static const char *junk[] = {"<item name='FirstName'>", "</document>", "<document form='Person'>", "&bogus;",
                                 "<![CDATA[", "<richtext><par>", "<!ENTITY x 'y'>", "\xC3", "<?pi ?>"};
    auto at = [&](std::size_t size) { return static_cast<std::size_t>(random() % std::max<std::size_t>(size, 1)); };
    const auto kind = random() % 6;
    for (int i = 0; i < (kind == 0 ? 8 : 1); ++i) {
        const std::size_t lost[] = {1, std::string::npos, at(4096), 0, 0, 0};
        const std::string put[] = {std::string(1, static_cast<char>(random())), "", "",
                                   bad.substr(at(bad.size()), at(2048)), junk[random() % std::size(junk)],
                                   std::string(at(64), '\0')};
        bad.replace(at(bad.size()), lost[kind], put[kind]);
    }
    return bad;
}

TEST(MalformedBook, DamagedFilesEndInAMessageNeverACrash)
{
    const auto good = slurp(Sample);
    TempFolder dir("damaged");
    std::mt19937_64 random(20261206);
    std::map<int, int> endings;
    for (int round = 0; round < 300; ++round) {
        const auto book = dir.write("book.dxl", damage(good, random));
        for (const auto &args : {std::vector<std::string>{"scan", book}, {"export", book, dir.path.string()}}) {
            const auto [code, out, err] = cli(args);
            // 0 listed or written, 1 export failed, 3 no contacts, 4 not a book
            EXPECT_TRUE(code == 0 || code == 1 || code == 3 || code == 4) << args[0] << " round " << round;
            EXPECT_FALSE((code == 0 && args[0] == "export" ? out : err).empty())
                << args[0] << " round " << round << " ended without a word";
            ++endings[code];
        }
    }
    // The damage reached every way out, not just one.
    for (const int code : {0, 3, 4})
        EXPECT_GT(endings[code], 0) << code;
    // Whatever was written is whole: no temporary file is left behind.
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"GMAILContacts.csv", "book.dxl"}));
}

} // namespace
