#pragma once

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
};

} // namespace notes
