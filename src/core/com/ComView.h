#pragma once

#include "notes/View.h"
#include "ComDispatch.h"

namespace notes::com {

class ComView final : public View
{
public:
    explicit ComView(ComDispatch view);

    std::unique_ptr<ViewNavigator> CreateViewNav() override;

private:
    ComDispatch m_view;
};

} // namespace notes::com
