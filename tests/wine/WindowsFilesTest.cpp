// Files on Windows, in a folder named outside the code page: UTF-8 paths reach the
// wide-character file API intact, the export's temporary file is created only where no
// file is, and its rename replaces the earlier export unless that is read-only.
#include "dxl/DxlSession.h"
#include "export/AtomicFileOutput.h"
#include "notes/Database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <process.h>
#include <windows.h>

namespace fs = std::filesystem;

namespace {

std::string utf8(const fs::path &path)
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
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    void exportTo(const fs::path &file, std::string_view bytes)
    {
        tarnwick::AtomicFileOutput output;
        output.open(utf8(file));
        output.write(bytes);
        output.commit();
    }

    const fs::path dir = fs::path(::testing::TempDir()) / (fs::path(u8"tarnwick Zoë Łódź ") += std::to_string(_getpid()));
    const fs::path csv = dir / "GMAILContacts.csv";
};

TEST_F(WindowsFilesTest, ExportReplacesTheEarlierFileUnlessItIsReadOnly)
{
    for (const bool readOnly : {false, true}) {
        std::ofstream(csv, std::ios::binary) << "older";
        ASSERT_TRUE(SetFileAttributesW(csv.c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL));
        std::string failure;
        try {
            exportTo(csv, "First Name,\r\nZoë,\r\n");
        } catch (const std::runtime_error &error) {
            failure = error.what();
        }
        EXPECT_EQ(failure.ends_with("it is read-only"), readOnly) << failure;
        EXPECT_EQ(slurp(csv), readOnly ? "older" : "First Name,\r\nZoë,\r\n");
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    }
    SetFileAttributesW(csv.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(WindowsFilesTest, TemporaryFileNeverOpensOneThatIsThere)
{
    // The serial the next temporary name will carry, from one left open.
    std::string probe;
    {
        tarnwick::AtomicFileOutput open;
        open.open(utf8(csv));
        probe = utf8(fs::directory_iterator(dir)->path().filename());
    }
    const std::string prefix = "GMAILContacts.csv." + std::to_string(_getpid()) + "-";
    ASSERT_TRUE(probe.starts_with(prefix)) << probe;
    const int serial = std::stoi(probe.substr(prefix.size()));
    // The next two names are taken by files that are not ours.
    for (const int taken : {serial + 1, serial + 2})
        std::ofstream(dir / (prefix + std::to_string(taken) + ".tmp"), std::ios::binary) << "not ours";
    exportTo(csv, "new");
    EXPECT_EQ(slurp(csv), "new");
    for (const int taken : {serial + 1, serial + 2})
        EXPECT_EQ(slurp(dir / (prefix + std::to_string(taken) + ".tmp")), "not ours");
}

TEST_F(WindowsFilesTest, DxlBookOpensFromTheFolder)
{
    fs::copy_file(TARNWICK_FIXTURES "/sample-book.dxl", dir / u8"Adressbuch Müller.dxl");
    const auto path = utf8(dir / u8"Adressbuch Müller.dxl");
    EXPECT_TRUE(notes::dxl::DxlSession::isDxlFile(path));
    EXPECT_EQ(notes::dxl::DxlSession().GetDatabase("", path)->Title(), "Ann Lee's Directory");
}

} // namespace
