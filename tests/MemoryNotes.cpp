#include "MemoryNotes.h"

#include "notes/NotesObjects.h"

#include <new>

namespace {

class Tracked
{
public:
    Tracked(MemoryNotes &notes, std::string kind)
        : m_notes(notes)
        , m_kind(std::move(kind))
    {
        ++m_notes.live;
    }
    ~Tracked()
    {
        --m_notes.live;
        m_notes.journal.push_back("release " + m_kind);
    }
    Tracked(const Tracked &) = delete;
    Tracked &operator=(const Tracked &) = delete;

protected:
    MemoryNotes &m_notes;

private:
    std::string m_kind;
};

class MemDocument final : public notes::Document, Tracked
{
public:
    MemDocument(MemoryNotes &n, const MemoryNotes::Contact &c)
        : Tracked(n, "document")
        , m_contact(c)
    {
    }
    std::vector<std::string> GetItemValue(std::string_view item) override
    {
        m_notes.call("GetItemValue", std::string(item));
        const auto it = m_contact.find(std::string(item));
        return it == m_contact.end() ? std::vector<std::string>{""} : it->second;
    }

private:
    MemoryNotes::Contact m_contact;
};

class MemEntry final : public notes::ViewEntry, Tracked
{
public:
    MemEntry(MemoryNotes &n, const MemoryNotes::Book &b, std::size_t i)
        : Tracked(n, "entry")
        , book(b)
        , index(i)
    {
    }
    std::unique_ptr<notes::Document> Document() override
    {
        m_notes.call("Document");
        return std::make_unique<MemDocument>(m_notes, book.people.at(index));
    }
    const MemoryNotes::Book &book;
    std::size_t index;
};

class MemNavigator final : public notes::ViewNavigator, Tracked
{
public:
    MemNavigator(MemoryNotes &n, const MemoryNotes::Book &b)
        : Tracked(n, "navigator")
        , m_book(b)
    {
    }
    std::int32_t Count() override
    {
        m_notes.call("Count");
        return m_book.countOverride >= 0 ? m_book.countOverride : static_cast<std::int32_t>(m_book.people.size());
    }
    std::unique_ptr<notes::ViewEntry> GetFirstDocument() override
    {
        m_notes.call("GetFirstDocument");
        return at(0);
    }
    std::unique_ptr<notes::ViewEntry> GetNextDocument(notes::ViewEntry &entry) override
    {
        m_notes.call("GetNextDocument");
        return at(dynamic_cast<MemEntry &>(entry).index + 1);
    }

private:
    std::unique_ptr<notes::ViewEntry> at(std::size_t i)
    {
        return i < m_book.people.size() ? std::make_unique<MemEntry>(m_notes, m_book, i) : nullptr;
    }
    const MemoryNotes::Book &m_book;
};

class MemView final : public notes::View, Tracked
{
public:
    MemView(MemoryNotes &n, const MemoryNotes::Book &b)
        : Tracked(n, "view")
        , m_book(b)
    {
    }
    std::unique_ptr<notes::ViewNavigator> CreateViewNav() override
    {
        m_notes.call("CreateViewNav");
        return std::make_unique<MemNavigator>(m_notes, m_book);
    }

private:
    const MemoryNotes::Book &m_book;
};

class MemDatabase final : public notes::Database, Tracked
{
public:
    MemDatabase(MemoryNotes &n, const MemoryNotes::Book &b)
        : Tracked(n, "database")
        , m_book(b)
    {
    }
    std::string Title() override
    {
        m_notes.call("Title");
        return m_book.title;
    }
    std::unique_ptr<notes::View> GetView(std::string_view name) override
    {
        m_notes.call("GetView", std::string(name));
        if (name != "People" || !m_book.hasPeopleView)
            throw notes::NotesError("no such view");
        return std::make_unique<MemView>(m_notes, m_book);
    }

private:
    const MemoryNotes::Book &m_book;
};

class MemSession final : public notes::Session, Tracked
{
public:
    explicit MemSession(MemoryNotes &n)
        : Tracked(n, "session")
    {
    }
    std::unique_ptr<notes::Database> GetDatabase(std::string_view server, std::string_view path) override
    {
        m_notes.call("GetDatabase", std::string(server) + "!!" + std::string(path));
        const auto it = m_notes.books.find(std::string(path));
        if (it == m_notes.books.end())
            throw notes::NotesError("database not found");
        return std::make_unique<MemDatabase>(m_notes, it->second);
    }
};

} // namespace

std::unique_ptr<notes::Session> MemoryNotes::CreateSession(std::string_view progId)
{
    call("CreateSession:" + std::string(progId));
    if (!registered.count(std::string(progId)))
        throw notes::NotesError("class not registered");
    return std::make_unique<MemSession>(*this);
}

void MemoryNotes::failIfAsked(const std::string &counted, int n) const
{
    for (const auto &f : m_failures) {
        if (f.member != counted || (f.nth != 0 && f.nth != n))
            continue;
        if (f.outOfMemory)
            throw std::bad_alloc();
        throw notes::NotesError(counted + " failed (injected)");
    }
}

void MemoryNotes::call(const std::string &member)
{
    journal.push_back(member);
    failIfAsked(member, ++m_calls[member]);
}

void MemoryNotes::call(const std::string &member, const std::string &detail)
{
    // Counted under both names, so a test can fail "the 3rd GetItemValue" or "the 2nd
    // GetItemValue of LastName".
    const std::string counted = member + ":" + detail;
    failIfAsked(counted, ++m_calls[counted]);
    call(member);
}

std::vector<std::string> MemoryNotes::entries(const std::string &prefix) const
{
    std::vector<std::string> out;
    for (const auto &e : journal) {
        if (e.rfind(prefix, 0) == 0)
            out.push_back(e);
    }
    return out;
}

MemoryNotes::Contact MemoryNotes::contact(const std::string &first, const std::string &middle,
                                          const std::string &last, const std::string &mail)
{
    return Contact{{"FirstName", {first}}, {"MiddleInitial", {middle}}, {"LastName", {last}}, {"MailAddress", {mail}}};
}
