#include "ComView.h"

#include "ComViewNavigator.h"

namespace notes::com {

ComView::ComView(ComDispatch view)
    : m_view(std::move(view))
{
}

std::unique_ptr<ViewNavigator> ComView::CreateViewNav()
{
    const Variant result = m_view.call("CreateViewNav");
    return std::make_unique<ComViewNavigator>(ComDispatch::requireObject(result, "CreateViewNav"));
}

} // namespace notes::com
