#include "ClientNotes.h"

#include "NotesError.h"
#include "Session.h"

#include <string>

namespace notes::client {

std::unique_ptr<Session> createSession(std::string_view progId)
{
    throw NotesError("no Notes client on this platform: class " + std::string(progId) + " is not registered");
}

} // namespace notes::client
