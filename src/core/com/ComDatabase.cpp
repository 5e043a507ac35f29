#include "ComDatabase.h"

#include "ComView.h"

namespace notes::com {

ComDatabase::ComDatabase(ComDispatch database)
    : m_database(std::move(database))
{
}

std::string ComDatabase::Title()
{
    // Notes raises its "not opened" error here when GetDatabase found no such book.
    return textValue(m_database.get("Title").get(), "Title");
}

std::unique_ptr<View> ComDatabase::GetView(std::string_view name)
{
    const Variant result = m_database.callWith("GetView", Variant::text(name, "GetView name"));
    // Notes gives Nothing for a view the database does not have.
    return std::make_unique<ComView>(m_database.sameSession(
        ComDispatch::requireObject(result, std::string("GetView(\"").append(name).append("\")")), "NotesView"));
}

} // namespace notes::com
