#include "cli/CliApp.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using tarnwick::cli::CliApp;

namespace {

struct Run
{
    int code;
    std::string out, err;
};

Run cli(const std::vector<std::string> &args)
{
    std::ostringstream out, err;
    const int code = CliApp(out, err).run(args);
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
        EXPECT_TRUE(r.err.ends_with("for more details.\n"));
    }
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
