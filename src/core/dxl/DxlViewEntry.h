#pragma once

#include "notes/ViewEntry.h"

#include <cstddef>
#include <memory>

namespace notes::dxl {

class DxlViewIndex;

class DxlViewEntry final : public ViewEntry
{
public:
    DxlViewEntry(std::shared_ptr<DxlViewIndex> index, std::size_t position);

    // Parses the document from its own bytes in the file, each time it is asked for.
    std::unique_ptr<notes::Document> Document() override;

    std::size_t position() const { return m_position; }
    bool belongsTo(const DxlViewIndex &index) const { return m_index.get() == &index; }

private:
    std::shared_ptr<DxlViewIndex> m_index;
    std::size_t m_position;
};

} // namespace notes::dxl
