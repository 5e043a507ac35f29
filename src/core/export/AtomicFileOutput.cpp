#include "AtomicFileOutput.h"

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

namespace tarnwick {

namespace {

std::filesystem::path fsPath(const std::string &utf8)
{
    return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t *>(utf8.data()), utf8.size()));
}

std::FILE *createExclusive(const std::string &utf8)
{
#ifdef _WIN32
    // msvcrt's fopen has no "x" mode (it ignores the letter, so an existing file would be
    // truncated); _O_EXCL is honoured by every Windows C runtime.
    const int fd = _wopen(fsPath(utf8).wstring().c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                          _S_IREAD | _S_IWRITE);
    if (fd < 0)
        return nullptr;
    std::FILE *file = _fdopen(fd, "wb");
    if (!file) {
        const int error = errno;
        _close(fd);
        errno = error;
    }
    return file;
#else
    return std::fopen(utf8.c_str(), "wbx");
#endif
}

std::string reason(int error)
{
    return error ? std::generic_category().message(error) : std::string("unknown error");
}

} // namespace

AtomicFileOutput::~AtomicFileOutput()
{
    discard();
}

void AtomicFileOutput::fail(const std::string &what, int error)
{
    const std::string message = m_target + ": " + what + ": " + reason(error);
    discard();
    throw std::runtime_error(message);
}

void AtomicFileOutput::open(const std::string &path)
{
    discard();
    m_target = path;
    static std::atomic<unsigned> serial{0};
#ifdef _WIN32
    const auto pid = static_cast<unsigned long>(_getpid());
#else
    const auto pid = static_cast<unsigned long>(::getpid());
#endif
    for (int attempt = 0; attempt < 100 && !m_file; ++attempt) {
        m_temporary = path + "." + std::to_string(pid) + "-" + std::to_string(serial++) + ".tmp";
        errno = 0;
        m_file = createExclusive(m_temporary);
        if (!m_file && errno != EEXIST)
            break;
    }
    if (!m_file) {
        const int error = errno;
        m_temporary.clear();
        fail("cannot create the file", error);
    }
    // Rows are small; a large buffer keeps the write calls few.
    std::setvbuf(m_file, nullptr, _IOFBF, 1 << 20);
}

void AtomicFileOutput::write(std::string_view bytes)
{
    if (!m_file)
        throw std::runtime_error(m_target + ": the file is not open");
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size())
        fail("cannot write", errno);
}

void AtomicFileOutput::commit()
{
    if (!m_file)
        throw std::runtime_error(m_target + ": the file is not open");
    errno = 0;
    if (std::fflush(m_file) != 0)
        fail("cannot write", errno);
#ifndef _WIN32
    // On disk before it replaces the old file: a crash now leaves one or the other whole.
    if (::fsync(fileno(m_file)) != 0)
        fail("cannot write", errno);
#endif
    std::FILE *file = m_file;
    m_file = nullptr;
    errno = 0;
    if (std::fclose(file) != 0)
        fail("cannot write", errno);
    std::error_code ec;
    std::filesystem::rename(fsPath(m_temporary), fsPath(m_target), ec);
    if (ec)
        fail("cannot replace the file", ec.value());
    m_temporary.clear();
}

void AtomicFileOutput::discard() noexcept
{
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (!m_temporary.empty()) {
        std::error_code ignored;
        std::filesystem::remove(fsPath(m_temporary), ignored);
        m_temporary.clear();
    }
}

} // namespace tarnwick
