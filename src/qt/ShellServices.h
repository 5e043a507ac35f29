#pragma once

#include <QChar>
#include <QDir>
#include <QString>

class QWidget;

namespace tarnwick {

// Opens a web address or a document with the program the user's system associates with
// it. Empty text opens nothing; whether the platform managed is not reported.
void ShellOpen(const QString &target);

// Lets the user pick a folder. Returns its path in native separators, or empty text when
// the user cancelled or the choice has no file-system path.
QString BrowseForFolder(const QString &title, QWidget *owner = nullptr);

// Whether ShellOpen takes target as a web address (it has a scheme, such as "https:")
// rather than a file path. A drive letter is not a scheme.
bool IsWebAddress(const QString &target);

// A chosen folder as BrowseForFolder returns it: native separators, and a trailing one
// only on a root folder ("/", "C:\"), so that callers can append a separator and a
// file name without doubling it.
QString NormalisedFolderPath(const QString &path, QChar separator = QDir::separator());

} // namespace tarnwick
