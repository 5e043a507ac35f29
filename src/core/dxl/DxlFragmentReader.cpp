#include "DxlFragmentReader.h"

#include "notes/NotesError.h"
#include "DxlFile.h"

namespace notes::dxl {

DxlFragmentReader::DxlFragmentReader(std::string path, std::string encoding)
    : m_path(std::move(path))
    , m_encoding(std::move(encoding))
    , m_file(DxlFile::open(m_path))
    , m_parser(m_handler, m_encoding.c_str())
{
}

DxlNote DxlFragmentReader::read(const DxlByteRange &range)
{
    m_buffer.resize(static_cast<std::size_t>(range.length));
    m_file.clear();
    m_file.seekg(static_cast<std::streamoff>(range.offset));
    m_file.read(m_buffer.data(), static_cast<std::streamsize>(m_buffer.size()));
    if (static_cast<std::uint64_t>(m_file.gcount()) != range.length)
        throw NotesError("cannot read a document of " + m_path + ": the file changed or was truncated");

    m_parser.reset(m_encoding.c_str());
    m_handler.reader.clear();
    m_handler.level = 0;
    if (!m_parser.feed(m_buffer.data(), m_buffer.size(), true))
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
