#include "Fixtures.h"
#include "cli/CliApp.h"

#include <map>
#include <random>
#include <sstream>

namespace {

// Damage of the kinds real files suffer: flipped bytes, cut tails, lost or repeated
// stretches, and markup that a broken tool could leave behind.
std::string damage(const std::string &good, std::mt19937_64 &random)
{
    std::string bad = good;
    auto at = [&](std::size_t size) { return static_cast<std::size_t>(random() % std::max<std::size_t>(size, 1)); };
    switch (random() % 6) {
    case 0:
        for (int i = 0; i < 8; ++i)
            bad[at(bad.size())] = static_cast<char>(random());
        break;
    case 1:
        bad.resize(at(bad.size()));
        break;
    case 2: {
        const auto from = at(bad.size());
        bad.erase(from, at(4096));
        break;
    }
    case 3: {
        const auto from = at(bad.size());
        bad.insert(at(bad.size()), bad.substr(from, at(2048)));
        break;
    }
    case 4: {
        static const char *junk[] = {"<item name='FirstName'>", "</document>", "<document form='Person'>", "&bogus;",
                                     "<![CDATA[", "<richtext><par>", "<!ENTITY x 'y'>", "\xC3", "<?pi ?>"};
        bad.insert(at(bad.size()), junk[random() % std::size(junk)]);
        break;
    }
    default:
        bad.insert(at(bad.size()), std::string(at(64), '\0'));
        break;
    }
    return bad;
}

TEST(MalformedBook, DamagedFilesEndInAMessageNeverACrash)
{
    const auto good = slurp(fixture("sample-book.dxl"));
    TempFolder dir("damaged");
    std::filesystem::create_directories(dir.path / "out");
    const auto book = dir / "book.dxl";
    std::mt19937_64 random(20261206);
    std::map<int, int> endings;
    for (int round = 0; round < 300; ++round) {
        dir.write("book.dxl", damage(good, random));
        for (const char *command : {"scan", "export"}) {
            std::ostringstream out, err;
            std::vector<std::string> args{command, book};
            if (std::string(command) == "export")
                args.push_back(dir / "out");
            const int code = tarnwick::cli::CliApp(out, err).run(args);
            // 0 listed or written, 1 export failed, 3 no contacts, 4 not a book
            EXPECT_TRUE(code == 0 || code == 1 || code == 3 || code == 4) << command << " round " << round;
            EXPECT_FALSE((code == 0 && std::string(command) == "export" ? out : err).str().empty()) << command << " round " << round << " ended without a word";
            ++endings[code];
        }
    }
    // The damage reached every way out, not just one.
    EXPECT_GT(endings[0], 0);
    EXPECT_GT(endings[3], 0);
    EXPECT_GT(endings[4], 0);
    // Whatever was written is whole: no temporary file is left behind.
    for (const auto &entry : std::filesystem::directory_iterator(dir.path / "out"))
        EXPECT_EQ(entry.path().filename(), "GMAILContacts.csv");
}

} // namespace
