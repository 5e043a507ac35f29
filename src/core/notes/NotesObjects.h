#pragma once

#include "Database.h"
#include "Document.h"
#include "NotesError.h"
#include "Session.h"
#include "View.h"
#include "ViewEntry.h"
#include "ViewNavigator.h"

#include <memory>
#include <string>
#include <string_view>

namespace notes {

// The Notes objects of one pass over an address book. They are dropped in the order the
// Notes client expects (entry, navigator, view, document, database, session), on every
// way out of the pass, destructor included.
struct NotesObjects
{
    std::unique_ptr<Session> session;
    std::unique_ptr<Database> database;
    std::unique_ptr<View> view;
    std::unique_ptr<ViewNavigator> navigator;
    std::unique_ptr<ViewEntry> entry;
    std::unique_ptr<notes::Document> document;

    NotesObjects() = default;
    NotesObjects(const NotesObjects &) = delete;
    NotesObjects &operator=(const NotesObjects &) = delete;
    ~NotesObjects() { release(); }

    void release()
    {
        entry.reset();
        navigator.reset();
        view.reset();
        document.reset();
        database.reset();
        session.reset();
    }

    // Calling a member of an object that was never obtained fails like any Notes call.
    template <typename T>
    static T &use(const std::unique_ptr<T> &object, const char *what)
    {
        if (!object)
            throw NotesError(std::string("no ") + what + " to use");
        return *object;
    }

    // Element 0 of an item's values, as the scan and the export read every field.
    static std::string firstValue(notes::Document &document, std::string_view item)
    {
        auto value = document.firstItemValue(item);
        if (!value)
            throw NotesError("item " + std::string(item) + " has no value");
        return std::move(*value);
    }
};

} // namespace notes
