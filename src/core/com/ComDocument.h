#pragma once

#include "notes/Document.h"
#include "ComDispatch.h"

namespace notes::com {

class ComDocument final : public Document
{
public:
    explicit ComDocument(ComDispatch document);

    std::vector<std::string> GetItemValue(std::string_view itemName) override;

private:
    ComDispatch m_document;
};

} // namespace notes::com
