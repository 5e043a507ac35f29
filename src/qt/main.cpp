#include "HelpLocation.h"
#include "MainWindow.h"
#include "QtDesktop.h"
#include "notes/NotesSessionFactory.h"
#include "notes/SharedState.h"
#include "ui/FrmMain.h"

#include <QApplication>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    // For a packager or a bug report: where Help > Contents looks, and whether it is there.
    if (QCoreApplication::arguments().contains(QStringLiteral("--help-path"))) {
        const QString path = tarnwick::helpDocumentPath();
        QTextStream(stdout) << path << Qt::endl;
        return QFileInfo::exists(path) ? 0 : 1;
    }
    tarnwick::QtDesktop desktop;
    notes::NotesSessionFactory notes;
    tarnwick::SharedState state;
    tarnwick::ui::FrmMain behaviour(desktop, notes, state);
    tarnwick::MainWindow window(behaviour);
    window.show();
    return application.exec();
}
