#include "notes/ClientNotes.h"

#include "ComDispatch.h"
#include "ComSession.h"

namespace notes::client {

std::unique_ptr<Session> createSession(std::string_view progId)
{
    return std::make_unique<com::ComSession>(com::ComDispatch::create(progId));
}

} // namespace notes::client
