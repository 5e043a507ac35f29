#pragma once

#include "notes/Session.h"

#include <string_view>

namespace notes::dxl {

// A Notes session over DXL exports, for machines without a Notes client.
class DxlSession final : public Session
{
public:
    std::unique_ptr<Database> GetDatabase(std::string_view server, std::string_view path) override;

    // Whether the file starts like XML (so it is ours to read, or to refuse); an .nsf
    // does not. Cheap: looks at the first bytes only.
    static bool isDxlFile(std::string_view path);
};

} // namespace notes::dxl
