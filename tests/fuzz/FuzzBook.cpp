// The whole path a user's file takes: the bytes opened as an address book, the People view
// scanned, then exported with every column into memory. Beside the sanitizers' own checks,
// it holds the two passes to one account of the book: what the scan lists in full, the
// export writes in full, and the other way round.
#include "RecordingHost.h"
#include "export/ContactsExport.h"
#include "notes/ContactScan.h"
#include "notes/NotesSessionFactory.h"
#include "notes/SharedState.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct NullOutput final : tarnwick::ExportOutput
{
    void open(const std::string &) override {}
    void write(std::string_view) override {}
    void commit() override {}
    void discard() noexcept override {}
};

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
    // The book lives in memory; the reader opens it by path like any file.
    static const int fd = memfd_create("tarnwick-fuzz-book", 0);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
        std::abort();

    // One host, as for a book scanned and then exported in the window.
    notes::NotesSessionFactory notes;
    tarnwick::SharedState state;
    RecordingHost host;
    host.book = path;
    host.folder = "/nonexistent-fuzz-folder";
    host.ticked.fill(true);
    const auto scanned = tarnwick::ScanLotusNotesContacts(host, notes, state);
    const auto rule = std::find(host.log.begin(), host.log.end(), std::string(70, '-'));
    const auto listed = rule == host.log.end() ? 0 : static_cast<std::size_t>(host.log.end() - rule - 1);
    NullOutput output;
    const auto exported = tarnwick::RunContactsExport(host, notes, state, &output);

    const bool scanComplete = scanned == tarnwick::ScanEnding::Completed &&
                              listed == static_cast<std::size_t>(state.TotalContacts);
    if (exported.ending == tarnwick::ExportEnding::Completed)
        check(scanComplete && static_cast<std::size_t>(exported.rows) == listed, "the export wrote a book the scan did not list");
    if (scanComplete)
        check(exported.ending == tarnwick::ExportEnding::Completed, "the scan listed a book the export could not write");
    return 0;
}
