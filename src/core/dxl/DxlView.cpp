#include "DxlView.h"

#include "DxlViewNavigator.h"

namespace notes::dxl {

DxlView::DxlView(std::shared_ptr<DxlViewIndex> index)
    : m_index(std::move(index))
{
}

std::unique_ptr<ViewNavigator> DxlView::CreateViewNav()
{
    return std::make_unique<DxlViewNavigator>(m_index);
}

} // namespace notes::dxl
