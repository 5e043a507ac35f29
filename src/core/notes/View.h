#pragma once

#include <memory>

namespace notes {

class ViewNavigator;

class View
{
public:
    virtual ~View() = default;

    virtual std::unique_ptr<ViewNavigator> CreateViewNav() = 0;
};

} // namespace notes
