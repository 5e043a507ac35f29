#include "Desktop.h"

#include "qt/ShellServices.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace tarnwick {

QString QtDesktop::getOpenFileName(QWidget *owner, const QString &fileName, const QString &filter)
{
    return QFileDialog::getOpenFileName(owner, QString(), fileName, filter);
}

void QtDesktop::showMessage(QWidget *owner, const QString &text, const QString &title)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QMessageBox box(QMessageBox::Information, title, shown, QMessageBox::Ok, owner);
    // Messages carry file paths and contact data, never markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void QtDesktop::shellOpen(const QString &target)
{
    ShellOpen(target);
}

QString QtDesktop::browseForFolder(const QString &title)
{
    return BrowseForFolder(title);
}

void QtDesktop::openHelp(QWidget *, const QString &path)
{
    // The help is an HTML document; the user's browser is its viewer.
    ShellOpen(path);
}

void QtDesktop::processEvents()
{
    QCoreApplication::processEvents();
}

int QtDesktop::runModal(QDialog &dialog)
{
    return dialog.exec();
}

void QtDesktop::exitProgram()
{
    QCoreApplication::exit(0);
}

} // namespace tarnwick
