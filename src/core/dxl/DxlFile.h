#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>

namespace notes::dxl::DxlFile {

// Opens a file named by a UTF-8 path for binary reading; throws NotesError naming the path
// and the reason when it cannot.
std::ifstream open(std::string_view utf8Path);

// The encoding a byte-order mark or the first bytes of an XML file betray ("UTF-16LE",
// "UTF-16BE", "UTF-8"), or empty when only the XML declaration can tell.
std::string sniffEncoding(std::string_view firstBytes);

// One handle on a book, read at given offsets straight into the caller's buffer (the
// parser's own): no stream buffer in between, no seek before each read. Not a mapping: a
// book cut short under a mapping kills the process, and a 32-bit process cannot map a
// large one whole. Each thread reads through a handle of its own.
class Reader
{
public:
    // Throws NotesError as open() does.
    explicit Reader(std::string_view utf8Path);
    ~Reader();
    Reader(const Reader &) = delete;
    Reader &operator=(const Reader &) = delete;

    // Up to size bytes from offset; fewer only where the file ends. Throws NotesError when
    // the system fails the read.
    std::size_t readAt(std::uint64_t offset, char *data, std::size_t size);

    // The size and the time of the last change, as the system has them now: when either
    // differs from what it was when the book was indexed, the file is not that book.
    struct Stamp
    {
        std::uint64_t size = 0;
        std::int64_t modified = 0;
        bool operator==(const Stamp &) const = default;
    };
    Stamp stamp() const;

private:
    std::string m_path;
    int m_fd = -1;
};

} // namespace notes::dxl::DxlFile
