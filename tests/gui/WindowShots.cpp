// Pictures of the windows, for a person to check against the layout:
//     tarnwick-window-shots FOLDER
// writes main-window.png (after a scan of the sample book), about.png, conversion.png
// (as opened) and conversion-done.png (after exporting every column).

#include "RecordingDesktop.h"
#include "qt/DocAbout.h"
#include "qt/FrmMain.h"
#include "qt/FrmConversion.h"
#include "notes/NotesSessionFactory.h"
#include "notes/SharedState.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>

namespace {

bool save(QWidget &window, const QDir &folder, const char *name)
{
    QApplication::processEvents();
    const QString path = folder.filePath(QString::fromLatin1(name));
    // The whole window, frame and title bar included, when a window manager drew them;
    // the client area otherwise.
    const bool saved = window.grab().save(path);
    std::printf("%s %s (%dx%d)\n", saved ? "wrote" : "FAILED", qPrintable(path), window.width(), window.height());
    return saved;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tarnwick-window-shots FOLDER\n");
        return 2;
    }
    QDir folder(QString::fromLocal8Bit(argv[1]));
    folder.mkpath(QStringLiteral("."));
    bool ok = true;

    RecordingDesktop desktop;
    notes::NotesSessionFactory notes;
    tarnwick::SharedState state;
    tarnwick::FrmMain window(desktop, notes, state);
    window.show();
    desktop.openFileAnswers = {QStringLiteral(TARNWICK_FIXTURES "/sample-book.dxl")};
    window.CmdBrowse_Click();
    ok = save(window, folder, "main-window.png") && ok;

    tarnwick::DocAbout about(&window);
    about.show();
    ok = save(about, folder, "about.png") && ok;
    about.close();

    QTemporaryDir out;
    desktop.folderAnswers = {out.path()};
    tarnwick::FrmConversion conversion(desktop, notes, state,
                                       {[&] { return std::string(TARNWICK_FIXTURES "/sample-book.dxl"); }, {}},
                                       &window);
    conversion.show();
    ok = save(conversion, folder, "conversion.png") && ok;
    conversion.findChild<QCheckBox *>(QStringLiteral("ChkSelectAll"))->click();
    conversion.findChild<QPushButton *>(QStringLiteral("CmdConversion"))->click();
    ok = save(conversion, folder, "conversion-done.png") && ok;
    return ok ? 0 : 1;
}
