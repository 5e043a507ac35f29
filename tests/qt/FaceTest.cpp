// What only the Qt faces can get wrong: the wiring of the real widgets to the windows'
// behaviour, the focus chain and access keys, the fonts Qt really finds, and the Qt
// desktop's shell calls and focus hand-back. The behaviour itself is tested without Qt.

#include "Fixtures.h"
#include "notes/NotesSessionFactory.h"
#include "notes/SharedState.h"
#include "qt/ConversionDialog.h"
#include "qt/MainWindow.h"
#include "qt/QtDesktop.h"
#include "RecordingDesktop.h"
#include "ui/FrmConversion.h"
#include "ui/FrmMain.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <string>
#include <vector>

using namespace tarnwick;

namespace {

template <class Widget> Widget *child(QWidget &window, const char *name)
{
    auto *found = window.findChild<Widget *>(QLatin1String(name));
    if (!found)
        qFatal("no %s in %s", name, qPrintable(window.objectName()));
    return found;
}

// The main window over the real core, as main() builds it, with a recording desktop.
struct Program
{
    RecordingDesktop desktop;
    notes::NotesSessionFactory notes;
    SharedState state;
    ui::FrmMain behaviour{desktop, notes, state};
    MainWindow window{behaviour};

    Program()
    {
        desktop.onYield = [](int) { QCoreApplication::processEvents(); };
        window.show();
        if (!QTest::qWaitForWindowActive(&window))
            qFatal("the main window did not become active");
    }
};

// Tab from the focused widget, which must be the named one.
void tabFrom(QWidget &window, const char *name)
{
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(window, name));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
}

} // namespace

class FaceTest : public QObject
{
    Q_OBJECT

private slots:
    // A run through the real widgets, by the keyboard where the user has keys: the focus
    // chains and access keys, the File menu, the log and its font, and the exports
    // following the scan.
    void scanAndExportThroughTheWindows()
    {
        Program program;
        const std::string book = fixture("sample-book.dxl");
        QTemporaryDir folder;
        program.desktop.openFileAnswers = {book};
        bool exported = false;
        // The field-choice window is the real one, shown without a modal loop.
        program.desktop.openConversion = [&](ui::WindowFace &owner, ui::FrmConversion &window) {
            ConversionDialog dialog(window, dynamic_cast<QWidget *>(&owner));
            dialog.show();
            // Not qWaitForWindowActive: a window counts as active there while its owner is.
            QVERIFY(QTest::qWaitFor([&dialog] { return QApplication::activeWindow() == &dialog; }));
            for (const char *name : {"CmdConversion", "LstContactsField", "ChkSelectAll"})
                tabFrom(dialog, name);
            auto *list = child<QListWidget>(dialog, "LstContactsField");
            QTest::keyClick(&dialog, Qt::Key_A, Qt::AltModifier);
            QTRY_COMPARE(list->item(list->count() - 1)->checkState(), Qt::Checked);
            for (int i = 0; i < list->count(); ++i)
                QCOMPARE(list->item(i)->checkState(), Qt::Checked);
            auto *start = child<QPushButton>(dialog, "CmdConversion");
            QTest::keyClick(&dialog, Qt::Key_S, Qt::AltModifier);
            QTRY_VERIFY(!start->isEnabled());
            QVERIFY(child<QLabel>(dialog, "LblOpenExcelFile")->isVisible());
            QVERIFY(child<QLabel>(dialog, "ImgOpenExcelFile")->isVisible());
            exported = true;
        };

        // File > "Export as vCard..." follows Proceed; the split item is a tick of its own.
        auto *split = child<QAction>(program.window, "mnuSplitForGoogle");
        QVERIFY(split->isCheckable() && !split->isChecked());
        auto *vCard = child<QAction>(program.window, "mnuExportVCard");
        auto *proceed = child<QPushButton>(program.window, "CmdContactsCreate");
        QVERIFY(!proceed->isEnabled() && !vCard->isEnabled());
        // An access key clicks its button after a short press animation.
        QTest::keyClick(&program.window, Qt::Key_B, Qt::AltModifier);
        QTRY_COMPARE(program.desktop.openFileDialogs.size(), 1u);
        auto *shown = child<QPlainTextEdit>(program.window, "txtProgressDetails");
        // The windows' Tahoma, where fonts-wine gives one to find.
        if (QFile::exists(QStringLiteral("/usr/share/wine/fonts/tahoma.ttf")))
            QCOMPARE(QFontInfo(shown->font()).family(), QStringLiteral("Tahoma"));
        QCOMPARE(shown->toPlainText(), QString::fromStdString(expectedSampleLog(book, "\n")));
        QVERIFY(proceed->isEnabled() && vCard->isEnabled());
        for (const char *name : {"txtNotesDatabaseFile", "CmdBrowse", "CmdContactsCreate", "txtNotesDatabaseFile"})
            tabFrom(program.window, name);
        // Typed anywhere in the log, a key leaves the caret at its end.
        QTextCursor caret = shown->textCursor();
        caret.setPosition(0);
        shown->setTextCursor(caret);
        QTest::keyClick(shown, Qt::Key_X);
        QCOMPARE(shown->textCursor().position(), shown->document()->characterCount() - 1);

        vCard->trigger(); // the picker cancelled
        QVERIFY(program.desktop.folderTitles ==
                std::vector<std::string>{"Select Folder to Save GMAILContacts.vcf File"});
        program.desktop.folderAnswers = {folder.path().toStdString()};
        QTest::mouseClick(proceed, Qt::LeftButton);
        QVERIFY(exported);
        QVERIFY(slurp(folder.filePath(QStringLiteral("GMAILContacts.csv")).toStdString()) ==
                slurp(fixture("sample-book.all.csv")));
        QVERIFY(!proceed->isEnabled() && !vCard->isEnabled());
        QVERIFY(program.desktop.said() ==
                (std::vector<std::string>{"Korvane Software: Notes Address Book Scan Completed",
                                          "Conversion Completed...: 37 Contacts Saved Successfully"}));

        // Scanned again, then a key in the path box: the box no longer names what was read.
        QTest::mouseClick(child<QPushButton>(program.window, "CmdBrowse"), Qt::LeftButton);
        QVERIFY(proceed->isEnabled() && vCard->isEnabled());
        QTest::keyClick(child<QLineEdit>(program.window, "txtNotesDatabaseFile"), Qt::Key_H);
        QVERIFY(!proceed->isEnabled() && !vCard->isEnabled());
    }

    // xdg-open is handed the web address or the file's URL; what it could not open is
    // reported once it has said so, what is not there at once, an empty target never.
    void shellOpenReportsWhatOpenedNothing_data()
    {
        QTest::addColumn<int>("status"); // xdg-open's exit status; -1: there is none
        QTest::newRow("no xdg-open") << -1;
        QTest::newRow("xdg-open finds no handler") << 3;
        QTest::newRow("xdg-open opens it") << 0;
    }
    void shellOpenReportsWhatOpenedNothing()
    {
        QFETCH(int, status);
        QTemporaryDir bin;
        const QString said = bin.filePath(QStringLiteral("said")),
                      file = bin.filePath(QStringLiteral("GMAILContacts.csv"));
        QFile script(bin.filePath(QStringLiteral("xdg-open")));
        if (status >= 0) {
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write("#!/bin/sh\necho \"$1\" >> '" + said.toLocal8Bit() + "'\nexit " + QByteArray::number(status) +
                         "\n");
            script.close();
            script.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        }
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit()); // the script needs nothing else

        QtDesktop desktop;
        int failures = 0;
        const auto fail = [&failures] { ++failures; };
        desktop.shellOpen("", fail);
        desktop.shellOpen(file.toStdString(), fail); // not there: said at once
        QCOMPARE(failures, 1);
        QVERIFY(QFile(file).open(QIODevice::WriteOnly));
        for (const std::string &target : {std::string("https://korvane.example/tarnwick"), file.toStdString()}) {
            const int before = failures;
            desktop.shellOpen(target, fail);
            QCOMPARE(failures, before); // not yet: xdg-open has not said
            // The opener is done with once its process object is gone.
            QTRY_VERIFY(QCoreApplication::instance()->findChildren<QProcess *>().isEmpty());
        }
        qputenv("PATH", path);
        QCOMPARE(failures, status == 0 ? 1 : 3);
        QCOMPARE(QString::fromStdString(slurp(said.toStdString())),
                 status < 0 ? QString()
                            : "https://korvane.example/tarnwick\n" + QUrl::fromLocalFile(file).toString() + "\n");
    }

    // The Qt desktop's own dialogs. A message is plain text with its lines as Qt ends them
    // (a contact's name is never markup), and the open dialog offers the filter's labels.
    // Return, Enter and Space close the About box, Escape does not; closed, it hands the
    // keyboard back to the main window. Some window managers give the focus to another
    // window, or none, when a dialog closes; another window taking it stands in for that.
    void desktopDialogsAsQtShowsThem()
    {
        QtDesktop desktop;
        Program program;
        QString text;
        Qt::TextFormat format = Qt::AutoText;
        QStringList filters;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            text = box->text(), format = box->textFormat();
            box->accept();
        });
        desktop.showMessage(&program.window, "<b>Ann</b> & Co\r\nline two", "Korvane Software");
        QCOMPARE(text, QStringLiteral("<b>Ann</b> & Co\nline two"));
        QCOMPARE(format, Qt::PlainText);
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            filters = dialog->nameFilters();
            dialog->reject();
        });
        QCOMPARE(desktop.getOpenFileName(program.window, "", ui::FrmMain::OpenFileFilter), std::string());
        QCOMPARE(filters, (QStringList{QStringLiteral("Lotus Notes Address Book (*.nsf *.dxl)"),
                                       QStringLiteral("All files (*)")}));

        QWidget elsewhere;
        bool elsewhereActivated = false;
        QObject::connect(qApp, &QGuiApplication::focusWindowChanged, &elsewhere, [&](QWindow *active) {
            elsewhereActivated = elsewhereActivated || active == elsewhere.windowHandle();
        });
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
            bool focused = false, stayedOnEscape = false, closed = false;
            elsewhereActivated = false;
            QTimer::singleShot(0, [&] {
                if (QWidget *about = QApplication::activeModalWidget()) {
                    auto *ok = child<QPushButton>(*about, "CmdOK");
                    focused = QTest::qWaitFor([ok] { return QApplication::focusWidget() == ok; });
                    QTest::keyClick(ok, Qt::Key_Escape);
                    stayedOnEscape = about->isVisible();
                    QTest::keyClick(ok, key);
                    closed = !about->isVisible();
                    about->close(); // whatever the keys did: nothing waits for a person
                }
                elsewhere.show();
                elsewhere.activateWindow();
            });
            desktop.runAboutBox(program.window);
            QVERIFY2(focused && stayedOnEscape && closed, qPrintable(QKeySequence(key).toString()));
            // Only after the other window has had the focus does the main window's count.
            QTRY_VERIFY(elsewhereActivated);
            QTRY_COMPARE(QApplication::activeWindow(), &program.window);
        }
    }
};

QTEST_MAIN(FaceTest)
#include "FaceTest.moc"
