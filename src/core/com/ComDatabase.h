#pragma once

#include "notes/Database.h"
#include "ComDispatch.h"

namespace notes::com {

class ComDatabase final : public Database
{
public:
    explicit ComDatabase(ComDispatch database);

    std::string Title() override;
    std::unique_ptr<View> GetView(std::string_view name) override;

private:
    ComDispatch m_database;
};

} // namespace notes::com
