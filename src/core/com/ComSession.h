#pragma once

#include "notes/Session.h"
#include "ComDispatch.h"

namespace notes::com {

// A NotesSession of the installed client, used as created: no log-on call, so the client
// must be set up not to ask other programs for the password.
class ComSession final : public Session
{
public:
    explicit ComSession(ComDispatch session);

    std::unique_ptr<Database> GetDatabase(std::string_view server, std::string_view path) override;

private:
    ComDispatch m_session;
};

} // namespace notes::com
