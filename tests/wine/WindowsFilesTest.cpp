// Files on Windows: paths arrive as UTF-8 and must reach the wide-character file API intact;
// the export's temporary file is created only where no file is, and its rename replaces
// the earlier export.
#include "export/AtomicFileOutput.h"
#include "notes/Database.h"
#include "dxl/DxlSession.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <process.h>

namespace fs = std::filesystem;

namespace {

const std::string Fixtures = TARNWICK_FIXTURES;

fs::path fromUtf8(const std::string &utf8)
{
    return fs::path(std::u8string(reinterpret_cast<const char8_t *>(utf8.data()), utf8.size()));
}

std::string toUtf8(const fs::path &path)
{
    const auto u8 = path.u8string();
    return std::string(reinterpret_cast<const char *>(u8.data()), u8.size());
}

std::string slurp(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class WindowsFilesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir = fs::path(::testing::TempDir()) / fromUtf8("tarnwick Zoë Łódź " + std::to_string(_getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    fs::path dir;
};

TEST_F(WindowsFilesTest, ExportWritesToAFolderNamedOutsideTheCodePage)
{
    const auto target = toUtf8(dir / "GMAILContacts.csv");
    {
        std::ofstream(dir / "GMAILContacts.csv", std::ios::binary) << "older";
    }
    tarnwick::AtomicFileOutput output;
    output.open(target);
    output.write("First Name,\r\nZoë,\r\n");
    output.commit();
    EXPECT_EQ(slurp(dir / "GMAILContacts.csv"), "First Name,\r\nZoë,\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(WindowsFilesTest, TemporaryFileNeverOpensOneThatIsThere)
{
    const auto target = toUtf8(dir / "GMAILContacts.csv");
    // Learn the serial the next temporary name will carry.
    std::string first;
    {
        tarnwick::AtomicFileOutput probe;
        probe.open(target);
        for (const auto &entry : fs::directory_iterator(dir))
            first = toUtf8(entry.path().filename());
    }
    const std::string prefix = "GMAILContacts.csv." + std::to_string(_getpid()) + "-";
    ASSERT_TRUE(first.starts_with(prefix)) << first;
    const int serial = std::stoi(first.substr(prefix.size()));
    // The next two names are taken by files that are not ours.
    for (int taken : {serial + 1, serial + 2})
        std::ofstream(dir / (prefix + std::to_string(taken) + ".tmp"), std::ios::binary) << "not ours";

    tarnwick::AtomicFileOutput output;
    output.open(target);
    output.write("new");
    output.commit();
    EXPECT_EQ(slurp(dir / "GMAILContacts.csv"), "new");
    for (int taken : {serial + 1, serial + 2})
        EXPECT_EQ(slurp(dir / (prefix + std::to_string(taken) + ".tmp")), "not ours");
}

TEST_F(WindowsFilesTest, DxlBookOpensFromAFolderNamedOutsideTheCodePage)
{
    fs::copy_file(fromUtf8(Fixtures + "/sample-book.dxl"), dir / "Adressbuch Müller.dxl");
    const auto path = toUtf8(dir / "Adressbuch Müller.dxl");
    EXPECT_TRUE(notes::dxl::DxlSession::isDxlFile(path));
    const auto database = notes::dxl::DxlSession().GetDatabase("", path);
    EXPECT_FALSE(database->Title().empty());
}

} // namespace
