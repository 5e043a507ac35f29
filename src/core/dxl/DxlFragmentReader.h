#pragma once

#include "DxlFile.h"
#include "DxlNote.h"
#include "DxlNoteReader.h"
#include "DxlXmlParser.h"

#include <cstdint>
#include <string>

namespace notes::dxl {

// Where one document sits in the file.
struct DxlByteRange
{
    std::uint64_t offset;
    std::uint64_t length;
};

// Reads one document of a DXL file from its own bytes. Each reader has its own file handle
// and parser, so several can work on one file at once, one per thread.
class DxlFragmentReader
{
public:
    DxlFragmentReader(std::string path, std::string encoding);

    // Throws NotesError when the bytes cannot be read or do not parse.
    DxlNote read(const DxlByteRange &range);

    const DxlFile::Reader &file() const { return m_file; }

private:
    class Handler final : public DxlXmlParser::Handler
    {
    public:
        void startElement(std::string_view name, const char **attributes) override;
        void endElement(std::string_view name) override;
        void characterData(std::string_view text) override;
        DxlNoteReader reader;
        int level = 0;
        int top = 1; // the document element's level: 1 alone, 2 in the stream
        int elements = 0; // started at that level
    };

    DxlNote readAlone(const DxlByteRange &range);

    std::string m_path;
    std::string m_encoding;
    DxlFile::Reader m_file;
    Handler m_handler;
    DxlXmlParser m_parser;
    // Documents read one after another as the children of one open root element: expat
    // then learns the names of a book's elements and attributes once, not once a document.
    bool m_streamOpen = false;
    unsigned m_streamed = 0;
};

} // namespace notes::dxl
