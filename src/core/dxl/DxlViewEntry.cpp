#include "DxlViewEntry.h"

#include "notes/Document.h"
#include "DxlViewIndex.h"

namespace notes::dxl {

DxlViewEntry::DxlViewEntry(std::shared_ptr<DxlViewIndex> index, std::size_t position)
    : m_index(std::move(index))
    , m_position(position)
{
}

std::unique_ptr<notes::Document> DxlViewEntry::Document()
{
    return m_index->readDocument(m_position);
}

} // namespace notes::dxl
