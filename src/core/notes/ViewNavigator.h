#pragma once

#include <cstdint>
#include <memory>

namespace notes {

class ViewEntry;

class ViewNavigator
{
public:
    virtual ~ViewNavigator() = default;

    virtual std::int32_t Count() = 0;
    // Null when the view is empty.
    virtual std::unique_ptr<ViewEntry> GetFirstDocument() = 0;
    // The entry after the given one; null after the last.
    virtual std::unique_ptr<ViewEntry> GetNextDocument(ViewEntry &entry) = 0;
};

} // namespace notes
