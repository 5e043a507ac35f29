#pragma once

#include "notes/Document.h"
#include "DxlNote.h"

#include <memory>
#include <optional>

namespace notes::dxl {

class DxlViewIndex;

// A person of the People view. The four values the scan lists come from the index, as its
// pass read them; the first other item read parses the document, once.
class DxlDocument final : public Document
{
public:
    DxlDocument(std::shared_ptr<DxlViewIndex> index, std::size_t position);

    std::vector<std::string> GetItemValue(std::string_view itemName) override;
    std::optional<std::string> firstItemValue(std::string_view itemName) override;

private:
    // The item, from the document parsed the first time an item is read that the index does
    // not hold; null when the document has no such item.
    const DxlNote::Item *parsedItem(std::string_view itemName);

    std::shared_ptr<DxlViewIndex> m_index;
    std::size_t m_position;
    std::optional<DxlNote> m_note;
};

} // namespace notes::dxl
