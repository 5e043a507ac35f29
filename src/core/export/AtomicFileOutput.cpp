#include "AtomicFileOutput.h"

#include "FilePaths.h"
#include "TemporaryFiles.h"
#include "notes/BusyHook.h"

#include <cerrno>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include "WindowsFileReplace.h"
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace tarnwick {

namespace {

namespace fs = std::filesystem;

// Rows are small; a large buffer keeps the write calls few.
constexpr std::size_t WriteBuffer = std::size_t{1} << 20;

std::string reason(int error)
{
#ifdef _WIN32
    // In the system's words, not the C runtime's.
    return windows::runtimeFailure(error);
#else
    return error ? std::generic_category().message(error) : std::string("unknown error");
#endif
}

void clearErrors()
{
    errno = 0;
#ifdef _WIN32
    windows::clearRuntimeErrors();
#endif
}

// Where a symbolic link at the name finally leads: that file is the one replaced, so the
// link stays as its owner made it. A relative link is read from the link's folder.
fs::path followLinks(fs::path path)
{
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(path, ec)))
            return path;
        const auto to = fs::read_symlink(path, ec);
        if (ec)
            return path;
        path = to.is_absolute() ? to : path.parent_path() / to;
    }
    return path;
}

// The file descriptor for a new file created exclusively, in binary mode; -1 and errno.
int createExclusive(const fs::path &path, int mode)
{
#ifdef _WIN32
    (void)mode;
    // msvcrt's fopen has no "x" mode (it ignores the letter, so an existing file would be
    // truncated); _O_EXCL is honoured by every Windows C runtime.
    return _wopen(path.wstring().c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, static_cast<mode_t>(mode));
#endif
}

std::string temporaryName(const std::string &beside)
{
    return beside + uniqueSuffix(".tmp");
}

} // namespace

AtomicFileOutput::~AtomicFileOutput()
{
    discard();
}

void AtomicFileOutput::fail(const std::string &what, int error)
{
    fail(what, reason(error));
}

void AtomicFileOutput::fail(const std::string &what, const std::string &why)
{
    const std::string message = m_target + ": " + what + ": " + why;
    discard();
    throw std::runtime_error(message);
}

void AtomicFileOutput::open(const std::string &path)
{
    discard();
    m_target = path;
    m_replaced = utf8Path(followLinks(fsPath(path)));

    // A new file gets what the user's umask gives; a replaced one keeps its own bits.
    int mode = 0;
    bool replacing = false;
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesW(fsPath(m_replaced).wstring().c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        fail("cannot replace the file", "it is read-only");
    // Said now, before the walk, rather than after it; the replacement looks again.
    if (const unsigned long held = windows::heldElsewhere(fsPath(m_replaced)))
        fail("cannot replace the file", windows::replaceFailure(held));
#else
    struct stat existing{};
    if (::stat(m_replaced.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        // Checked, not left to the system: as root, writing would succeed.
        if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            fail("cannot replace the file", "it is read-only");
        mode = static_cast<int>(existing.st_mode & 07777);
        replacing = true;
    }
#endif

    int fd = -1;
#if defined(O_TMPFILE)
    if (TemporaryFiles::unnamedFilesAllowed()) {
        const auto folder = fsPath(m_replaced).parent_path();
        fd = ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, replacing ? 0600 : 0666);
        m_unnamed = fd >= 0; // otherwise the file system cannot: take a named file
    }
#endif
    if (fd < 0) {
        for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
            m_temporary = temporaryName(m_replaced);
            clearErrors();
            fd = createExclusive(fsPath(m_temporary), replacing ? 0600 : 0666);
            if (fd < 0 && errno != EEXIST)
                break;
        }
        if (fd < 0) {
            const int error = errno;
            m_temporary.clear();
            fail("cannot create the file", error);
        }
        m_temporarySlot = TemporaryFiles::add(fsPath(m_temporary));
    }
#ifndef _WIN32
    if (replacing) {
        // Created 0600, so that nobody reads it before it has the bits of the file it replaces.
        if (::fchmod(fd, static_cast<mode_t>(mode)) != 0) {
            const int error = errno;
            ::close(fd);
            fail("cannot create the file", error);
        }
        // Kept where we may (root may always); a user replacing another's file through a
        // writable folder ends up owning the copy, as any editor would.
        (void)!::fchown(fd, existing.st_uid, existing.st_gid);
    }
    m_file = ::fdopen(fd, "wb");
#else
    (void)replacing;
    (void)mode;
    m_file = _fdopen(fd, "wb");
#endif
    if (!m_file) {
        const int error = errno;
#ifdef _WIN32
        _close(fd);
#else
        ::close(fd);
#endif
        fail("cannot create the file", error);
    }
#ifdef _WIN32
    m_pending.reserve(WriteBuffer);
#else
    std::setvbuf(m_file, nullptr, _IOFBF, WriteBuffer);
#endif
}

void AtomicFileOutput::write(std::string_view bytes)
{
    if (!m_file)
        throw std::runtime_error(m_target + ": the file is not open");
#ifdef _WIN32
    // Not through the C runtime: a write that the system cuts short without an error (Wine
    // does so on a full disk) is a failure with no reason to the runtime, and errno then
    // says "Invalid argument". Writing the rest shows the system's own error.
    m_pending.append(bytes);
    if (m_pending.size() >= WriteBuffer)
        writePending();
#else
    clearErrors();
    if (std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size())
        fail("cannot write", errno);
#endif
}

#ifdef _WIN32
void AtomicFileOutput::writePending()
{
    const unsigned long error = windows::writeAll(m_file, m_pending);
    m_pending.clear();
    if (error != 0)
        fail("cannot write", windows::systemText(error));
}
#endif

// Gives the unnamed file a temporary name beside the target, from which it is renamed
// over it like a named one.
void AtomicFileOutput::nameUnnamedFile()
{
#ifndef _WIN32
    const std::string self = "/proc/self/fd/" + std::to_string(fileno(m_file));
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_temporary = temporaryName(m_replaced);
        m_temporarySlot = TemporaryFiles::add(fsPath(m_temporary));
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, m_temporary.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return;
        const int error = errno;
        TemporaryFiles::forget(m_temporarySlot);
        m_temporarySlot = -1;
        m_temporary.clear();
        if (error != EEXIST)
            fail("cannot replace the file", error);
    }
    fail("cannot replace the file", EEXIST);
#endif
}

void AtomicFileOutput::commit()
{
    if (!m_file)
        throw std::runtime_error(m_target + ": the file is not open");
#ifdef _WIN32
    writePending();
    unsigned long flushError = 0;
    notes::BusyHook::whileBusy([this, &flushError] { flushError = windows::flushToDisk(m_file); });
    if (flushError != 0)
        fail("cannot write", windows::systemText(flushError));
#else
    clearErrors();
    if (std::fflush(m_file) != 0)
        fail("cannot write", errno);
    // On disk before it replaces the old file: a crash now leaves one or the other whole.
    // Flushing a large file takes a while; the windows keep painting meanwhile.
    int syncError = 0;
    notes::BusyHook::whileBusy([this, &syncError] { syncError = ::fsync(fileno(m_file)) == 0 ? 0 : errno; });
    if (syncError != 0)
        fail("cannot write", syncError);
#endif
    if (m_unnamed)
        nameUnnamedFile();
    std::FILE *file = m_file;
    m_file = nullptr;
    clearErrors();
    if (std::fclose(file) != 0)
        fail("cannot write", errno);
#ifdef _WIN32
    // As Windows programs replace a document: the old file's permissions and attributes
    // stay. Where the old file is gone and the new one could not take its name, the new
    // one stays where it is: nothing of the export is thrown away.
    windows::Replacement replaced;
    notes::BusyHook::whileBusy(
        [this, &replaced] { replaced = windows::replaceFile(fsPath(m_temporary), fsPath(m_replaced)); });
    if (replaced.newFileLeft) {
        const std::string left = m_temporary;
        TemporaryFiles::forget(m_temporarySlot);
        m_temporarySlot = -1;
        m_temporary.clear();
        fail("cannot replace the file", windows::replaceFailure(replaced.error) +
                                            "; the earlier file is gone, the contacts are in " + left);
    }
    if (replaced.error != 0)
        fail("cannot replace the file", windows::replaceFailure(replaced.error));
#else
    // Replacing a large file frees its blocks, which takes a while as well.
    std::error_code ec;
    notes::BusyHook::whileBusy([this, &ec] { fs::rename(fsPath(m_temporary), fsPath(m_replaced), ec); });
    if (ec)
        fail("cannot replace the file", ec.value());
#endif
    TemporaryFiles::forget(m_temporarySlot);
    m_temporarySlot = -1;
    m_temporary.clear();
    m_unnamed = false;
}

void AtomicFileOutput::discard() noexcept
{
#ifdef _WIN32
    m_pending.clear();
#endif
    if (m_file) {
        std::fclose(m_file); // an unnamed file vanishes here
        m_file = nullptr;
    }
    if (!m_temporary.empty()) {
        std::error_code ignored;
        fs::remove(fsPath(m_temporary), ignored);
        m_temporary.clear();
    }
    TemporaryFiles::forget(m_temporarySlot);
    m_temporarySlot = -1;
    m_unnamed = false;
}

} // namespace tarnwick
