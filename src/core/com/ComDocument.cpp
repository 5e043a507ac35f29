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
    // An item the document lacks: what comes back is not documented for automation (the
    // Java classes give an empty vector). Empty, Null or no values at all read as the one
    // empty value Notes gives a missing item everywhere else.
    if (result.type() == VT_EMPTY || result.type() == VT_NULL)
        return {std::string()};
    auto values = textValues(result.get(), what);
    if (values.empty())
        values.emplace_back();
    return values;
}

} // namespace notes::com
