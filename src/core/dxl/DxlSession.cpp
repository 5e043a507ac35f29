#include "DxlSession.h"

#include "notes/NotesError.h"
#include "DxlDatabase.h"
#include "DxlFile.h"

#include <array>

namespace notes::dxl {

std::unique_ptr<Database> DxlSession::GetDatabase(std::string_view server, std::string_view path)
{
    if (!server.empty())
        throw NotesError("opening a database on server " + std::string(server) + " needs a Notes client");
    return DxlDatabase::open(path);
}

bool DxlSession::isDxlFile(std::string_view path)
{
    try {
        auto file = DxlFile::open(path);
        std::array<char, 256> head{};
        file.read(head.data(), head.size());
        const std::string_view bytes(head.data(), static_cast<std::size_t>(file.gcount()));
        if (DxlFile::sniffEncoding(bytes).starts_with("UTF-16"))
            return true;
        const auto start = bytes.starts_with("\xEF\xBB\xBF") ? std::size_t{3} : std::size_t{0};
        const auto first = bytes.find_first_not_of(" \t\r\n", start);
        return first != std::string_view::npos && bytes[first] == '<';
    } catch (const NotesError &) {
        return false;
    }
}

} // namespace notes::dxl
