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
// whether or not Notes is installed. Without a client (its class is registered, but it
// would not start) any other book fails for the reason the client could not be had.
class ClientSession final : public Session
{
public:
    explicit ClientSession(std::unique_ptr<Session> client, std::string failure = {})
        : m_client(std::move(client))
        , m_failure(std::move(failure))
    {
    }

    std::unique_ptr<Database> GetDatabase(std::string_view server, std::string_view path) override
    {
        if (server.empty() && dxl::DxlSession::isDxlFile(path))
            return dxl::DxlSession().GetDatabase(server, path);
        if (!m_client)
            throw NotesError(m_failure);
        return m_client->GetDatabase(server, path);
    }

private:
    std::unique_ptr<Session> m_client;
    std::string m_failure;
};

} // namespace

std::unique_ptr<Session> NotesSessionFactory::CreateSession(std::string_view progId)
{
    std::string whyNot;
    try {
        if (auto client = client::createSession(progId, whyNot))
            return std::make_unique<ClientSession>(std::move(client));
    } catch (const NotesError &error) {
        if (progId != FallbackProgId)
            throw;
        return std::make_unique<ClientSession>(nullptr, error.what());
    }
    if (progId != FallbackProgId)
        throw NotesError(whyNot);
    return std::make_unique<dxl::DxlSession>();
}

} // namespace notes
