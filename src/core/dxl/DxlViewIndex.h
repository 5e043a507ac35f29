#pragma once

#include "DxlFragmentReader.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace notes {
class Document;
}

namespace notes::dxl {

class DxlReadAhead;

// The "People" view of a DXL address book: where each person document sits in the file, in
// view order, with the four values the scan lists. The file is streamed once to build it,
// split at document boundaries across the cores, and never held in memory; a document is
// parsed again from its own bytes only when an item beyond those four is read. 24 bytes a
// contact, and the bytes of its four values.
class DxlViewIndex : public std::enable_shared_from_this<DxlViewIndex>
{
public:
    // What opening the database learned of the file's start.
    struct Layout
    {
        std::string encoding;
        DxlByteRange doctype{0, 0}; // the DOCTYPE declaration, read as blanks (see build())
        std::string rootName;       // as written, prefix and all
        std::uint64_t rootEnd = 0;  // where the root's start tag ends
    };

    // Throws NotesError when the file is malformed anywhere, truncated included, with the
    // line of the first fault, as one pass from the start would find it.
    static std::shared_ptr<DxlViewIndex> build(const std::string &path, const Layout &layout);

    ~DxlViewIndex();

    std::size_t size() const { return m_entries.size(); }
    // The document at a view position. Throws NotesError when the file is no longer the
    // one indexed: cut short, grown or written to since.
    std::unique_ptr<notes::Document> readDocument(std::size_t position);

    // The value FirstName, MiddleInitial, LastName or MailAddress has, when the index
    // holds it whole (the item's only value); nothing for any other item.
    std::optional<std::string_view> indexedValue(std::size_t position, std::string_view item) const;
    static bool isIndexedItem(std::string_view item);
    // The whole document, parsed from its bytes. wholeWalk: an item the index does not
    // hold was asked for, so the walk reads whole documents: from the first it reads whole
    // on, it is served by parsers running ahead on the other cores. Any other read is on
    // the spot.
    DxlNote parse(std::size_t position, bool wholeWalk);

    struct Entry
    {
        std::uint64_t offset;
        std::uint32_t length;       // and Partial
        std::uint32_t valuesLength; // of "LastName\0FirstName\0MiddleInitial\0MailAddress" in the arena
        std::uint64_t valuesAt;
    };
    // In Entry::length: not all four values are held whole (a list, a long address).
    static constexpr std::uint32_t Partial = 1u << 31;

    // Chunks of at most a mebibyte (one value larger gets a chunk of its own): growing
    // never copies what is held, so the index's peak is what it holds.
    class Arena
    {
    public:
        static constexpr unsigned Shift = 20;
        std::uint64_t add(std::string_view bytes);
        std::string_view at(std::uint64_t where, std::uint32_t length) const
        {
            return std::string_view(m_chunks[static_cast<std::size_t>(where >> Shift)])
                .substr(static_cast<std::size_t>(where & ((std::uint64_t{1} << Shift) - 1)), length);
        }
        std::uint64_t chunkCount() const { return m_chunks.size(); }
        void takeChunks(Arena &other);
        void clear() { std::vector<std::string>().swap(m_chunks); }

    private:
        std::vector<std::string> m_chunks;
    };

private:
    DxlViewIndex(std::string path, std::string encoding, std::vector<Entry> entries, Arena values,
                 DxlFile::Reader::Stamp stamp);

    static int field(std::string_view item);
    DxlByteRange rangeAt(std::size_t position) const
    {
        return DxlByteRange{m_entries[position].offset, m_entries[position].length & ~Partial};
    }

    std::string m_path;
    std::string m_encoding;
    std::vector<Entry> m_entries;
    Arena m_values;
    DxlFile::Reader::Stamp m_stamp;
    DxlFragmentReader m_reader;
    std::unique_ptr<DxlReadAhead> m_readAhead;
    bool m_readAheadRefused = false;
};

} // namespace notes::dxl
