#pragma once

#include <filesystem>

namespace tarnwick::TemporaryFiles {

// Named temporary files that an interrupted process must not leave behind. Where the
// file system can hold a file without a name (Linux O_TMPFILE) none is needed; elsewhere
// a signal handler removes what is registered here.

// Registers a file; returns its slot, or -1 when no slot is free or the path is too long
// (the file is then left behind on an interruption, as without this registry).
int add(const std::filesystem::path &path) noexcept;
// Forgets a slot (the file was renamed or removed); -1 is ignored.
void forget(int slot) noexcept;
// Removes every registered file. Async-signal-safe: it only reads fixed storage and
// calls unlink (DeleteFileW on Windows, where the handler runs on a thread of its own).
void removeAll() noexcept;

// Whether files are created without a name where the file system allows it. On by
// default; tests turn it off to take the way of file systems that cannot.
void setUnnamedFilesAllowed(bool allowed) noexcept;
bool unnamedFilesAllowed() noexcept;

} // namespace tarnwick::TemporaryFiles
