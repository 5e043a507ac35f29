#include "NotesSessionFactory.h"

#include "ClientNotes.h"
#include "Database.h"
#include "NotesError.h"
#include "Session.h"
#include "dxl/DxlSession.h"

namespace notes {

namespace {

constexpr std::string_view FallbackProgId = "Notes.NotesSession";

// A client session that still opens DXL exports itself, so the same file behaves the same
// whether or not Notes is installed.
class ClientSession final : public Session
{
public:
    explicit ClientSession(std::unique_ptr<Session> client)
        : m_client(std::move(client))
    {
    }

    std::unique_ptr<Database> GetDatabase(std::string_view server, std::string_view path) override
    {
        if (server.empty() && dxl::DxlSession::isDxlFile(path))
            return dxl::DxlSession().GetDatabase(server, path);
        return m_client->GetDatabase(server, path);
    }

private:
    std::unique_ptr<Session> m_client;
};

} // namespace

std::unique_ptr<Session> NotesSessionFactory::CreateSession(std::string_view progId)
{
    try {
        return std::make_unique<ClientSession>(client::createSession(progId));
    } catch (const NotesError &) {
        if (progId != FallbackProgId)
            throw;
    }
    return std::make_unique<dxl::DxlSession>();
}

} // namespace notes
