#include "ComSession.h"

#include "ComDatabase.h"

namespace notes::com {

ComSession::ComSession(ComDispatch session)
    : m_session(std::move(session))
{
}

std::unique_ptr<Database> ComSession::GetDatabase(std::string_view server, std::string_view path)
{
    // The path goes to Notes exactly as the user gave it.
    const Variant result = m_session.callWith("GetDatabase", Variant::text(server, "GetDatabase server"),
                                              Variant::text(path, "GetDatabase path"));
    return std::make_unique<ComDatabase>(ComDispatch::requireObject(result, "GetDatabase"));
}

} // namespace notes::com
