#include "DxlDocument.h"

namespace notes::dxl {

namespace {

bool equalsIgnoringAsciiCase(std::string_view lower, std::string_view name)
{
    if (lower.size() != name.size())
        return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != lower[i])
            return false;
    }
    return true;
}

} // namespace

DxlDocument::DxlDocument(std::vector<DxlNoteReader::Item> items)
    : m_items(std::move(items))
{
}

std::vector<std::string> DxlDocument::GetItemValue(std::string_view itemName)
{
    for (const auto &item : m_items) {
        if (equalsIgnoringAsciiCase(item.name, itemName))
            return item.values;
    }
    return {std::string()}; // as Notes: a missing item reads as one empty value
}

} // namespace notes::dxl
