#include "ClientNotes.h"

#include "Session.h"

namespace notes::client {

std::unique_ptr<Session> createSession(std::string_view progId, std::string &whyNot)
{
    whyNot = "no Notes client on this platform: class " + std::string(progId) + " is not registered";
    return nullptr;
}

} // namespace notes::client
