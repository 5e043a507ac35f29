#pragma once

#include "ContactsExport.h"

#include <cstdio>
#include <string>

namespace tarnwick {

// Writes to a temporary file beside the target and renames it over the target only on
// commit, so a failed run never leaves a half-written file where a good one was. The
// temporary file has no name until commit where the file system allows (Linux), so not
// even a killed process leaves one behind. A replaced file keeps its permissions, a
// read-only one is not replaced, and a symbolic link at the name stays: its target is
// replaced.
class AtomicFileOutput final : public ExportOutput
{
public:
    AtomicFileOutput() = default;
    ~AtomicFileOutput() override;
    AtomicFileOutput(const AtomicFileOutput &) = delete;
    AtomicFileOutput &operator=(const AtomicFileOutput &) = delete;

    void open(const std::string &path) override;
    void write(std::string_view bytes) override;
    void commit() override;
    void discard() noexcept override;

private:
    [[noreturn]] void fail(const std::string &what, int error);
    [[noreturn]] void fail(const std::string &what, const std::string &why);
    void createNamed(int mode);
    void nameUnnamedFile();

    std::string m_target;
    std::string m_replaced;  // the file the rename replaces: the target, or where its link leads
    std::string m_temporary; // the temporary file's name, once it has one
    int m_temporarySlot = -1; // its registration for removal on an interruption
    bool m_unnamed = false;
    std::FILE *m_file = nullptr;
#ifdef _WIN32
    // Written to the file's handle by the program itself, a buffer at a time: see write().
    std::string m_pending;
    void writePending();
#endif
};

} // namespace tarnwick
