#pragma once

// Windows only: how the export's file takes the old one's place, as Windows programs
// replace a document, and how its failures are told in the system's own words.

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace tarnwick::windows {

// The system's text for a Windows error code, without its line end.
std::string systemText(unsigned long code);

// Why a C runtime call on a file failed: the system's text for the Windows error the
// runtime kept behind errno (_doserrno), errno's own text where it kept none. Clear both
// with clearRuntimeErrors() before the call.
std::string runtimeFailure(int error);
void clearRuntimeErrors();

// Writes all of `bytes` at the file's position, through its handle, past the C runtime
// (which holds nothing of it). 0, or the Windows error.
unsigned long writeAll(std::FILE *file, std::string_view bytes);

// Writes what the system caches of the file to the disk (FlushFileBuffers), once the
// runtime's buffer is flushed. 0, or the Windows error.
unsigned long flushToDisk(std::FILE *file);

// ERROR_SHARING_VIOLATION when another program holds `target` open without letting it be
// replaced (as a spreadsheet program holds the file it shows); 0 otherwise.
unsigned long heldElsewhere(const std::filesystem::path &target);

struct Replacement
{
    unsigned long error = 0; // 0: done
    // The old file is gone and the new one could not take its name: it is still there
    // under its own, and must not be removed.
    bool newFileLeft = false;
};

// Puts the closed file `replacement` in the place of `target` (same folder) keeping the
// old file's permissions list and attributes; a new target is made by a rename that
// reaches the disk before it returns.
Replacement replaceFile(const std::filesystem::path &replacement, const std::filesystem::path &target);

// The reason shown when replaceFile failed: an error that means the file is open in
// another program says so first.
std::string replaceFailure(unsigned long error);

} // namespace tarnwick::windows
