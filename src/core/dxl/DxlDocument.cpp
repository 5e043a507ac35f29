#include "DxlDocument.h"

#include "DxlViewIndex.h"

namespace notes::dxl {

DxlDocument::DxlDocument(std::shared_ptr<DxlViewIndex> index, std::size_t position)
    : m_index(std::move(index))
    , m_position(position)
{
}

const DxlNote::Item *DxlDocument::parsedItem(std::string_view itemName)
{
    if (!m_note)
        m_note = m_index->parse(m_position, !DxlViewIndex::isIndexedItem(itemName));
    return m_note->find(itemName);
}

std::vector<std::string> DxlDocument::GetItemValue(std::string_view itemName)
{
    if (!m_note) {
        if (const auto held = m_index->indexedValue(m_position, itemName))
            return {std::string(*held)};
    }
    const auto *item = parsedItem(itemName);
    if (!item)
        return {std::string()}; // as Notes: a missing item reads as one empty value
    std::vector<std::string> values;
    values.reserve(item->valueCount);
    for (std::uint32_t i = 0; i < item->valueCount; ++i)
        values.emplace_back(m_note->value(*item, i));
    return values;
}

std::optional<std::string> DxlDocument::firstItemValue(std::string_view itemName)
{
    if (!m_note) {
        if (const auto held = m_index->indexedValue(m_position, itemName))
            return std::string(*held);
    }
    const auto *item = parsedItem(itemName);
    if (!item)
        return std::string();
    if (item->valueCount == 0)
        return std::nullopt;
    return std::string(m_note->value(*item, 0));
}

} // namespace notes::dxl
