#pragma once

#include "notes/ViewEntry.h"
#include "ComDispatch.h"

namespace notes::com {

class ComViewEntry final : public ViewEntry
{
public:
    explicit ComViewEntry(ComDispatch entry);

    std::unique_ptr<notes::Document> Document() override;

    // The navigator passes the entry itself back to Notes.
    const ComDispatch &object() const { return m_entry; }

private:
    ComDispatch m_entry;
};

} // namespace notes::com
