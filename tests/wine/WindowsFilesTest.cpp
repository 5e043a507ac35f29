// Files on Windows, in a folder named outside the code page: UTF-8 paths reach the
// wide-character file API intact, the export's temporary file is created only where no
// file is, and it replaces the earlier export as Windows programs replace a document.
#include "Fixtures.h"
#include "dxl/DxlSession.h"
#include "export/AtomicFileOutput.h"
#include "export/FilePaths.h"
#include "export/WindowsFileReplace.h"
#include "notes/NotesObjects.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <process.h>
#include <tuple>
#include <vector>
#include <windows.h>

namespace fs = std::filesystem;

namespace {

using tarnwick::utf8Path;

class WindowsFilesTest : public ::testing::Test
{
protected:
    void SetUp() override { fs::create_directories(dir); }

    const TempFolder temp{"windows-files"};
    const fs::path dir = temp.path / u8"Zoë Łódź";
    const fs::path csv = dir / "GMAILContacts.csv";
};

// As Windows programs replace a document: the earlier file's attributes stay; a read-only
// one, or one another program holds open (a spreadsheet program showing it), is not
// replaced and nothing is lost; every failure is told in the system's words. A file held
// from the start fails the export before it walks the book; so does a folder that is not
// there.
TEST_F(WindowsFilesTest, ExportReplacesTheEarlierFileKeepingWhatItHad)
{
    // Larger than the writer's buffer, and given to it in rows, as an export gives it.
    std::string fresh = "First Name,\r\n";
    for (int row = 0; fresh.size() < 3'000'000; ++row)
        fresh += "Zoë " + std::to_string(row) + ",\r\n";
    const std::string held = "cannot replace the file: it is open in another program; close it there and export again (" +
                             tarnwick::windows::systemText(ERROR_SHARING_VIOLATION) + ")";
    enum Hold { Never, FromTheStart, FromTheEnd };
    const std::string notFound = tarnwick::windows::systemText(ERROR_PATH_NOT_FOUND);
    for (const auto &[attributes, hold, failure, failingStep, file] : {
             std::tuple{DWORD{FILE_ATTRIBUTE_NORMAL}, Never, std::string(), "", csv},
             std::tuple{DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE}, Never, std::string(), "", csv},
             std::tuple{DWORD{FILE_ATTRIBUTE_READONLY}, Never, std::string("cannot replace the file: it is read-only"),
                        "open", csv},
             std::tuple{DWORD{FILE_ATTRIBUTE_NORMAL}, FromTheStart, held, "open", csv},
             std::tuple{DWORD{FILE_ATTRIBUTE_NORMAL}, FromTheEnd, held, "commit", csv},
             std::tuple{DWORD{FILE_ATTRIBUTE_NORMAL}, Never, notFound, "open", dir / "missing" / "GMAILContacts.csv"},
         }) {
        SCOPED_TRACE(utf8Path(file) + ", attributes " + std::to_string(attributes) + ", held " + std::to_string(hold));
        SetFileAttributesW(csv.c_str(), FILE_ATTRIBUTE_NORMAL);
        std::ofstream(csv, std::ios::binary) << "older";
        ASSERT_TRUE(SetFileAttributesW(csv.c_str(), attributes));
        const DWORD before = GetFileAttributesW(csv.c_str());
        // Shared with nobody; within this process as with any other.
        auto holdIt = [&] { return CreateFileW(csv.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr); };
        HANDLE holder = hold == FromTheStart ? holdIt() : INVALID_HANDLE_VALUE;
        std::string message, step = "open";
        try {
            tarnwick::AtomicFileOutput output;
            output.open(utf8Path(file));
            for (std::size_t at = 0, end = 0; at < fresh.size(); at = end) {
                end = fresh.find('\n', at) + 1;
                output.write(std::string_view(fresh).substr(at, end - at));
            }
            if (hold == FromTheEnd)
                holder = holdIt();
            step = "commit";
            output.commit();
            step.clear();
        } catch (const std::runtime_error &error) {
            message = error.what();
        }
        CloseHandle(holder);
        EXPECT_TRUE(message.ends_with(failure)) << message;
        EXPECT_EQ(step, failingStep);
        EXPECT_TRUE(slurp(csv) == (failure.empty() ? fresh : "older"));
        EXPECT_EQ(GetFileAttributesW(csv.c_str()), before);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    }
}

TEST_F(WindowsFilesTest, TemporaryFileNeverOpensOneThatIsThereAndABookOpensFromTheFolder)
{
    // The serial the next temporary name will carry, from one left open.
    std::string probe;
    {
        tarnwick::AtomicFileOutput open;
        open.open(utf8Path(csv));
        probe = utf8Path(fs::directory_iterator(dir)->path().filename());
    }
    const std::string prefix = "GMAILContacts.csv." + std::to_string(_getpid()) + "-";
    ASSERT_TRUE(probe.starts_with(prefix)) << probe;
    const int serial = std::stoi(probe.substr(prefix.size()));
    // The next two names are taken by files that are not ours.
    for (const int taken : {serial + 1, serial + 2})
        std::ofstream(dir / (prefix + std::to_string(taken) + ".tmp"), std::ios::binary) << "not ours";
    tarnwick::AtomicFileOutput output;
    output.open(utf8Path(csv));
    output.write("new");
    output.commit();
    EXPECT_EQ(slurp(csv), "new");
    for (const int taken : {serial + 1, serial + 2})
        EXPECT_EQ(slurp(dir / (prefix + std::to_string(taken) + ".tmp")), "not ours");

    // A book read from the same folder.
    fs::copy_file(fixture("sample-book.dxl"), dir / u8"Adressbuch Müller.dxl");
    const auto path = utf8Path(dir / u8"Adressbuch Müller.dxl");
    EXPECT_TRUE(notes::dxl::DxlSession::isDxlFile(path));
    const auto book = notes::dxl::DxlSession().GetDatabase("", path);
    EXPECT_EQ(book->Title(), "Ann Lee's Directory");
    // Its documents are read by a reader of their own, which opens the file again.
    const auto first = book->GetView("People")->CreateViewNav()->GetFirstDocument()->Document();
    EXPECT_EQ(first->GetItemValue("MailAddress"), std::vector<std::string>{"reception@northwind.example"});
}

} // namespace
