#include "ComView.h"

#include "ComViewNavigator.h"

namespace notes::com {

ComView::ComView(ComDispatch view)
    : m_view(std::move(view))
{
}

std::unique_ptr<ViewNavigator> ComView::CreateViewNav()
{
    // The client may replicate while the view is walked. A view that refreshes itself
    // then may invalidate the walk's entries and skip documents; one that does not keeps
    // its entries, and a deleted document shows as an entry without a document. An
    // older client without the property walks as it always did.
    (void)m_view.setIfPresent("AutoUpdate", Variant::boolean(false));
    const Variant result = m_view.call("CreateViewNav");
    return std::make_unique<ComViewNavigator>(
        m_view.sameSession(ComDispatch::requireObject(result, "CreateViewNav"), "NotesViewNavigator"));
}

} // namespace notes::com
