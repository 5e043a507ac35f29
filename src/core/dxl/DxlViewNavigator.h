#pragma once

#include "notes/ViewNavigator.h"

#include <memory>

namespace notes::dxl {

class DxlViewIndex;

class DxlViewNavigator final : public ViewNavigator
{
public:
    explicit DxlViewNavigator(std::shared_ptr<DxlViewIndex> index);

    std::int32_t Count() override;
    std::unique_ptr<ViewEntry> GetFirstDocument() override;
    std::unique_ptr<ViewEntry> GetNextDocument(ViewEntry &entry) override;

private:
    std::unique_ptr<ViewEntry> entryAt(std::size_t position);

    std::shared_ptr<DxlViewIndex> m_index;
};

} // namespace notes::dxl
