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

DxlNote DxlFragmentReader::read(const DxlByteRange &range)
{
    const auto length = static_cast<std::size_t>(range.length);
    m_parser.reset(m_encoding.c_str());
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
    if (++level > 1)
        reader.startElement(name, attributes);
}

void DxlFragmentReader::Handler::endElement(std::string_view name)
{
    if (level-- > 1)
        reader.endElement(name);
}

void DxlFragmentReader::Handler::characterData(std::string_view text)
{
    if (level > 1)
        reader.characterData(text);
}

} // namespace notes::dxl
