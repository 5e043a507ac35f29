#pragma once

#include "NotesObjects.h"
#include "PassErrorMode.h"
#include "SessionFactory.h"

namespace tarnwick::NotesPass {

inline constexpr const char *PreferredProgId = "Domino.NotesSession";
inline constexpr const char *FallbackProgId = "Notes.NotesSession";

// The opening steps both passes share. The preferred class may be missing without a word;
// once the fallback is needed, failures go to the pass's Notes-unavailable ending. The
// caller's mode is left as these steps leave it.
template <typename Ending>
void createSession(PassErrorMode<Ending> &mode, notes::NotesObjects &n, notes::SessionFactory &notes,
                   Ending unavailable)
{
    mode.skipFailures();
    mode.run([&] { n.session = notes.CreateSession(PreferredProgId); });
    if (!n.session) {
        mode.routeFailuresTo(unavailable);
        mode.run([&] { n.session = notes.CreateSession(FallbackProgId); });
    }
    // The preferred class missing is no cause of anything that follows.
    if (n.session)
        mode.forgetFailures();
}

// The People view, its navigator, the first entry and its document, each step skipped
// when it fails: what could not be had leaves no current entry.
template <typename Ending>
void openPeopleView(PassErrorMode<Ending> &mode, notes::NotesObjects &n)
{
    using N = notes::NotesObjects;
    mode.skipFailures();
    mode.run([&] { n.view = N::use(n.database, "database").GetView("People"); });
    mode.run([&] { n.navigator = N::use(n.view, "view").CreateViewNav(); });
    mode.run([&] { n.entry = N::use(n.navigator, "navigator").GetFirstDocument(); });
    // An empty view is no failure: there is no document to fetch, and nothing to explain.
    if (n.entry)
        mode.run([&] { n.document = n.entry->Document(); });
}

} // namespace tarnwick::NotesPass
