#pragma once

#include "../Document.h"
#include "DxlNoteReader.h"

#include <vector>

namespace notes::dxl {

class DxlDocument final : public Document
{
public:
    explicit DxlDocument(std::vector<DxlNoteReader::Item> items);

    std::vector<std::string> GetItemValue(std::string_view itemName) override;

private:
    std::vector<DxlNoteReader::Item> m_items;
};

} // namespace notes::dxl
