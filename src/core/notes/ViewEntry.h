#pragma once

#include <memory>

namespace notes {

class Document;

class ViewEntry
{
public:
    virtual ~ViewEntry() = default;

    virtual std::unique_ptr<notes::Document> Document() = 0;
};

} // namespace notes
