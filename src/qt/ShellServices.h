#pragma once

#include <QString>

#include <functional>

namespace tarnwick {

// Opens a web address or a document with the program the user's system associates with
// it (xdg-open). Empty text opens nothing. onFailure, when given, is called if nothing
// could open it: at once for a missing file or a missing xdg-open, or later, when
// xdg-open reports that it found no program. Without it the opener is left to run on
// after the program ends.
void ShellOpen(const QString &target, std::function<void()> onFailure = {});

// Lets the user pick a folder, with no owner window. Returns its path in native
// separators, a trailing one only on a root folder, or empty text when the user cancelled
// or the choice has no file-system path.
QString BrowseForFolder(const QString &title);

} // namespace tarnwick
