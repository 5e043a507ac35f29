#include "DxlViewIndex.h"

#include "notes/BusyHook.h"
#include "notes/NotesError.h"
#include "DxlDocument.h"
#include "DxlReadAhead.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace notes::dxl {

namespace {

// A person document larger than this is not an address-book entry but a hostile file.
constexpr std::uint64_t MaxDocumentBytes = 64u << 20;
// A piece's read: its parser's buffer holds about twice this.
constexpr std::size_t ChunkBytes = 256u << 10;
// A smaller book is read in one piece: splitting it saves less than a thread costs.
constexpr std::uint64_t MinSplitBytes = 64u << 10;
constexpr unsigned MaxParts = 4;
// How far past a proposed split point a document start is looked for.
constexpr std::size_t BoundarySearchBytes = 4u << 20;
// A mail address longer than this is not held in the index; the scan reads its document.
constexpr std::size_t MaxHeldAddress = 1024;

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
    case 11:
        return DxlNote::sameName(name, "MailAddress");
    case 13:
        return DxlNote::sameName(name, "MiddleInitial");
    default:
        return false;
    }
}

// The view's order: last name, first name, middle initial, each compared byte by byte with
// the ASCII letters folded; the three end in NUL (which no XML text holds), so comparing
// the joined bytes compares the fields in turn. What follows the third NUL (the address)
// does not count: ties keep the file's order.
bool sortsBefore(std::string_view a, std::string_view b)
{
    int ended = 0;
    for (std::size_t i = 0;; ++i) {
        const auto x = static_cast<unsigned char>(DxlNote::foldAscii(a[i]));
        const auto y = static_cast<unsigned char>(DxlNote::foldAscii(b[i]));
        if (x != y)
            return x < y;
        if (x == 0 && ++ended == 3)
            return false;
    }
}

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

// One piece of the book: from its start (the file's, or a proposed document boundary) to
// the first later proposed boundary that its own parse confirms, or to the file's end. A
// piece that starts at a boundary is parsed as the children of a root element of the
// root's name, so expat holds it to exactly the rules it holds the whole file to there.
struct Piece
{
    std::uint64_t begin = 0;
    std::vector<std::uint64_t> boundaries; // proposed, after begin, in file order
    std::size_t firstBoundary = 0;         // the index of boundaries[0] among all of them

    // Results, once done.
    std::deque<DxlViewIndex::Entry> entries;
    DxlViewIndex::Arena values;
    bool confirmed = false;      // stopped at a confirmed boundary
    std::size_t confirmedAt = 0; // which, among all proposed
    std::uint64_t confirmedLine = 0; // its line, counted from the piece's first
    bool failed = false;
    std::string reason;
    std::uint64_t failedLine = 0; // counted from the piece's first

    // For a piece run on a thread of its own.
    std::atomic<bool> abandon{false};
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool hasThread = false;
};

// Finds the person documents of one piece, their byte ranges and the four values.
class IndexBuilder final : public DxlXmlParser::Handler
{
public:
    IndexBuilder(Piece &piece, std::int64_t bias)
        : m_piece(piece)
        , m_bias(bias)
    {
    }

    DxlXmlParser *parser = nullptr;

    void startElement(std::string_view name, const char **attributes) override
    {
        if (m_piece.confirmed)
            return; // expat may call once more after the stop
        const int depth = ++m_level;
        if (depth == 1) {
            if (name != "database")
                parser->stop("the root element is not a DXL database");
            return;
        }
        if (depth == 2) {
            const std::uint64_t start = offset(parser->currentByteIndex());
            if (reachesBoundary(start))
                return;
            m_inNote = name == "document" || (name == "note" && isDocumentClass(attributes));
            if (!m_inNote)
                return;
            m_start = start;
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
        if (m_piece.confirmed)
            return;
        const int depth = m_level--;
        if (depth > 2 && m_inNote) {
            m_reader.endElement(name);
        } else if (depth == 2 && m_inNote) {
            m_inNote = false;
            const auto end = std::max(m_startTagEnd,
                                      offset(parser->currentByteIndex() + parser->currentByteCount()));
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
    std::uint64_t offset(std::uint64_t index) const { return static_cast<std::uint64_t>(static_cast<std::int64_t>(index) + m_bias); }

    // A child of the root starting at or past a proposed boundary: exactly there, the
    // boundary is one, and the piece ends; past it, the bytes there were not a document's
    // start (a comment, a CDATA section or a deeper element held them), and the piece
    // reads on.
    bool reachesBoundary(std::uint64_t start)
    {
        auto &b = m_piece.boundaries;
        while (m_next < b.size() && start >= b[m_next]) {
            if (start == b[m_next]) {
                m_piece.confirmed = true;
                m_piece.confirmedAt = m_piece.firstBoundary + m_next;
                m_piece.confirmedLine = parser->currentLine();
                parser->stop();
                return true;
            }
            ++m_next;
        }
        return false;
    }

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

    // Whether an item's value is all of it: a list or a repeated name reads differently
    // through the document.
    bool single(std::string_view item) const
    {
        const auto *found = m_reader.note().find(item);
        return !found || found->valueCount == 1;
    }

    // Last name, first name, middle initial (the sort key), then the mail address.
    void add(std::uint64_t offset, std::uint64_t length)
    {
        m_values.clear();
        for (const char *item : {"lastname", "firstname", "middleinitial"}) {
            m_values.append(first(item));
            m_values.push_back('\0');
        }
        const auto address = first("mailaddress");
        bool whole = single("lastname") && single("firstname") && single("middleinitial") &&
                     single("mailaddress") && address.size() <= MaxHeldAddress;
        if (whole)
            m_values.append(address);
        const auto at = m_piece.values.add(m_values);
        m_piece.entries.push_back(DxlViewIndex::Entry{offset, static_cast<std::uint32_t>(length) | (whole ? 0 : DxlViewIndex::Partial),
                                                      static_cast<std::uint32_t>(m_values.size()), at});
    }

    Piece &m_piece;
    const std::int64_t m_bias; // file offset of the parser's byte 0
    std::size_t m_next = 0;    // the next of the piece's boundaries to reach
    DxlNoteReader m_reader{&isIndexItem};
    std::string m_values;
    int m_level = 0;
    bool m_inNote = false;
    std::uint64_t m_start = 0;
    std::uint64_t m_startTagEnd = 0;
    std::string m_formAttribute;
    bool m_hasFormAttribute = false;
    bool m_conflict = false;
};

void releaseFreedMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

bool isAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Points near each of the cores' equal shares of the book where a document seems to start:
// only proposals, each confirmed or not by the parse of the piece before it. A UTF-16 book
// is read in one piece: its lines are not counted in bytes.
std::vector<std::uint64_t> proposeBoundaries(DxlFile::Reader &file, std::uint64_t size,
                                             const DxlViewIndex::Layout &layout)
{
    std::vector<std::uint64_t> proposed;
    const unsigned pieces = std::min(DxlReadAhead::usableCores(), MaxParts);
    if (pieces < 2 || layout.encoding.starts_with("UTF-16") || layout.rootEnd == 0 ||
        size < layout.rootEnd + MinSplitBytes || !isAscii(layout.rootName))
        return proposed;
    const auto colon = layout.rootName.rfind(':');
    const std::string prefix = colon == std::string::npos ? std::string() : layout.rootName.substr(0, colon + 1);
    const std::string starts[] = {"<" + prefix + "document", "<" + prefix + "note"};
    constexpr std::size_t Step = 64u << 10;
    std::string window(Step, '\0');
    for (unsigned k = 1; k < pieces; ++k) {
        std::uint64_t at = layout.rootEnd + (size - layout.rootEnd) / pieces * k;
        if (!proposed.empty())
            at = std::max(at, proposed.back() + 1);
        bool found = false;
        for (std::uint64_t searched = 0; !found && searched < BoundarySearchBytes; searched += Step) {
            // Overlapping by a name's length, so that none is missed across two steps.
            const std::uint64_t from = at + searched - (searched ? 16 : 0);
            const std::string_view bytes(window.data(), file.readAt(from, window.data(), window.size()));
            for (std::size_t i = bytes.find('<'); !found && i != std::string_view::npos; i = bytes.find('<', i + 1)) {
                for (const auto &start : starts) {
                    if (bytes.substr(i, start.size()) != start || i + start.size() >= bytes.size())
                        continue;
                    const char next = bytes[i + start.size()];
                    if (next == ' ' || next == '\t' || next == '\r' || next == '\n' || next == '>' || next == '/') {
                        proposed.push_back(from + i);
                        found = true;
                        break;
                    }
                }
            }
            if (bytes.size() < window.size())
                break; // the file's end
        }
    }
    return proposed;
}

// One piece, parsed: what it found, or why it could not.
void parsePiece(const std::string &path, const DxlViewIndex::Layout &layout, Piece &piece)
{
    DxlFile::Reader file(path);
    // A piece from a boundary follows a root start tag of its own, on its first line, with
    // no attribute: a child's parse depends on none.
    const std::string opening = piece.begin == 0 ? std::string() : "<" + layout.rootName + ">";
    IndexBuilder builder(piece, static_cast<std::int64_t>(piece.begin) - static_cast<std::int64_t>(opening.size()));
    DxlXmlParser parser(builder, piece.begin == 0 ? nullptr : layout.encoding.c_str());
    builder.parser = &parser;
    bool ok = opening.empty() || parser.feed(opening.data(), opening.size(), false);
    std::uint64_t at = piece.begin;
    while (ok && !piece.abandon.load(std::memory_order_relaxed)) {
        // Straight into the parser's buffer: the system's copy is the only one.
        char *block = parser.buffer(ChunkBytes);
        const auto got = file.readAt(at, block, ChunkBytes);
        blankDoctype(block, got, at, layout.doctype, layout.encoding);
        at += got;
        ok = parser.parseBuffer(got, got == 0);
        if (got == 0)
            break;
        // A large book takes seconds to index; the window that waits should repaint.
        notes::BusyHook::tick();
    }
    if (!ok && !piece.confirmed) {
        piece.failed = true;
        piece.reason = parser.errorReason();
        piece.failedLine = parser.currentLine();
    }
}

void readPiece(const std::string &path, const DxlViewIndex::Layout &layout, Piece &piece, std::exception_ptr &thrown)
{
    try {
        parsePiece(path, layout, piece);
    } catch (...) {
        piece.failed = true;
        thrown = std::current_exception();
    }
}

} // namespace

std::uint64_t DxlViewIndex::Arena::add(std::string_view bytes)
{
    constexpr std::size_t ChunkSize = std::size_t{1} << Shift;
    if (m_chunks.empty() || m_chunks.back().size() + bytes.size() > ChunkSize) {
        std::string chunk;
        chunk.reserve(std::max(bytes.size(), ChunkSize));
        m_chunks.push_back(std::move(chunk));
    }
    auto &chunk = m_chunks.back();
    const std::uint64_t where = (static_cast<std::uint64_t>(m_chunks.size() - 1) << Shift) | chunk.size();
    chunk.append(bytes);
    return where;
}

void DxlViewIndex::Arena::takeChunks(Arena &other)
{
    for (auto &chunk : other.m_chunks)
        m_chunks.push_back(std::move(chunk));
    other.clear();
}


std::shared_ptr<DxlViewIndex> DxlViewIndex::build(const std::string &path, const Layout &layout)
{
    DxlFile::Reader file(path);
    // Taken before the first byte is read: a change made while the book is indexed is a
    // change too.
    const auto stamp = file.stamp();
    const auto boundaries = proposeBoundaries(file, stamp.size, layout);

    // Piece k starts at boundary k - 1 and may end at any later one.
    std::vector<std::unique_ptr<Piece>> pieces;
    for (std::size_t k = 0; k <= boundaries.size(); ++k) {
        auto piece = std::make_unique<Piece>();
        piece->begin = k == 0 ? 0 : boundaries[k - 1];
        piece->boundaries.assign(boundaries.begin() + static_cast<std::ptrdiff_t>(k), boundaries.end());
        piece->firstBoundary = k;
        pieces.push_back(std::move(piece));
    }
    std::vector<std::exception_ptr> thrown(pieces.size());
    std::vector<std::thread> threads;
    struct Join
    {
        std::vector<std::unique_ptr<Piece>> &pieces;
        std::vector<std::thread> &threads;
        ~Join()
        {
            for (auto &piece : pieces)
                piece->abandon = true;
            for (auto &thread : threads)
                thread.join();
        }
    } join{pieces, threads};
    // Split, every piece gets a thread, the first too: the calling thread, a window's, only
    // waits and lets the window paint, instead of parsing between its paints.
    for (std::size_t k = pieces.size() > 1 ? 0 : 1; k < pieces.size(); ++k) {
        Piece *piece = pieces[k].get();
        std::exception_ptr *caught = &thrown[k];
        try {
            threads.push_back(DxlReadAhead::startThread([&path, &layout, piece, caught] {
                readPiece(path, layout, *piece, *caught);
                std::lock_guard lock(piece->mutex);
                piece->done = true;
                piece->finished.notify_all();
            }));
            piece->hasThread = true;
        } catch (const std::system_error &) {
            break; // no thread: the pieces left are read here, when their turn comes
        }
    }

    // From the file's start, each piece to the boundary it confirmed, then the piece that
    // starts there, to the file's end: one pass's reading, the first fault first.
    std::vector<std::size_t> chain;
    std::uint64_t linesBefore = 0; // of the current piece's first line
    for (std::size_t k = 0;;) {
        Piece &piece = *pieces[k];
        if (!piece.hasThread) {
            readPiece(path, layout, piece, thrown[k]);
        } else {
            // The window that waits gets its turn at least once a piece, however fast.
            notes::BusyHook::tick();
            std::unique_lock lock(piece.mutex);
            while (!piece.finished.wait_for(lock, std::chrono::milliseconds(10), [&piece] { return piece.done; })) {
                lock.unlock();
                notes::BusyHook::tick();
                lock.lock();
            }
        }
        if (thrown[k])
            std::rethrow_exception(thrown[k]);
        if (piece.failed)
            throw NotesError("cannot read the People view of " + path + ": " + piece.reason + " (line " +
                             std::to_string(piece.failedLine + linesBefore) + ")");
        chain.push_back(k);
        if (!piece.confirmed)
            break;
        for (std::size_t skipped = k + 1; skipped <= piece.confirmedAt; ++skipped)
            pieces[skipped]->abandon = true; // started inside something that was no boundary
        linesBefore += piece.confirmedLine - 1;
        k = piece.confirmedAt + 1;
    }

    // The pieces the chain passed over stop where they are; no thread outlives this.
    for (auto &piece : pieces)
        piece->abandon = true;
    for (auto &thread : threads)
        thread.join();
    threads.clear();

    std::size_t total = 0;
    for (const auto k : chain)
        total += pieces[k]->entries.size();
    std::vector<Entry> entries;
    entries.reserve(total);
    Arena values;
    for (const auto k : chain) {
        Piece &piece = *pieces[k];
        const std::uint64_t rebase = values.chunkCount() << Arena::Shift;
        values.takeChunks(piece.values);
        for (; !piece.entries.empty(); piece.entries.pop_front()) {
            entries.push_back(piece.entries.front());
            entries.back().valuesAt += rebase;
            // The pieces' small blocks, freed as their entries move, go back to the system
            // as they go: kept, they would double what the index holds at its peak.
            if ((entries.size() & 0xFFFF) == 0)
                releaseFreedMemory();
        }
    }
    pieces.clear();
    releaseFreedMemory();

    // Sorting a few hundred thousand contacts takes about a tenth of a second: the waiting
    // window gets its turns during it too.
    std::uint32_t compared = 0;
    std::stable_sort(entries.begin(), entries.end(), [&values, &compared](const Entry &a, const Entry &b) {
        if ((++compared & 0xFFFF) == 0)
            notes::BusyHook::tick();
        return sortsBefore(values.at(a.valuesAt, a.valuesLength), values.at(b.valuesAt, b.valuesLength));
    });
    return std::shared_ptr<DxlViewIndex>(
        new DxlViewIndex(path, layout.encoding, std::move(entries), std::move(values), stamp));
}

DxlViewIndex::DxlViewIndex(std::string path, std::string encoding, std::vector<Entry> entries, Arena values,
                           DxlFile::Reader::Stamp stamp)
    : m_path(std::move(path))
    , m_encoding(std::move(encoding))
    , m_entries(std::move(entries))
    , m_values(std::move(values))
    , m_stamp(stamp)
    , m_reader(m_path, m_encoding)
{
}

DxlViewIndex::~DxlViewIndex() = default;

std::unique_ptr<notes::Document> DxlViewIndex::readDocument(std::size_t position)
{
    if (position >= m_entries.size())
        throw NotesError("no document at view position " + std::to_string(position));
    // Whichever road its values take, a document of a book that is no longer the one
    // indexed fails as its parse would have.
    if (m_reader.file().stamp() != m_stamp)
        throw NotesError("cannot read a document of " + m_path + ": the file changed or was truncated");
    return std::make_unique<DxlDocument>(shared_from_this(), position);
}

bool DxlViewIndex::isIndexedItem(std::string_view item)
{
    return field(item) >= 0;
}

int DxlViewIndex::field(std::string_view item)
{
    if (DxlNote::sameName(item, "LastName"))
        return 0;
    if (DxlNote::sameName(item, "FirstName"))
        return 1;
    if (DxlNote::sameName(item, "MiddleInitial"))
        return 2;
    if (DxlNote::sameName(item, "MailAddress"))
        return 3;
    return -1;
}

std::optional<std::string_view> DxlViewIndex::indexedValue(std::size_t position, std::string_view item) const
{
    const Entry &entry = m_entries[position];
    const int wanted = field(item);
    if (wanted < 0 || (entry.length & Partial))
        return std::nullopt;
    auto values = m_values.at(entry.valuesAt, entry.valuesLength);
    for (int i = 0; i < wanted; ++i)
        values.remove_prefix(values.find('\0') + 1);
    return wanted == 3 ? values : values.substr(0, values.find('\0'));
}

DxlNote DxlViewIndex::parse(std::size_t position, bool wholeWalk)
{
    // The walk's first documents may have been answered from the index alone (an export
    // whose first columns are names): its parsers start with the first it reads whole.
    if (wholeWalk && !m_readAhead && !m_readAheadRefused && position + 1 < m_entries.size()) {
        const unsigned cores = DxlReadAhead::usableCores();
        if (cores > 1)
            m_readAhead = DxlReadAhead::start(
                m_path, m_encoding, m_entries.size(), [this](std::size_t at) { return rangeAt(at); },
                std::min(cores, 4u), position);
        // Without a thread, every read is on the spot; asking again each walk gains nothing.
        m_readAheadRefused = !m_readAhead;
    }
    if (m_readAhead && position == m_readAhead->next())
        return m_readAhead->take();
    return m_reader.read(rangeAt(position));
}

} // namespace notes::dxl
