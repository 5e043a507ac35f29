#include "ComDocument.h"

namespace notes::com {

ComDocument::ComDocument(ComDispatch document)
    : m_document(std::move(document))
{
}

std::vector<std::string> ComDocument::GetItemValue(std::string_view itemName)
{
    const std::string what = std::string("GetItemValue(\"").append(itemName).append("\")");
    // An array of VARIANTs for every item type; dates and numbers become text by the
    // platform's default conversion, so they read as the user's Windows writes them.
    const Variant result = m_document.callWith("GetItemValue", Variant::text(itemName, what));
    return textValues(result.get(), what);
}

} // namespace notes::com
