#pragma once

#include "notes/ViewNavigator.h"
#include "ComDispatch.h"

namespace notes::com {

class ComViewNavigator final : public ViewNavigator
{
public:
    explicit ComViewNavigator(ComDispatch navigator);

    std::int32_t Count() override;
    std::unique_ptr<ViewEntry> GetFirstDocument() override;
    // The entry must be one this layer made (from this navigator or another of Notes').
    std::unique_ptr<ViewEntry> GetNextDocument(ViewEntry &entry) override;

private:
    ComDispatch m_navigator;
};

} // namespace notes::com
