#pragma once

#include "SessionFactory.h"

namespace notes {

// The factory the program runs with. "Notes.NotesSession" always yields a session: the
// installed client's where there is one, otherwise one served by the DXL reader, so a
// machine without Notes still reads DXL exports. Other ProgIDs exist only with a client.
// Where the client is registered but does not start, "Notes.NotesSession" still reads DXL
// exports, and any other book fails naming what COM said.
class NotesSessionFactory final : public SessionFactory
{
public:
    std::unique_ptr<Session> CreateSession(std::string_view progId) override;
};

} // namespace notes
