#include "notes/ClientNotes.h"

#include "ComDispatch.h"
#include "ComSession.h"

namespace notes::client {

std::unique_ptr<Session> createSession(std::string_view progId, std::string &whyNot)
{
    com::ComDispatch session = com::ComDispatch::create(progId, &whyNot);
    if (!session)
        return nullptr;
    return std::make_unique<com::ComSession>(std::move(session));
}

} // namespace notes::client
