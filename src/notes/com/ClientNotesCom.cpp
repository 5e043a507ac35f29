#include "../ClientNotes.h"

#include "../NotesError.h"
#include "../Session.h"

#include <string>

namespace notes::client {

// COM automation of the Notes client is not wired up yet: behave like a machine without a
// client, so the DXL reader still serves.
std::unique_ptr<Session> createSession(std::string_view progId)
{
    throw NotesError("Notes automation is not available: class " + std::string(progId) + " could not be created");
}

} // namespace notes::client
