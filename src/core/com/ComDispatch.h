#pragma once

#include "ComPlatform.h"
#include "ComVariant.h"

#include <array>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace notes::com {

// Initialises COM for the calling thread once per process, apartment-threaded as the
// Notes classes require; the program calls them from its one user-interface thread only.
// A thread that is already initialised otherwise is accepted. Installs the thread's message
// filter. Throws NotesError when COM cannot be initialised at all.
void ensureComInitialised();

// "0x80020006 (DISP_E_UNKNOWNNAME: Unknown name.)": the code in hex, with its name and
// the system's text where they are known.
std::string describeHresult(HRESULT hr);

// The ids of the members of one session's objects, by class and name. They are fixed for
// the life of the session, and with the Notes client in another process every question
// is a round trip: each is asked once.
class MemberIds
{
public:
    const DISPID *find(const std::string &key) const;
    void remember(std::string key, DISPID id) { m_ids.emplace(std::move(key), id); }

private:
    std::map<std::string, DISPID, std::less<>> m_ids;
};

// One automation object, called by member name at run time (late binding). Holds one
// reference, released when it goes. Every failure is a NotesError naming the member and
// the HRESULT; nothing returns a status. A call the server refuses because it is busy is
// tried again for a while (see ComMessageFilter).
class ComDispatch
{
public:
    ComDispatch() noexcept = default;
    ~ComDispatch();
    ComDispatch(const ComDispatch &other) noexcept;
    ComDispatch &operator=(const ComDispatch &other) noexcept;
    ComDispatch(ComDispatch &&other) noexcept;
    ComDispatch &operator=(ComDispatch &&other) noexcept;

    // Takes over a reference the caller owns.
    static ComDispatch adopt(IDispatch *object) noexcept;
    // Adds a reference of its own.
    static ComDispatch share(IDispatch *object) noexcept;
    // Creates the object registered under progId, in-process or in its own server. Empty,
    // with the reason in whyNot, when no class is registered under that name for a
    // program of this bitness; a NotesError when one is but cannot be created (its server
    // does not start, say).
    static ComDispatch create(std::string_view progId, std::string *whyNot = nullptr);

    // Makes this object the first of a session of class `className`: it and the objects
    // handed on with sameSession() ask for each member's id once.
    void startSession(const char *className);
    // `object`, of class `className`, as one of this object's session.
    ComDispatch sameSession(ComDispatch object, const char *className) const;

    IDispatch *get() const noexcept { return m_object; }
    explicit operator bool() const noexcept { return m_object != nullptr; }
    // The slot a by-reference argument points at: whatever the callee leaves in it is
    // released with this object.
    IDispatch **slot() noexcept { return &m_object; }

    // A method, or a property with arguments, as Visual Basic's late binding calls it
    // (method and property-get both allowed). Arguments in their natural order; the call
    // takes them over and clears them, whatever the callee did to them.
    Variant call(std::string_view member, std::span<Variant> args = {});
    // A property read.
    Variant get(std::string_view member, std::span<Variant> args = {});
    // A property write; false, and nothing done, when the object has no such member.
    bool setIfPresent(std::string_view member, Variant value);

    template <typename... Args>
    Variant callWith(std::string_view member, Args &&...args)
    {
        std::array<Variant, sizeof...(Args)> list{std::forward<Args>(args)...};
        return call(member, list);
    }

    // The object a call gave; empty when it gave Nothing.
    static ComDispatch objectOf(const Variant &result, std::string_view member);
    // The same, where Nothing is a failure.
    static ComDispatch requireObject(const Variant &result, std::string_view member);

private:
    explicit ComDispatch(IDispatch *object) noexcept
        : m_object(object)
    {
    }
    Variant invoke(std::string_view member, WORD flags, std::span<Variant> args, bool *present = nullptr);
    // The member's id; false when the object has none of that name (or throws).
    bool idOf(std::string_view member, DISPID &id, bool mayBeMissing);

    IDispatch *m_object = nullptr;
    std::shared_ptr<MemberIds> m_ids;
    const char *m_class = nullptr;
};

} // namespace notes::com
