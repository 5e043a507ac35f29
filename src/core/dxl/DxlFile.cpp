#include "DxlFile.h"

#include "notes/NotesError.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace notes::dxl::DxlFile {

std::ifstream open(std::string_view utf8Path)
{
    const std::u8string u8(reinterpret_cast<const char8_t *>(utf8Path.data()), utf8Path.size());
    const std::filesystem::path path(u8);
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        throw NotesError("cannot open " + std::string(utf8Path) + ": it is a folder");
    errno = 0;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        const int error = errno;
        throw NotesError("cannot open " + std::string(utf8Path) + ": " +
                         (error ? std::generic_category().message(error) : std::string("unreadable")));
    }
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

} // namespace notes::dxl::DxlFile
