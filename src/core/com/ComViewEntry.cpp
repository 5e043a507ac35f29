#include "ComViewEntry.h"

#include "ComDocument.h"

namespace notes::com {

ComViewEntry::ComViewEntry(ComDispatch entry)
    : m_entry(std::move(entry))
{
}

std::unique_ptr<notes::Document> ComViewEntry::Document()
{
    const Variant result = m_entry.get("Document");
    return std::make_unique<ComDocument>(ComDispatch::requireObject(result, "Document"));
}

} // namespace notes::com
