#pragma once

#include "notes/View.h"

#include <memory>

namespace notes::dxl {

class DxlViewIndex;

class DxlView final : public View
{
public:
    explicit DxlView(std::shared_ptr<DxlViewIndex> index);

    std::unique_ptr<ViewNavigator> CreateViewNav() override;

private:
    std::shared_ptr<DxlViewIndex> m_index;
};

} // namespace notes::dxl
