#include "DxlViewIndex.h"

#include "notes/BusyHook.h"
#include "notes/NotesError.h"
#include "DxlDocument.h"
#include "DxlFile.h"
#include "DxlReadAhead.h"

#include <algorithm>
#include <cstring>
#include <thread>

namespace notes::dxl {

namespace {

// A person document larger than this is not an address-book entry but a hostile file.
constexpr std::uint64_t MaxDocumentBytes = 64u << 20;

// Runs for every item of the file: the length rules out most names at once.
bool isIndexItem(std::string_view name)
{
    switch (name.size()) {
    case 4:
        return DxlNote::sameName(name, "Type") || DxlNote::sameName(name, "Form");
    case 8:
        return DxlNote::sameName(name, "LastName");
    case 9:
        return DxlNote::sameName(name, "FirstName") || DxlNote::sameName(name, "$Conflict");
    case 13:
        return DxlNote::sameName(name, "MiddleInitial");
    default:
        return false;
    }
}

// One streaming pass: finds the person documents, their byte ranges and sort keys.
class IndexBuilder final : public DxlXmlParser::Handler
{
public:
    struct Found
    {
        std::uint64_t offset;
        std::uint64_t length;
        std::size_t keyOffset;
        std::size_t keyLength;
    };

    DxlXmlParser *parser = nullptr;
    std::vector<Found> found;
    std::string keys; // all sort keys, back to back

    void startElement(std::string_view name, const char **attributes) override
    {
        const int depth = ++m_level;
        if (depth == 1) {
            if (name != "database")
                parser->stop("the root element is not a DXL database");
            return;
        }
        if (depth == 2) {
            m_inNote = name == "document" || (name == "note" && isDocumentClass(attributes));
            if (!m_inNote)
                return;
            m_start = parser->currentByteIndex();
            m_startTagEnd = m_start + parser->currentByteCount();
            const char *form = DxlXmlParser::attribute(attributes, "form");
            m_formAttribute = form ? form : "";
            m_hasFormAttribute = form != nullptr;
            const char *conflict = DxlXmlParser::attribute(attributes, "conflict");
            m_conflict = conflict && std::strcmp(conflict, "true") == 0;
            m_reader.clear();
            return;
        }
        if (m_inNote)
            m_reader.startElement(name, attributes);
    }

    void endElement(std::string_view name) override
    {
        const int depth = m_level--;
        if (depth > 2 && m_inNote) {
            m_reader.endElement(name);
        } else if (depth == 2 && m_inNote) {
            m_inNote = false;
            const auto end = std::max(m_startTagEnd, parser->currentByteIndex() + parser->currentByteCount());
            // Only a person is read again whole; anything else may be as large as it likes.
            if (!isPerson())
                return;
            if (end - m_start > MaxDocumentBytes)
                parser->stop("a person document is larger than any address-book entry can be (" +
                             std::to_string((end - m_start) >> 20) + " MiB)");
            else
                add(m_start, end - m_start);
        }
    }

    void characterData(std::string_view text) override
    {
        if (m_inNote)
            m_reader.characterData(text);
    }

private:
    static bool isDocumentClass(const char **attributes)
    {
        const char *cls = DxlXmlParser::attribute(attributes, "class");
        return cls && std::strcmp(cls, "document") == 0;
    }

    std::string_view first(std::string_view item) const { return m_reader.note().firstValue(item); }

    bool isPerson() const
    {
        if (m_conflict || m_reader.note().find("$Conflict"))
            return false;
        if (m_reader.note().find("Type"))
            return first("type") == "Person";
        return (m_hasFormAttribute ? std::string_view(m_formAttribute) : first("form")) == "Person";
    }

    // Last name, first name, middle initial, ASCII letters folded, NUL between them so
    // that comparing the joined bytes compares the fields in turn.
    void add(std::uint64_t offset, std::uint64_t length)
    {
        const auto keyOffset = keys.size();
        for (const char *item : {"lastname", "firstname", "middleinitial"}) {
            for (const char c : first(item))
                keys.push_back(DxlNote::foldAscii(c));
            keys.push_back('\0');
        }
        found.push_back(Found{offset, length, keyOffset, keys.size() - keyOffset});
    }

    DxlNoteReader m_reader{&isIndexItem};
    int m_level = 0;
    bool m_inNote = false;
    std::uint64_t m_start = 0;
    std::uint64_t m_startTagEnd = 0;
    std::string m_formAttribute;
    bool m_hasFormAttribute = false;
    bool m_conflict = false;
};

// Turns the DOCTYPE declaration in a block of the file into blanks, line ends kept (so
// offsets and line numbers stay). A DOCTYPE that names an external DTD makes expat skip a
// reference to an entity nothing declares, in attribute values without a word; each
// document is later parsed alone, where the same reference is an error. Read without the
// DOCTYPE, the whole file is held to the rules every single document is held to.
void blankDoctype(char *data, std::size_t size, std::uint64_t at, const DxlByteRange &doctype,
                  const std::string &encoding)
{
    const std::uint64_t from = std::max(at, doctype.offset);
    const std::uint64_t to = std::min(at + size, doctype.offset + doctype.length);
    if (from >= to)
        return;
    const bool wide = encoding.starts_with("UTF-16");
    const bool bigEndian = encoding == "UTF-16BE";
    if (!wide) {
        for (auto i = from; i < to; ++i) {
            char &c = data[i - at];
            if (c != '\n')
                c = ' ';
        }
        return;
    }
    // Two-byte units from an even offset; a block of the file always starts on one.
    for (auto i = from & ~std::uint64_t{1}; i + 1 < to; i += 2) {
        char &low = data[i - at + (bigEndian ? 1 : 0)];
        char &high = data[i - at + (bigEndian ? 0 : 1)];
        if (high == 0 && low == '\n')
            continue;
        low = ' ';
        high = 0;
    }
}

} // namespace

std::shared_ptr<DxlViewIndex> DxlViewIndex::build(const std::string &path, const std::string &encoding,
                                                  const DxlByteRange &doctype)
{
    auto file = DxlFile::open(path);
    IndexBuilder builder;
    DxlXmlParser parser(builder, nullptr);
    builder.parser = &parser;

    std::vector<char> chunk(1 << 20);
    std::uint64_t at = 0;
    for (;;) {
        file.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        const auto got = static_cast<std::size_t>(file.gcount());
        blankDoctype(chunk.data(), got, at, doctype, encoding);
        at += got;
        if (!parser.feed(chunk.data(), got, got == 0))
            throw NotesError("cannot read the People view of " + path + ": " + parser.errorText());
        if (got == 0)
            break;
        // A large book takes seconds to index; the window that waits should repaint.
        notes::BusyHook::tick();
    }
    if (file.bad())
        throw NotesError("cannot read " + path + ": read error");

    auto &found = builder.found;
    const std::string &keys = builder.keys;
    // Sorting a few hundred thousand contacts takes about a tenth of a second: the waiting
    // window gets its turns during it too.
    std::uint32_t compared = 0;
    std::stable_sort(found.begin(), found.end(),
                     [&keys, &compared](const IndexBuilder::Found &a, const IndexBuilder::Found &b) {
                         if ((++compared & 0xFFFF) == 0)
                             notes::BusyHook::tick();
                         return std::string_view(keys).substr(a.keyOffset, a.keyLength) <
                                std::string_view(keys).substr(b.keyOffset, b.keyLength);
                     });
    std::vector<DxlByteRange> ranges;
    ranges.reserve(found.size());
    for (const auto &f : found)
        ranges.push_back(DxlByteRange{f.offset, f.length});
    return std::shared_ptr<DxlViewIndex>(new DxlViewIndex(path, encoding, std::move(ranges)));
}

DxlViewIndex::DxlViewIndex(std::string path, std::string encoding, std::vector<DxlByteRange> ranges)
    : m_path(std::move(path))
    , m_encoding(std::move(encoding))
    , m_ranges(std::move(ranges))
    , m_reader(m_path, m_encoding)
{
}

DxlViewIndex::~DxlViewIndex() = default;

std::unique_ptr<notes::Document> DxlViewIndex::readDocument(std::size_t position)
{
    if (position >= m_ranges.size())
        throw NotesError("no document at view position " + std::to_string(position));
    if (position == 0 && !m_readAhead && !m_readAheadRefused && m_ranges.size() > 1) {
        const unsigned cores = std::thread::hardware_concurrency();
        if (cores > 1)
            m_readAhead = DxlReadAhead::start(m_path, m_encoding, m_ranges, std::min(cores, 4u));
        // Without a thread, every read is on the spot; asking again each walk gains nothing.
        m_readAheadRefused = !m_readAhead;
    }
    if (m_readAhead && position == m_readAhead->next())
        return std::make_unique<DxlDocument>(m_readAhead->take());
    return std::make_unique<DxlDocument>(m_reader.read(m_ranges[position]));
}

} // namespace notes::dxl
