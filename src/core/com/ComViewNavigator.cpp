#include "ComViewNavigator.h"

#include "notes/NotesError.h"
#include "ComViewEntry.h"

namespace notes::com {

namespace {

std::unique_ptr<ViewEntry> entryOrNull(const ComDispatch &navigator, const Variant &result, std::string_view member)
{
    // Nothing after the last entry (or in an empty view) is how Notes says "no more".
    ComDispatch entry = ComDispatch::objectOf(result, member);
    if (!entry)
        return nullptr;
    return std::make_unique<ComViewEntry>(navigator.sameSession(std::move(entry), "NotesViewEntry"));
}

} // namespace

ComViewNavigator::ComViewNavigator(ComDispatch navigator)
    : m_navigator(std::move(navigator))
{
}

// The navigator's entries: in a categorised view its categories as well, while the walk
// gives documents only.
std::int32_t ComViewNavigator::Count()
{
    return int32Value(m_navigator.get("Count").get(), "Count");
}

std::unique_ptr<ViewEntry> ComViewNavigator::GetFirstDocument()
{
    return entryOrNull(m_navigator, m_navigator.call("GetFirstDocument"), "GetFirstDocument");
}

std::unique_ptr<ViewEntry> ComViewNavigator::GetNextDocument(ViewEntry &entry)
{
    const auto *current = dynamic_cast<const ComViewEntry *>(&entry);
    if (!current)
        throw NotesError("GetNextDocument: the entry does not come from the Notes client");
    // Passed by reference, as a Visual Basic object variable is (the type library declares
    // a VARIANT by value; Notes takes both): the slot holds a reference of its own, and
    // whatever the callee leaves there is released with it.
    ComDispatch slot = current->object();
    const Variant result = m_navigator.callWith("GetNextDocument", Variant::objectReference(slot.slot()));
    return entryOrNull(m_navigator, result, "GetNextDocument");
}

} // namespace notes::com
