#pragma once

#include <memory>
#include <string_view>

namespace notes {

class Database;
class Session;

// The installed Notes client, where the platform has one. The build compiles exactly one
// implementation: the COM automation one on Windows, one that always fails elsewhere.
namespace client {

// Throws NotesError when the class is not registered or cannot be created.
std::unique_ptr<Session> createSession(std::string_view progId);

} // namespace client
} // namespace notes
