#include "DxlFragmentReader.h"

#include "notes/NotesError.h"

namespace notes::dxl {

DxlFragmentReader::DxlFragmentReader(std::string path, std::string encoding)
    : m_path(std::move(path))
    , m_encoding(std::move(encoding))
    , m_file(m_path)
    , m_parser(m_handler, m_encoding.c_str())
{
}

namespace {

// A stream's parser keeps every name it has seen: it starts afresh after this many
// documents, so that a book of ever new names does not grow it.
constexpr unsigned StreamDocuments = 1024;
constexpr std::string_view StreamRoot = "<r>";

} // namespace

DxlNote DxlFragmentReader::read(const DxlByteRange &range)
{
    const auto length = static_cast<std::size_t>(range.length);
    if (!m_streamOpen || m_streamed >= StreamDocuments) {
        m_parser.reset(m_encoding.c_str());
        m_handler.level = 0;
        m_handler.top = 2;
        m_streamOpen = m_parser.feed(StreamRoot.data(), StreamRoot.size(), false);
        m_streamed = 0;
    }
    m_handler.reader.clear();
    m_handler.elements = 0;
    bool whole = m_streamOpen && m_file.readAt(range.offset, m_parser.buffer(length), length) == length &&
                 m_parser.parseBuffer(length, false) && m_handler.level == 1 && m_handler.elements == 1;
    if (whole) {
        ++m_streamed;
        return std::move(m_handler.reader.note());
    }
    // Whatever went wrong, the document alone says it as it always has, its own line and all.
    m_streamOpen = false;
    return readAlone(range);
}

DxlNote DxlFragmentReader::readAlone(const DxlByteRange &range)
{
    const auto length = static_cast<std::size_t>(range.length);
    m_parser.reset(m_encoding.c_str());
    m_handler.top = 1;
    // The document's bytes go straight into the parser's buffer: one copy, the system's.
    if (m_file.readAt(range.offset, m_parser.buffer(length), length) != length)
        throw NotesError("cannot read a document of " + m_path + ": the file changed or was truncated");
    m_handler.reader.clear();
    m_handler.level = 0;
    if (!m_parser.parseBuffer(length, true))
        throw NotesError("cannot read a document of " + m_path + ": " + m_parser.errorText());
    return std::move(m_handler.reader.note());
}

void DxlFragmentReader::Handler::startElement(std::string_view name, const char **attributes)
{
    if (++level > top)
        reader.startElement(name, attributes);
    else if (level == top)
        ++elements;
}

void DxlFragmentReader::Handler::endElement(std::string_view name)
{
    if (level-- > top)
        reader.endElement(name);
}

void DxlFragmentReader::Handler::characterData(std::string_view text)
{
    if (level > top)
        reader.characterData(text);
}

} // namespace notes::dxl
