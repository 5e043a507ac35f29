#include "MemoryNotes.h"
#include "cli/CliApp.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <filesystem>
#include <fstream>
#include <sstream>

using tarnwick::cli::CliApp;

namespace {

struct Run
{
    int code;
    std::string out, err;
};

Run cli(const std::vector<std::string> &args, notes::SessionFactory *notes = nullptr)
{
    std::ostringstream out, err;
    const int code = CliApp(out, err, notes).run(args);
    return {code, out.str(), err.str()};
}

std::string slurp(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

const std::string Fixtures = TARNWICK_FIXTURES;

TEST(CliScan, SampleBookListsThePeopleView)
{
    const auto book = Fixtures + "/sample-book.dxl";
    const auto r = cli({"scan", book});
    EXPECT_EQ(r.code, 0);
    auto expected = slurp(Fixtures + "/sample-book.scan.txt");
    const auto marker = expected.find("@BOOK@");
    ASSERT_NE(marker, std::string::npos);
    expected.replace(marker, 6, book);
    EXPECT_EQ(r.out, expected);
    EXPECT_EQ(r.err, "Korvane Software: Notes Address Book Scan Completed\n");
}

TEST(CliScan, OtherEndings)
{
    const std::string rule(70, '-');
    const auto empty = cli({"scan", Fixtures + "/no-people.dxl"});
    EXPECT_EQ(empty.code, 3);
    EXPECT_TRUE(empty.out.ends_with("Total Contacts Found : 0\nListing Found Contacts...\n" + rule + "\n"));
    EXPECT_EQ(empty.err, "Korvane Software: File does not seems to be a valid address book or is empty.\n");

    const auto truncated = cli({"scan", Fixtures + "/truncated.dxl"});
    EXPECT_EQ(truncated.code, 3);
    EXPECT_EQ(truncated.out.find("Total Contacts Found"), std::string::npos);
    EXPECT_TRUE(truncated.out.ends_with("Listing Found Contacts...\n" + rule + "\n"));

    for (const char *book : {"/missing.nsf", "/binary.nsf", "/not-dxl.xml"}) {
        SCOPED_TRACE(book);
        const auto r = cli({"scan", Fixtures + book});
        EXPECT_EQ(r.code, 4);
        EXPECT_TRUE(r.out.ends_with("Please wait...\n"));
        EXPECT_TRUE(r.err.starts_with("Notes Not Installed/Configured: Lotus Notes NOT INSTALLED or CONFIGURED "
                                      "Properly.\n\nIf Lotus Notes is installed"));
        EXPECT_NE(r.err.find("for more details.\nReason: "), std::string::npos) << r.err;
    }
}

TEST(CliExport, WritesTheNamedColumnsAndReportsEveryEnding)
{
    namespace fs = std::filesystem;
    const auto dir = fs::path(::testing::TempDir()) / ("tarnwick-cli-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const auto book = Fixtures + "/sample-book.dxl";

    const auto all = cli({"export", book, dir.string()});
    EXPECT_EQ(all.code, 0);
    EXPECT_EQ(all.out, "37 Contacts Saved Successfully\n");
    EXPECT_EQ(slurp((dir / "GMAILContacts.csv").string()), slurp(Fixtures + "/sample-book.all.csv"));

    const auto some = cli({"export", "--columns", "E-mail Address,First Name", book, dir.string() + "/"});
    EXPECT_EQ(some.code, 0);
    const auto file = slurp((dir / "GMAILContacts.csv").string());
    EXPECT_TRUE(file.starts_with("First Name,E-mail Address,\r\nReception,reception@northwind.example,\r\n"));
    EXPECT_NE(file.find("Mei,\"\"\"Wu, Mei\"\" <mei.wu@example.cn>\",\r\n"), std::string::npos);

    EXPECT_EQ(cli({"export", book, (dir / "missing").string()}).code, 1);
    EXPECT_EQ(cli({"export", Fixtures + "/no-people.dxl", dir.string()}).code, 3);
    EXPECT_EQ(cli({"export", Fixtures + "/not-dxl.xml", dir.string()}).code, 4);
    EXPECT_EQ(cli({"export", book, dir.string(), "--columns=Nickname"}).code, 2);
    EXPECT_EQ(cli({"export", book}).code, 2);
    // None of the failures touched the good file.
    EXPECT_EQ(slurp((dir / "GMAILContacts.csv").string()), file);
    fs::remove_all(dir);
}

// A book that cannot be read: both commands end as the windows would, then say why, with
// the line of the file where there is one.
TEST(CliReasons, NamedAfterTheMessage)
{
    namespace fs = std::filesystem;
    const auto dir = fs::path(::testing::TempDir()) / ("tarnwick-why-" + std::to_string(::getpid()));
    fs::create_directories(dir / "out");
    auto book = [&](const std::string &name, const std::string &bytes) {
        std::ofstream((dir / name).string(), std::ios::binary) << bytes;
        return (dir / name).string();
    };
    const std::string head = "<?xml version='1.0' encoding='utf-8'?>\n"
                             "<!DOCTYPE database SYSTEM 'xmlschemas/domino_12_0_2.dtd'>\n"
                             "<database xmlns='http://www.lotus.com/dxl' title='T'>\n";
    auto person = [](const std::string &first, const std::string &more = {}) {
        return "<document form='Person'><item name='FirstName'><text>" + first + "</text></item>" + more +
               "</document>\n";
    };
    struct Case
    {
        std::string book;
        int code;
        std::string reason;
    };
    const Case cases[] = {
        {(dir / "missing.dxl").string(), 4, "missing.dxl: No such file or directory"},
        {(dir / "out").string(), 4, "it is a folder"},
        {Fixtures + "/binary.nsf", 4, "not well-formed (invalid token) (line 1)"},
        {book("enc.dxl", "<?xml version='1.0' encoding='x-klingon'?>\n<database/>"), 4, "unknown encoding (line 1)"},
        {book("nbsp.dxl", head + person("Ann") + "\n" + person("Bo&nbsp;b") + person("Cy") + "</database>"), 3,
         "undefined entity (line 6)"},
        {book("huge.dxl", head + person("Ann", "<item name='Photo'><text>" + std::string(65u << 20, 'x') +
                                                   "</text></item>") + "</database>"),
         3, "larger than any address-book entry"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.book);
        const auto scan = cli({"scan", c.book});
        const auto exported = cli({"export", c.book, (dir / "out").string()});
        EXPECT_EQ(scan.code, c.code);
        EXPECT_EQ(exported.code, c.code);
        EXPECT_EQ(scan.out.find("\n1 : "), std::string::npos) << "a contact was listed:\n" << scan.out;
        for (const auto &err : {scan.err, exported.err}) {
            const auto at = err.rfind("\nReason: ");
            ASSERT_NE(at, std::string::npos) << err;
            EXPECT_NE(err.find(c.reason, at), std::string::npos) << err;
            EXPECT_TRUE(err.ends_with("\n")) << err;
        }
    }
    EXPECT_TRUE(fs::is_empty(dir / "out"));
    fs::remove_all(dir);
}

// The parts' rows, joined, are the single file's rows byte for byte, line breaks inside
// values included; a part left over from a longer earlier export is pointed out.
TEST(CliExport, SplitPartsJoinToTheSingleFile)
{
    namespace fs = std::filesystem;
    const auto dir = fs::path(::testing::TempDir()) / ("tarnwick-cli-split-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "GMAILContacts-5.csv") << "earlier\n";
    const auto r = cli({"export", Fixtures + "/sample-book.dxl", dir.string(), "--split", "10"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "37 Contacts Saved Successfully\n");
    EXPECT_NE(r.err.find((dir / "GMAILContacts-5.csv").string() + " and any later part are from an earlier export"),
              std::string::npos)
        << r.err;
    const auto single = slurp(Fixtures + "/sample-book.all.csv");
    const auto header = single.substr(0, single.find("\r\n") + 2);
    std::string rows;
    for (int part = 1; part <= 4; ++part) {
        const auto file = slurp((dir / ("GMAILContacts-" + std::to_string(part) + ".csv")).string());
        ASSERT_TRUE(file.starts_with(header)) << part;
        rows += file.substr(header.size());
    }
    EXPECT_EQ(header + rows, single);
    EXPECT_FALSE(fs::exists(dir / "GMAILContacts.csv"));
    EXPECT_EQ(slurp((dir / "GMAILContacts-5.csv").string()), "earlier\n");

    for (const auto &bad : std::vector<std::vector<std::string>>{
             {"--split"}, {"--split", "0"}, {"--split", "-3"}, {"--split", "1x"}, {"--split=99999999999"}, {"--split="}}) {
        auto args = std::vector<std::string>{"export", Fixtures + "/sample-book.dxl", dir.string()};
        args.insert(args.end(), bad.begin(), bad.end());
        const auto u = cli(args);
        EXPECT_EQ(u.code, 2) << bad.back();
        EXPECT_NE(u.err.find("--split"), std::string::npos) << u.err;
    }
    fs::remove_all(dir);
}

// Over Google's 3,000 contacts a file, an export without --split says how to split.
TEST(CliExport, WarnsOverGooglesImportLimit)
{
    namespace fs = std::filesystem;
    const auto dir = fs::path(::testing::TempDir()) / ("tarnwick-cli-limit-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    MemoryNotes notes;
    notes.books["/big.nsf"].people.assign(3000, MemoryNotes::contact("Ann", "", "Lee", ""));
    const auto exportBig = [&](const std::vector<std::string> &more) {
        auto args = std::vector<std::string>{"export", "/big.nsf", dir.string(), "--columns", "First Name"};
        args.insert(args.end(), more.begin(), more.end());
        return cli(args, &notes);
    };
    EXPECT_EQ(exportBig({}).err, "");
    notes.books["/big.nsf"].people.push_back(MemoryNotes::contact("Bo", "", "Lee", ""));
    const auto warned = exportBig({});
    EXPECT_EQ(warned.code, 0);
    EXPECT_NE(warned.err.find("3001 contacts in one file"), std::string::npos) << warned.err;
    EXPECT_NE(warned.err.find("--split 3000"), std::string::npos) << warned.err;
    const auto split = exportBig({"--split=3000"});
    EXPECT_EQ(split.err, "");
    EXPECT_EQ(slurp((dir / "GMAILContacts-2.csv").string()), "First Name,\r\nBo,\r\n");
    fs::remove_all(dir);
}

TEST(CliColumns, ListsTheCatalogue)
{
    const auto r = cli({"columns"});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.starts_with("First Name\nLast Name\nMiddle Name\nName\nE-mail Address\n"));
    EXPECT_TRUE(r.out.ends_with("Department\nOffice Location\nNotes\n"));
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 28);
}

TEST(CliUsage, BadCallsExitTwo)
{
    EXPECT_EQ(cli({}).code, 2);
    EXPECT_EQ(cli({"frobnicate"}).code, 2);
    EXPECT_EQ(cli({"scan"}).code, 2);
    const auto help = cli({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("scan BOOK"), std::string::npos);
}

} // namespace
