#include "WindowsFileReplace.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <io.h>
#include <system_error>
#include <windows.h>

namespace tarnwick::windows {

std::string systemText(unsigned long code)
{
    wchar_t *text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    std::string utf8;
    if (length > 0) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
        utf8.resize(static_cast<std::size_t>(size));
        WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), utf8.data(), size, nullptr, nullptr);
    }
    LocalFree(text);
    while (!utf8.empty() && (utf8.back() == '\n' || utf8.back() == '\r' || utf8.back() == ' '))
        utf8.pop_back();
    return utf8.empty() ? "Windows error " + std::to_string(code) : utf8;
}

std::string runtimeFailure(int error)
{
    if (_doserrno != 0)
        return systemText(_doserrno);
    return error ? std::generic_category().message(error) : std::string("unknown error");
}

void clearRuntimeErrors()
{
    errno = 0;
    _doserrno = 0;
}

unsigned long writeAll(std::FILE *file, std::string_view bytes)
{
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    while (!bytes.empty()) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!WriteFile(handle, bytes.data(), chunk, &written, nullptr))
            return GetLastError();
        // A short write is no error by itself: the next call says what stopped it.
        if (written == 0)
            return ERROR_DISK_FULL;
        bytes.remove_prefix(written);
    }
    return 0;
}

unsigned long flushToDisk(std::FILE *file)
{
    // On the disk before it replaces the old file: a crash then leaves one or the other.
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    return FlushFileBuffers(handle) ? 0 : GetLastError();
}

unsigned long heldElsewhere(const std::filesystem::path &target)
{
    // Replacing needs the right to delete it, whatever else others do with it meanwhile.
    HANDLE file = CreateFileW(target.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return 0;
    }
    const DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ? error : 0;
}

Replacement replaceFile(const std::filesystem::path &replacement, const std::filesystem::path &target)
{
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        // Nothing to replace, so nothing to keep: ReplaceFileW wants a file to replace.
        // The rename returns once it is on the disk, as the flushed file is.
        if (MoveFileExW(replacement.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH))
            return {};
        return {GetLastError(), false};
    }
    // Asked first: ReplaceFileW would find out only after moving things about.
    if (const unsigned long held = heldElsewhere(target))
        return {held, false};
    // ReplaceFileW keeps the old file's permissions list, attributes, creation time and
    // short name. Where they cannot all be merged (no right to write the permissions), the
    // file is replaced all the same, as a rename would have done. (Its write-through flag
    // is not supported; the file was flushed before.)
    if (ReplaceFileW(target.c_str(), replacement.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                     nullptr)) {
        // Not every implementation carries the attributes over (Wine's moves the file in
        // place): hidden stays hidden.
        constexpr DWORD Kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                               FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
        const DWORD now = GetFileAttributesW(target.c_str());
        if (now != INVALID_FILE_ATTRIBUTES && (now & Kept) != (attributes & Kept))
            SetFileAttributesW(target.c_str(), (now & ~Kept) | (attributes & Kept));
        return {};
    }
    const DWORD error = GetLastError();
    // The old file was removed but the new one not renamed: it must not be lost now.
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT) {
        if (MoveFileExW(replacement.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH))
            return {};
        return {error, true};
    }
    return {error, false};
}

std::string replaceFailure(unsigned long error)
{
    switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
    case ERROR_USER_MAPPED_FILE:
        return "it is open in another program; close it there and export again (" + systemText(error) + ")";
    default:
        return systemText(error);
    }
}

} // namespace tarnwick::windows
