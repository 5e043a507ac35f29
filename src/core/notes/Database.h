#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace notes {

class View;

class Database
{
public:
    virtual ~Database() = default;

    virtual std::string Title() = 0;
    virtual std::unique_ptr<View> GetView(std::string_view name) = 0;
};

} // namespace notes
