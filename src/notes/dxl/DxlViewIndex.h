#pragma once

#include "DxlNoteReader.h"
#include "DxlXmlParser.h"

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace notes {
class Document;
}

namespace notes::dxl {

// The "People" view of a DXL address book: where each person document sits in the file, in
// view order. The file is streamed once to build it and never held in memory; a document
// is parsed again from its own bytes when it is read. 16 bytes a contact.
class DxlViewIndex
{
public:
    // Throws NotesError when the file is malformed anywhere, truncated included.
    static std::shared_ptr<DxlViewIndex> build(const std::string &path, const std::string &encoding);

    std::size_t size() const { return m_entries.size(); }
    std::unique_ptr<notes::Document> readDocument(std::size_t position);

private:
    struct Entry
    {
        std::uint64_t offset;
        std::uint64_t length;
    };
    class FragmentHandler final : public DxlXmlParser::Handler
    {
    public:
        void startElement(std::string_view name, const char **attributes) override;
        void endElement(std::string_view name) override;
        void characterData(std::string_view text) override;
        DxlNoteReader reader;
        int level = 0;
    };

    DxlViewIndex(std::string path, std::string encoding, std::vector<Entry> entries);

    std::string m_path;
    std::string m_encoding;
    std::vector<Entry> m_entries;
    std::ifstream m_file;
    std::string m_buffer;
    FragmentHandler m_handler;
    DxlXmlParser m_parser;
};

} // namespace notes::dxl
