#include "qt/HelpLocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tarnwick {

QString helpDocumentPath()
{
    const QDir programFolder(QCoreApplication::applicationDirPath());
    const QString beside = programFolder.filePath(QStringLiteral("Help.html"));
    if (QFileInfo::exists(beside))
        return beside;
    // Found from the program's own folder first, so that an installed tree moved as a
    // whole (or a package installed under another prefix) still finds its help.
    const QString relative = QDir::cleanPath(programFolder.filePath(QStringLiteral(TARNWICK_HELP_FROM_BINDIR)));
    if (QFileInfo::exists(relative))
        return relative;
    return QStringLiteral(TARNWICK_HELP_INSTALLED);
}

} // namespace tarnwick
