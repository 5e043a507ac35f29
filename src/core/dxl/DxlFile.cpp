#include "DxlFile.h"

#include "notes/NotesError.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace notes::dxl::DxlFile {

namespace {

std::filesystem::path fsPath(std::string_view utf8Path)
{
    const std::u8string u8(reinterpret_cast<const char8_t *>(utf8Path.data()), utf8Path.size());
    return std::filesystem::path(u8);
}

[[noreturn]] void cannotOpen(std::string_view utf8Path, int error)
{
    throw NotesError("cannot open " + std::string(utf8Path) + ": " +
                     (error ? std::generic_category().message(error) : std::string("unreadable")));
}

void refuseFolder(std::string_view utf8Path, const std::filesystem::path &path)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        throw NotesError("cannot open " + std::string(utf8Path) + ": it is a folder");
}

} // namespace

std::ifstream open(std::string_view utf8Path)
{
    const std::filesystem::path path = fsPath(utf8Path);
    refuseFolder(utf8Path, path);
    errno = 0;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        cannotOpen(utf8Path, errno);
    return file;
}

std::string sniffEncoding(std::string_view b)
{
    auto starts = [&](std::string_view prefix) { return b.substr(0, prefix.size()) == prefix; };
    using namespace std::string_view_literals;
    if (starts("\xEF\xBB\xBF"sv))
        return "UTF-8";
    if (starts("\xFF\xFE"sv) || starts("<\0?\0"sv))
        return "UTF-16LE";
    if (starts("\xFE\xFF"sv) || starts("\0<\0?"sv))
        return "UTF-16BE";
    return {};
}

Reader::Reader(std::string_view utf8Path)
    : m_path(utf8Path)
{
    const std::filesystem::path path = fsPath(utf8Path);
    refuseFolder(utf8Path, path);
    errno = 0;
#ifdef _WIN32
    m_fd = _wopen(path.wstring().c_str(), _O_RDONLY | _O_BINARY);
#else
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
#endif
    if (m_fd < 0)
        cannotOpen(utf8Path, errno);
}

Reader::~Reader()
{
#ifdef _WIN32
    _close(m_fd);
#else
    ::close(m_fd);
#endif
}

std::size_t Reader::readAt(std::uint64_t offset, char *data, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
#ifdef _WIN32
        OVERLAPPED at{};
        const std::uint64_t from = offset + done;
        at.Offset = static_cast<DWORD>(from);
        at.OffsetHigh = static_cast<DWORD>(from >> 32);
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(reinterpret_cast<HANDLE>(_get_osfhandle(m_fd)), data + done, want, &got, &at)) {
            if (GetLastError() == ERROR_HANDLE_EOF)
                break;
            throw NotesError("cannot read " + m_path + ": read error");
        }
#else
        const ssize_t got = ::pread(m_fd, data + done, size - done, static_cast<off_t>(offset + done));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw NotesError("cannot read " + m_path + ": " + std::generic_category().message(errno));
        }
#endif
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

Reader::Stamp Reader::stamp() const
{
    Stamp now;
#ifdef _WIN32
    // Size and time only: the whole file information asks for the volume as well, which
    // costs a great deal more and is asked for each document.
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(m_fd));
    LARGE_INTEGER size{};
    FILETIME written{};
    if (!GetFileSizeEx(handle, &size) || !GetFileTime(handle, nullptr, nullptr, &written))
        throw NotesError("cannot read " + m_path + ": the file is gone");
    now.size = static_cast<std::uint64_t>(size.QuadPart);
    now.modified = static_cast<std::int64_t>((static_cast<std::uint64_t>(written.dwHighDateTime) << 32) |
                                             written.dwLowDateTime);
#else
    struct stat info{};
    if (::fstat(m_fd, &info) != 0)
        throw NotesError("cannot read " + m_path + ": " + std::generic_category().message(errno));
    now.size = static_cast<std::uint64_t>(info.st_size);
    now.modified = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
#endif
    return now;
}

} // namespace notes::dxl::DxlFile
