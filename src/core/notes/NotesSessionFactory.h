#pragma once

#include "SessionFactory.h"

namespace notes {

// The factory the program runs with. "Notes.NotesSession" always yields a session: the
// installed client's where there is one, otherwise one served by the DXL reader, so a
// machine without Notes still reads DXL exports. Other ProgIDs exist only with a client.
class NotesSessionFactory final : public SessionFactory
{
public:
    std::unique_ptr<Session> CreateSession(std::string_view progId) override;
};

} // namespace notes
