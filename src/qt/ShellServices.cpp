#include "ShellServices.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QRegularExpression>
#include <QUrl>

namespace tarnwick {

bool IsWebAddress(const QString &target)
{
    // Two characters at least before the colon, so that "C:\x" stays a path.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.\\-]+:"));
    return scheme.match(target).hasMatch();
}

void ShellOpen(const QString &target)
{
    if (target.isEmpty())
        return;
    const QUrl url = IsWebAddress(target) ? QUrl(target) : QUrl::fromLocalFile(target);
    (void)QDesktopServices::openUrl(url);
}

QString NormalisedFolderPath(const QString &path, QChar separator)
{
    if (path.isEmpty())
        return {};
    QString p = path;
    // A backslash is a separator only where the platform says so; elsewhere it is a
    // legal character of a name.
    if (separator == QLatin1Char('\\'))
        p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    p = QDir::cleanPath(p);
    static const QRegularExpression driveOnly(QStringLiteral("^[A-Za-z]:$"));
    if (separator == QLatin1Char('\\') && driveOnly.match(p).hasMatch())
        p.append(QLatin1Char('/'));
    p.replace(QLatin1Char('/'), separator);
    return p;
}

QString BrowseForFolder(const QString &title, QWidget *owner)
{
    const QString chosen = QFileDialog::getExistingDirectory(owner, title, QString(), QFileDialog::ShowDirsOnly);
    return NormalisedFolderPath(chosen);
}

} // namespace tarnwick
