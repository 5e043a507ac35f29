#include "ComViewEntry.h"

#include "notes/NotesError.h"
#include "ComDocument.h"

namespace notes::com {

ComViewEntry::ComViewEntry(ComDispatch entry)
    : m_entry(std::move(entry))
{
}

std::unique_ptr<notes::Document> ComViewEntry::Document()
{
    const Variant result = m_entry.get("Document");
    ComDispatch document = ComDispatch::objectOf(result, "Document");
    // Nothing for a category or a total, and for a document deleted since the view was
    // opened: the entry is still walked, its contact can no longer be read.
    if (!document)
        throw NotesError("Document: the entry has no document (deleted since the view was opened, or not a document)");
    return std::make_unique<ComDocument>(m_entry.sameSession(std::move(document), "NotesDocument"));
}

} // namespace notes::com
