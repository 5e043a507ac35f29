#pragma once

#include "DxlFragmentReader.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace notes {
class Document;
}

namespace notes::dxl {

class DxlReadAhead;

// The "People" view of a DXL address book: where each person document sits in the file, in
// view order. The file is streamed once to build it and never held in memory; a document
// is parsed again from its own bytes when it is read. 16 bytes a contact.
class DxlViewIndex
{
public:
    // Throws NotesError when the file is malformed anywhere, truncated included. doctype:
    // the DOCTYPE declaration's bytes, read as blanks (see build()).
    static std::shared_ptr<DxlViewIndex> build(const std::string &path, const std::string &encoding,
                                               const DxlByteRange &doctype);

    ~DxlViewIndex();

    std::size_t size() const { return m_ranges.size(); }
    // A walk in view order is served by parsers running ahead on the other cores; any
    // other read is parsed on the spot.
    std::unique_ptr<notes::Document> readDocument(std::size_t position);

private:
    DxlViewIndex(std::string path, std::string encoding, std::vector<DxlByteRange> ranges);

    std::string m_path;
    std::string m_encoding;
    std::vector<DxlByteRange> m_ranges;
    DxlFragmentReader m_reader;
    std::unique_ptr<DxlReadAhead> m_readAhead;
    bool m_readAheadRefused = false;
};

} // namespace notes::dxl
