#include "qt/Desktop.h"
#include "qt/FrmMain.h"
#include "notes/NotesSessionFactory.h"
#include "notes/SharedState.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    tarnwick::QtDesktop desktop;
    notes::NotesSessionFactory notes;
    tarnwick::SharedState state;
    tarnwick::FrmMain window(desktop, notes, state);
    window.show();
    return application.exec();
}
