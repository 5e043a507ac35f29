#include "DxlViewNavigator.h"

#include "notes/NotesError.h"
#include "DxlViewEntry.h"
#include "DxlViewIndex.h"

#include <cstdint>
#include <limits>

namespace notes::dxl {

DxlViewNavigator::DxlViewNavigator(std::shared_ptr<DxlViewIndex> index)
    : m_index(std::move(index))
{
}

std::int32_t DxlViewNavigator::Count()
{
    constexpr auto max = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
    return static_cast<std::int32_t>(std::min(m_index->size(), max));
}

std::unique_ptr<ViewEntry> DxlViewNavigator::entryAt(std::size_t position)
{
    if (position >= m_index->size())
        return nullptr;
    return std::make_unique<DxlViewEntry>(m_index, position);
}

std::unique_ptr<ViewEntry> DxlViewNavigator::GetFirstDocument()
{
    return entryAt(0);
}

std::unique_ptr<ViewEntry> DxlViewNavigator::GetNextDocument(ViewEntry &entry)
{
    const auto *ours = dynamic_cast<DxlViewEntry *>(&entry);
    if (!ours || !ours->belongsTo(*m_index))
        throw NotesError("GetNextDocument: the entry is not from this view");
    return entryAt(ours->position() + 1);
}

} // namespace notes::dxl
