#pragma once

#include "DxlViewIndex.h"

#include "notes/Database.h"

#include <string>

namespace notes::dxl {

class DxlDatabase final : public Database
{
public:
    // Reads no further than the root element: enough to refuse a file that is not a DXL
    // database (NotesError), cheap enough for any size.
    static std::unique_ptr<DxlDatabase> open(std::string_view path);

    std::string Title() override { return m_title; }
    // Only "People" exists. Opening it reads the whole file once, to index the view.
    std::unique_ptr<View> GetView(std::string_view name) override;

private:
    DxlDatabase(std::string path, std::string title, DxlViewIndex::Layout layout);

    std::string m_path;
    std::string m_title;
    DxlViewIndex::Layout m_layout;
};

} // namespace notes::dxl
