#include "ShellServices.h"

#include "ui/ShellTargets.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace tarnwick {

namespace {

const QString Opener = QStringLiteral("xdg-open");

// xdg-open reports a missing handler at once; an exit long after the start is a browser
// it ran in the foreground closing, whatever its status.
constexpr qint64 FailureWindowMs = 10'000;

} // namespace

void ShellOpen(const QString &target, std::function<void()> onFailure)
{
    if (target.isEmpty())
        return;
    const bool web = ui::IsWebAddress(target.toStdString());
    if (!web && !QFileInfo::exists(target)) {
        if (onFailure)
            onFailure();
        return;
    }
    const QString argument = web ? target : QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath()).toString();
    if (!onFailure) {
        (void)QProcess::startDetached(Opener, {argument});
        return;
    }
    auto *process = new QProcess(QCoreApplication::instance());
    QElapsedTimer started;
    started.start();
    QObject::connect(process, &QProcess::errorOccurred, process, [process, onFailure](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            onFailure();
            process->deleteLater();
        }
    });
    QObject::connect(process, &QProcess::finished, process,
                     [process, started, onFailure](int code, QProcess::ExitStatus status) {
                         if ((status != QProcess::NormalExit || code != 0) && started.elapsed() < FailureWindowMs)
                             onFailure();
                         process->deleteLater();
                     });
    process->start(Opener, {argument});
}

QString BrowseForFolder(const QString &title)
{
    const QString chosen = QFileDialog::getExistingDirectory(nullptr, title, QString(), QFileDialog::ShowDirsOnly);
    return QString::fromStdString(
        ui::NormalisedFolderPath(QDir::toNativeSeparators(chosen).toStdString(), QDir::separator().toLatin1()));
}

} // namespace tarnwick
