#include "qt/Desktop.h"
#include "qt/FrmMain.h"
#include "qt/HelpLocation.h"
#include "notes/NotesSessionFactory.h"
#include "notes/SharedState.h"

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
    tarnwick::FrmMain window(desktop, notes, state);
    window.show();
    return application.exec();
}
