#pragma once

#include "notes/SessionFactory.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

// An address book in memory, reached through the same Notes objects as a real one, where
// any call of any object can be made to fail. Every call and every release is journalled,
// so tests can check what a pass did and in which order it let go.
class MemoryNotes final : public notes::SessionFactory
{
public:
    using Contact = std::map<std::string, std::vector<std::string>>;
    struct Book
    {
        std::vector<Contact> people;
    };

    std::set<std::string> registered{"Domino.NotesSession", "Notes.NotesSession"};
    std::map<std::string, Book> books;

    // Makes the n-th call (1-based; 0: every call) of a member fail. Members are named as
    // "CreateSession:ProgId", "GetDatabase", "Title", "GetView", "CreateViewNav", "Count",
    // "GetFirstDocument", "GetNextDocument", "Document", "GetItemValue" and
    // "GetItemValue:Item".
    void fail(const std::string &member, int nth = 0) { m_failures.push_back({member, nth, false}); }
    // The same, failing as memory running out does, not as Notes does.
    void runOutOfMemory(const std::string &member, int nth = 0) { m_failures.push_back({member, nth, true}); }

    std::vector<std::string> journal;
    int live = 0; // objects not yet released

    std::unique_ptr<notes::Session> CreateSession(std::string_view progId) override;

    // Called by the objects; a call with a detail is counted under both names, so a test can
    // fail "the 3rd GetItemValue" or "the 2nd GetItemValue of LastName".
    void call(const std::string &member, const std::string &detail = {});

    static Contact contact(const std::string &first, const std::string &middle, const std::string &last,
                           const std::string &mail);

private:
    void failIfAsked(const std::string &counted, int n) const;
    struct Failure
    {
        std::string member;
        int nth; // 0: every call
        bool outOfMemory;
    };
    std::vector<Failure> m_failures;
    std::map<std::string, int> m_calls;
};
