#pragma once

#include <cstdint>
#include <string>

namespace tarnwick {

// What the scan leaves for the export, and what the export leaves for the link that opens
// its file. Owned by the application, passed to whoever needs it.
struct SharedState
{
    // Entries of the People view at the last scan: the export's progress-bar maximum.
    std::int32_t TotalContacts = 0;
    // Full path of the file the last export wrote (or was about to write).
    std::string ExportFilePath;
};

} // namespace tarnwick
