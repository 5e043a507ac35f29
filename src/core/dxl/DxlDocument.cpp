#include "DxlDocument.h"

#include "DxlViewIndex.h"

namespace notes::dxl {

DxlDocument::DxlDocument(std::shared_ptr<DxlViewIndex> index, std::size_t position)
    : m_index(std::move(index))
    , m_position(position)
{
}

std::vector<std::string> DxlDocument::GetItemValue(std::string_view itemName)
{
    if (!m_note) {
        if (const auto held = m_index->indexedValue(m_position, itemName))
            return {std::string(*held)};
        m_note = m_index->parse(m_position, !DxlViewIndex::isIndexedItem(itemName));
    }
    const auto *item = m_note->find(itemName);
    if (!item)
        return {std::string()}; // as Notes: a missing item reads as one empty value
    std::vector<std::string> values;
    values.reserve(item->valueCount);
    for (std::uint32_t i = 0; i < item->valueCount; ++i)
        values.emplace_back(m_note->value(*item, i));
    return values;
}

} // namespace notes::dxl
