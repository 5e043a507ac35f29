#pragma once

#include "notes/Document.h"
#include "DxlNote.h"

namespace notes::dxl {

class DxlDocument final : public Document
{
public:
    explicit DxlDocument(DxlNote note);

    std::vector<std::string> GetItemValue(std::string_view itemName) override;

private:
    DxlNote m_note;
};

} // namespace notes::dxl
