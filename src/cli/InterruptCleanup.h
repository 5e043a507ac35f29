#pragma once

namespace tarnwick::cli {

// Ctrl-C and SIGTERM remove the export's temporary file (where it has a name at all) and
// then end the process as those signals do by default.
void installInterruptCleanup();

} // namespace tarnwick::cli
