#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace notes {

class Database;
class Session;

// The installed Notes client, where the platform has one. The build compiles exactly one
// implementation: the COM automation one on Windows, one that finds no client elsewhere.
namespace client {

// The client's session of class progId. Null, with the reason in whyNot, when no class is
// registered under that name for this program; throws NotesError when one is registered
// but cannot be created (the client does not start).
std::unique_ptr<Session> createSession(std::string_view progId, std::string &whyNot);

} // namespace client
} // namespace notes
