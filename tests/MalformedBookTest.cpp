#include "Fixtures.h"
#include "cli/CliApp.h"

#include <map>
#include <random>
#include <sstream>

namespace {

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
    const auto good = slurp(fixture("sample-book.dxl"));
    TempFolder dir("damaged");
    std::mt19937_64 random(20261206);
    std::map<int, int> endings;
    for (int round = 0; round < 300; ++round) {
        const auto book = dir.write("book.dxl", damage(good, random));
        for (const auto &args : {std::vector<std::string>{"scan", book}, {"export", book, dir.path.string()}}) {
            std::ostringstream out, err;
            const int code = tarnwick::cli::CliApp(out, err).run(args);
            // 0 listed or written, 1 export failed, 3 no contacts, 4 not a book
            EXPECT_TRUE(code == 0 || code == 1 || code == 3 || code == 4) << args[0] << " round " << round;
            EXPECT_FALSE((code == 0 && args[0] == "export" ? out : err).str().empty())
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
