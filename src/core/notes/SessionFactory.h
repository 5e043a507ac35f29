#pragma once

#include <memory>
#include <string_view>

namespace notes {

class Session;

// Creates Notes sessions by ProgID. The scan and the export get one of these instead of
// reaching for the platform, so that tests hand them an in-memory Notes.
class SessionFactory
{
public:
    virtual ~SessionFactory() = default;

    // Throws NotesError when no class is registered under progId.
    virtual std::unique_ptr<Session> CreateSession(std::string_view progId) = 0;
};

} // namespace notes
