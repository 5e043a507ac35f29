#include "DxlDocument.h"

namespace notes::dxl {

DxlDocument::DxlDocument(DxlNote note)
    : m_note(std::move(note))
{
}

std::vector<std::string> DxlDocument::GetItemValue(std::string_view itemName)
{
    const auto *item = m_note.find(itemName);
    if (!item)
        return {std::string()}; // as Notes: a missing item reads as one empty value
    std::vector<std::string> values;
    values.reserve(item->valueCount);
    for (std::uint32_t i = 0; i < item->valueCount; ++i)
        values.emplace_back(m_note.value(*item, i));
    return values;
}

} // namespace notes::dxl
