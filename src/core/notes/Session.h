#pragma once

#include <memory>
#include <string_view>

namespace notes {

class Database;

class Session
{
public:
    virtual ~Session() = default;

    // server "" is the local client.
    virtual std::unique_ptr<Database> GetDatabase(std::string_view server, std::string_view path) = 0;
};

} // namespace notes
