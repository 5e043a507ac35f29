#include "MemoryNotes.h"

#include "notes/NotesObjects.h"

#include <new>

namespace {

// Any of the Notes objects, as the kind it was made as; counts itself among the live objects
// and journals its release.
class Mem final : public notes::Session,
                  public notes::Database,
                  public notes::View,
                  public notes::ViewNavigator,
                  public notes::ViewEntry,
                  public notes::Document
{
public:
    Mem(MemoryNotes &notes, const MemoryNotes::Book *book, std::string kind, std::size_t index = 0)
        : m_notes(notes), m_book(book), m_index(index), m_kind(std::move(kind))
    {
        ++m_notes.live;
    }
    ~Mem() override
    {
        --m_notes.live;
        m_notes.journal.push_back("release " + m_kind);
    }
    std::unique_ptr<notes::Database> GetDatabase(std::string_view server, std::string_view path) override
    {
        m_notes.call("GetDatabase", std::string(server) + "!!" + std::string(path));
        const auto it = m_notes.books.find(std::string(path));
        if (it == m_notes.books.end())
            throw notes::NotesError("database not found");
        return std::make_unique<Mem>(m_notes, &it->second, "database");
    }
    std::string Title() override
    {
        m_notes.call("Title");
        return "Address Book";
    }
    std::unique_ptr<notes::View> GetView(std::string_view name) override
    {
        m_notes.call("GetView", std::string(name));
        if (name != "People")
            throw notes::NotesError("no such view");
        return std::make_unique<Mem>(m_notes, m_book, "view");
    }
    std::unique_ptr<notes::ViewNavigator> CreateViewNav() override
    {
        m_notes.call("CreateViewNav");
        return std::make_unique<Mem>(m_notes, m_book, "navigator");
    }
    std::int32_t Count() override
    {
        m_notes.call("Count");
        return static_cast<std::int32_t>(m_book->people.size());
    }
    std::unique_ptr<notes::ViewEntry> GetFirstDocument() override
    {
        m_notes.call("GetFirstDocument");
        return entry(0);
    }
    std::unique_ptr<notes::ViewEntry> GetNextDocument(notes::ViewEntry &previous) override
    {
        m_notes.call("GetNextDocument");
        return entry(dynamic_cast<Mem &>(previous).m_index + 1);
    }
    std::unique_ptr<notes::Document> Document() override
    {
        m_notes.call("Document");
        return std::make_unique<Mem>(m_notes, m_book, "document", m_index);
    }
    std::vector<std::string> GetItemValue(std::string_view item) override
    {
        m_notes.call("GetItemValue", std::string(item));
        const auto &contact = m_book->people.at(m_index);
        const auto it = contact.find(std::string(item));
        return it == contact.end() ? std::vector<std::string>{""} : it->second;
    }

private:
    std::unique_ptr<notes::ViewEntry> entry(std::size_t i)
    {
        return i < m_book->people.size() ? std::make_unique<Mem>(m_notes, m_book, "entry", i) : nullptr;
    }
    MemoryNotes &m_notes;
    const MemoryNotes::Book *m_book;
    std::size_t m_index;
    std::string m_kind;
};

} // namespace

std::unique_ptr<notes::Session> MemoryNotes::CreateSession(std::string_view progId)
{
    call("CreateSession:" + std::string(progId));
    if (!registered.count(std::string(progId)))
        throw notes::NotesError("class not registered");
    return std::make_unique<Mem>(*this, nullptr, "session");
}

void MemoryNotes::failIfAsked(const std::string &counted, int n) const
{
    for (const auto &[member, nth, outOfMemory] : m_failures) {
        if (member == counted && (nth == 0 || nth == n)) {
            if (outOfMemory)
                throw std::bad_alloc();
            throw notes::NotesError(counted + " failed (injected)");
        }
    }
}

void MemoryNotes::call(const std::string &member, const std::string &detail)
{
    if (!detail.empty()) {
        const std::string counted = member + ":" + detail;
        failIfAsked(counted, ++m_calls[counted]);
    }
    journal.push_back(member);
    failIfAsked(member, ++m_calls[member]);
}

MemoryNotes::Contact MemoryNotes::contact(const std::string &first, const std::string &middle,
                                          const std::string &last, const std::string &mail)
{
    return Contact{{"FirstName", {first}}, {"MiddleInitial", {middle}}, {"LastName", {last}}, {"MailAddress", {mail}}};
}
