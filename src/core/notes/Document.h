#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace notes {

class Document
{
public:
    virtual ~Document() = default;

    // All values of the item, each as text. A missing item gives one empty value.
    virtual std::vector<std::string> GetItemValue(std::string_view itemName) = 0;

    // Element 0 of the item's values, as the scan and the export read every field; nothing
    // when the item has no value at all. A reader that holds the values gives it without
    // building the list, once for each field of each contact.
    virtual std::optional<std::string> firstItemValue(std::string_view itemName)
    {
        auto values = GetItemValue(itemName);
        if (values.empty())
            return std::nullopt;
        return std::move(values.front());
    }
};

} // namespace notes
