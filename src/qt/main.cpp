#include "MainWindow.h"
#include "QtDesktop.h"
#include "notes/NotesSessionFactory.h"
#include "notes/SharedState.h"
#include "ui/FrmMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    tarnwick::QtDesktop desktop;
    notes::NotesSessionFactory notes;
    tarnwick::SharedState state;
    tarnwick::ui::FrmMain behaviour(desktop, notes, state);
    tarnwick::MainWindow window(behaviour);
    window.show();
    return application.exec();
}
