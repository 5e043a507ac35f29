#pragma once

#include "ContactsExport.h"

#include <cstdio>
#include <string>

namespace tarnwick {

// Writes to a temporary file beside the target and renames it over the target only on
// commit, so a failed run never leaves a half-written file where a good one was.
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

    std::string m_target;
    std::string m_temporary;
    std::FILE *m_file = nullptr;
};

} // namespace tarnwick
