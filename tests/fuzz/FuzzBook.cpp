// The whole path a user's file takes: the bytes opened as an address book, the People view
// scanned, then exported with every column into memory. Beside the sanitizers' own checks,
// it holds the two passes to one account of the book: what the scan lists in full, the
// export writes in full, and the other way round.
#include "RecordingExportHost.h"
#include "RecordingScanHost.h"
#include "export/ContactsExport.h"
#include "notes/ContactScan.h"
#include "notes/NotesSessionFactory.h"
#include "notes/SharedState.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

class MemoryOutput final : public tarnwick::ExportOutput
{
public:
    void open(const std::string &) override { bytes.clear(); }
    void write(std::string_view b) override { bytes.append(b); }
    void commit() override {}
    void discard() noexcept override { bytes.clear(); }
    std::string bytes;
};

// The book lives in memory; the reader opens it by path like any file.
const std::string &bookPath(int &fd)
{
    static std::string path;
    if (path.empty()) {
        fd = memfd_create("tarnwick-fuzz-book", 0);
        if (fd < 0)
            std::abort();
        path = "/proc/self/fd/" + std::to_string(fd);
    }
    return path;
}

void check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "scan and export disagree: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static int fd = -1;
    const std::string &path = bookPath(fd);
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
        std::abort();

    notes::NotesSessionFactory notes;
    tarnwick::SharedState state;
    RecordingScanHost scanHost;
    scanHost.path = path;
    const auto scanned = tarnwick::ScanLotusNotesContacts(scanHost, notes, state);
    std::size_t listed = 0;
    for (auto rule = scanHost.log.begin(); rule != scanHost.log.end(); ++rule) {
        if (*rule == std::string(70, '-')) {
            listed = static_cast<std::size_t>(scanHost.log.end() - rule - 1);
            break;
        }
    }

    RecordingExportHost exportHost;
    exportHost.folder = "/nonexistent-fuzz-folder";
    exportHost.book = path;
    exportHost.ticked.fill(true);
    MemoryOutput output;
    const auto exported = tarnwick::RunContactsExport(exportHost, notes, state, &output);

    const bool scanComplete = scanned == tarnwick::ScanEnding::Completed &&
                              listed == static_cast<std::size_t>(state.TotalContacts);
    if (exported.ending == tarnwick::ExportEnding::Completed)
        check(scanComplete && static_cast<std::size_t>(exported.rows) == listed, "the export wrote a book the scan did not list");
    if (scanComplete)
        check(exported.ending == tarnwick::ExportEnding::Completed, "the scan listed a book the export could not write");
    return 0;
}
