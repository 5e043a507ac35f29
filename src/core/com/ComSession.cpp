#include "ComSession.h"

#include "notes/NotesError.h"
#include "ComDatabase.h"

namespace notes::com {

ComSession::ComSession(ComDispatch session)
    : m_session(std::move(session))
{
    m_session.startSession("NotesSession");
}

std::unique_ptr<Database> ComSession::GetDatabase(std::string_view server, std::string_view path)
{
    // The path goes to Notes exactly as the user gave it.
    const Variant result = m_session.callWith("GetDatabase", Variant::text(server, "GetDatabase server"),
                                              Variant::text(path, "GetDatabase path"));
    ComDispatch database = m_session.sameSession(ComDispatch::requireObject(result, "GetDatabase"), "NotesDatabase");
    // Notes does not fail here for a book it cannot open: GetDatabase's createonfail is
    // True unless given, and the database comes back unopened. Said here, where opening
    // it failed, it takes the ending of a book that cannot be opened.
    if (int32Value(database.get("IsOpen").get(), "IsOpen") == 0)
        throw NotesError("GetDatabase: Notes cannot open \"" + std::string(path) +
                         "\" (IsOpen is False): no such file, this Notes ID may not read it, or it is damaged");
    return std::make_unique<ComDatabase>(std::move(database));
}

} // namespace notes::com
