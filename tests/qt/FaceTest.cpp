// What only the Qt faces can get wrong: the wiring of the real widgets to the windows'
// behaviour, the focus chain and access keys, the fonts Qt really finds, and the Qt
// desktop's shell calls and focus hand-back. The behaviour itself is tested without Qt.

#include "notes/NotesSessionFactory.h"
#include "notes/SharedState.h"
#include "qt/AboutDialog.h"
#include "qt/ConversionDialog.h"
#include "qt/MainWindow.h"
#include "qt/QtDesktop.h"
#include "qt/WindowLook.h"
#include "ui/FrmConversion.h"
#include "ui/FrmMain.h"

#include <QCheckBox>
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

#include <functional>
#include <string>
#include <vector>

using namespace tarnwick;

namespace {

const QString Fixtures = QStringLiteral(TARNWICK_FIXTURES);

template <class Widget> Widget *child(QWidget &window, const char *name)
{
    auto *found = window.findChild<Widget *>(QLatin1String(name));
    if (!found)
        qFatal("no %s in %s", name, qPrintable(window.objectName()));
    return found;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Answers the dialogs from a script and keeps what the windows asked for. The
// field-choice window is the real one, shown without a modal loop and handed to the test.
class ScriptedDesktop final : public ui::Desktop
{
public:
    std::string bookAnswer;
    std::string folderAnswer;
    int openFileAsks = 0;
    int folderAsks = 0;
    std::vector<std::string> messages; // "title: text"
    std::vector<std::string> opened;
    std::function<void(ConversionDialog &)> onConversionWindow;

    std::string getOpenFileName(ui::WindowFace &, const std::string &, const std::string &) override
    {
        ++openFileAsks;
        return bookAnswer;
    }
    void showMessage(ui::WindowFace *, const std::string &text, const std::string &title) override
    {
        messages.push_back(title + ": " + text);
    }
    void shellOpen(const std::string &target, Failure) override { opened.push_back(target); }
    std::string browseForFolder(const std::string &) override
    {
        ++folderAsks;
        return folderAnswer;
    }
    std::string helpDocumentPath() override { return {}; }
    void openHelp(ui::WindowFace &, const std::string &, Failure) override {}
    void processEvents() override { QCoreApplication::processEvents(); }
    void repaintWindows() override { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }
    void runAboutBox(ui::WindowFace &) override {}
    void runConversionWindow(ui::WindowFace &owner, ui::FrmConversion &window) override
    {
        ConversionDialog dialog(window, dynamic_cast<QWidget *>(&owner));
        dialog.show();
        // Not qWaitForWindowActive: a window counts as active there while its owner is.
        if (!QTest::qWaitFor([&dialog] { return QApplication::activeWindow() == &dialog; }))
            qFatal("the field-choice window did not become active");
        if (onConversionWindow)
            onConversionWindow(dialog);
    }
    void exitProgram() override {}
};

// The main window over the real core, as main() builds it, with a scripted desktop.
struct Program
{
    ScriptedDesktop desktop;
    notes::NotesSessionFactory notes;
    SharedState state;
    ui::FrmMain behaviour{desktop, notes, state};
    MainWindow window{behaviour};

    Program()
    {
        window.show();
        if (!QTest::qWaitForWindowActive(&window))
            qFatal("the main window did not become active");
    }
};

// Notes that a window became the active one.
struct ActivationSpy : QObject
{
    explicit ActivationSpy(QWidget &window) { window.installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        seen = seen || event->type() == QEvent::WindowActivate;
        return false;
    }
    bool seen = false;
};

void pressTab()
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
}

} // namespace

class FaceTest : public QObject
{
    Q_OBJECT

private slots:
    void scanAndExportThroughTheWindows()
    {
        Program program;
        const QString book = Fixtures + QStringLiteral("/sample-book.dxl");
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        program.desktop.bookAnswer = book.toStdString();
        program.desktop.folderAnswer = folder.path().toStdString();
        bool exported = false;
        program.desktop.onConversionWindow = [&](ConversionDialog &dialog) {
            QTest::mouseClick(child<QCheckBox>(dialog, "ChkSelectAll"), Qt::LeftButton);
            auto *start = child<QPushButton>(dialog, "CmdConversion");
            QTest::mouseClick(start, Qt::LeftButton);
            QVERIFY(child<QLabel>(dialog, "LblOpenExcelFile")->isVisible());
            QVERIFY(child<QLabel>(dialog, "ImgOpenExcelFile")->isVisible());
            QVERIFY(!start->isEnabled());
            exported = true;
        };

        auto *proceed = child<QPushButton>(program.window, "CmdContactsCreate");
        QVERIFY(!proceed->isEnabled());
        QTest::mouseClick(child<QPushButton>(program.window, "CmdBrowse"), Qt::LeftButton);
        QString log = QString::fromUtf8(readAll(Fixtures + QStringLiteral("/sample-book.scan.txt")));
        log.replace(QLatin1String("@BOOK@"), book);
        QCOMPARE(child<QPlainTextEdit>(program.window, "txtProgressDetails")->toPlainText(), log);

        QVERIFY(proceed->isEnabled());
        QTest::mouseClick(proceed, Qt::LeftButton);
        QVERIFY(exported);
        QCOMPARE(readAll(folder.filePath(QStringLiteral("GMAILContacts.csv"))),
                 readAll(Fixtures + QStringLiteral("/sample-book.all.csv")));
        QVERIFY(!proceed->isEnabled());
        QCOMPARE(program.desktop.messages,
                 (std::vector<std::string>{"Korvane Software: Notes Address Book Scan Completed",
                                           "Conversion Completed...: 37 Contacts Saved Successfully"}));
    }

    void mainWindowTabOrderAndAccessKey()
    {
        Program program;
        program.window.setProceedEnabled(true);
        QCOMPARE(QApplication::focusWidget(), child<QWidget>(program.window, "txtNotesDatabaseFile"));
        pressTab();
        QCOMPARE(QApplication::focusWidget(), child<QWidget>(program.window, "CmdBrowse"));
        pressTab();
        QCOMPARE(QApplication::focusWidget(), child<QWidget>(program.window, "CmdContactsCreate"));
        pressTab();
        QCOMPARE(QApplication::focusWidget(), child<QWidget>(program.window, "txtNotesDatabaseFile"));

        // An access key clicks its button after a short press animation.
        QTest::keyClick(&program.window, Qt::Key_B, Qt::AltModifier);
        QTRY_COMPARE(program.desktop.openFileAsks, 1);
    }

    void conversionWindowTabOrderAndAccessKeys()
    {
        Program program;
        bool ran = false;
        program.desktop.onConversionWindow = [&](ConversionDialog &dialog) {
            QCOMPARE(QApplication::focusWidget(), child<QWidget>(dialog, "CmdConversion"));
            pressTab();
            QCOMPARE(QApplication::focusWidget(), child<QWidget>(dialog, "LstContactsField"));
            pressTab();
            QCOMPARE(QApplication::focusWidget(), child<QWidget>(dialog, "ChkSelectAll"));

            auto *list = child<QListWidget>(dialog, "LstContactsField");
            QTest::keyClick(&dialog, Qt::Key_A, Qt::AltModifier);
            QTRY_COMPARE(list->item(list->count() - 1)->checkState(), Qt::Checked);
            for (int i = 0; i < list->count(); ++i)
                QCOMPARE(list->item(i)->checkState(), Qt::Checked);

            // The folder picker is the export's first question; cancelling it ends the run.
            QTest::keyClick(&dialog, Qt::Key_S, Qt::AltModifier);
            QTRY_COMPARE(program.desktop.folderAsks, 1);
            ran = true;
        };
        program.behaviour.CmdContactsCreate_Click();
        QVERIFY(ran);
    }

    void aboutBoxKeys()
    {
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
            AboutDialog about(nullptr);
            about.show();
            QVERIFY(QTest::qWaitForWindowActive(&about));
            auto *ok = child<QPushButton>(about, "CmdOK");
            QCOMPARE(QApplication::focusWidget(), ok);
            QTest::keyClick(ok, Qt::Key_Escape);
            QVERIFY(about.isVisible());
            QTest::keyClick(ok, key);
            QVERIFY2(!about.isVisible(), qPrintable(QKeySequence(key).toString()));
        }
    }

    void windowFontsAreFound()
    {
        if (!QFile::exists(QStringLiteral("/usr/share/wine/fonts/tahoma.ttf")))
            QSKIP("fonts-wine is not installed, so there is no Tahoma to find");
        Program program;
        const auto found = [&program](const char *name) {
            const QString family = QFontInfo(child<QWidget>(program.window, name)->font()).family();
            return QStringLiteral("%1: %2").arg(QLatin1String(name), family);
        };
        for (const char *name : {"CmdBrowse", "Label49", "txtProgressDetails"})
            QCOMPARE(found(name), QStringLiteral("%1: Tahoma").arg(QLatin1String(name)));
        for (const char *name : {"Label4", "Label1"})
            QCOMPARE(found(name), QStringLiteral("%1: DejaVu Sans").arg(QLatin1String(name)));
    }

    void shellOpenReportsWhatOpenedNothing_data()
    {
        QTest::addColumn<QByteArray>("opener"); // xdg-open's script; empty: no xdg-open
        QTest::addColumn<bool>("reported");
        QTest::newRow("no xdg-open") << QByteArray() << true;
        QTest::newRow("xdg-open finds no handler") << QByteArray("#!/bin/sh\nexit 3\n") << true;
        QTest::newRow("xdg-open opens it") << QByteArray("#!/bin/sh\nexit 0\n") << false;
    }
    void shellOpenReportsWhatOpenedNothing()
    {
        QFETCH(QByteArray, opener);
        QFETCH(bool, reported);
        QTemporaryDir bin;
        QVERIFY(bin.isValid());
        const QByteArray path = qgetenv("PATH");
        QString newPath = bin.path();
        if (!opener.isEmpty()) {
            QFile script(bin.filePath(QStringLiteral("xdg-open")));
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write(opener);
            script.close();
            script.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
            newPath += QLatin1Char(':') + QString::fromLocal8Bit(path);
        }
        qputenv("PATH", newPath.toLocal8Bit());

        QtDesktop desktop;
        bool failed = false;
        desktop.shellOpen("https://korvane.example/tarnwick", [&failed] { failed = true; });
        // The opener is done with once its process object is gone.
        QTRY_VERIFY(QCoreApplication::instance()->findChildren<QProcess *>().isEmpty());
        qputenv("PATH", path);
        QCOMPARE(failed, reported);
    }

    void shellOpenHandsXdgOpenAnAddress()
    {
        QTemporaryDir folder;
        const QString said = folder.filePath(QStringLiteral("said"));
        QFile script(folder.filePath(QStringLiteral("xdg-open")));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\necho \"$1\" >> '" + said.toLocal8Bit() + "'\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", folder.path().toLocal8Bit() + ':' + path);

        QtDesktop desktop;
        bool failed = false;
        const auto fail = [&failed] { failed = true; };
        const QString file = folder.filePath(QStringLiteral("GMAILContacts.csv"));
        desktop.shellOpen("", fail); // nothing to open, nothing to say
        QVERIFY(!failed);
        desktop.shellOpen(file.toStdString(), fail); // not there: said at once
        QVERIFY(failed);
        failed = false;
        QVERIFY(QFile(file).open(QIODevice::WriteOnly));
        const auto done = [] { return QCoreApplication::instance()->findChildren<QProcess *>().isEmpty(); };
        desktop.shellOpen("https://korvane.example/tarnwick", fail);
        QTRY_VERIFY(done());
        desktop.shellOpen(file.toStdString(), fail);
        QTRY_VERIFY(done());
        qputenv("PATH", path);
        QVERIFY(!failed);
        QCOMPARE(QString::fromLocal8Bit(readAll(said)).split(QLatin1Char('\n'), Qt::SkipEmptyParts),
                 (QStringList{QStringLiteral("https://korvane.example/tarnwick"),
                              QUrl::fromLocalFile(file).toString()}));
    }

    void aboutBoxHandsTheKeyboardBack()
    {
        Program program;
        // Some window managers give the focus to another window, or none, when a dialog
        // closes; another window taking it stands in for that here.
        QWidget elsewhere;
        ActivationSpy elsewhereActivated(elsewhere);
        QTimer::singleShot(0, [&elsewhere] {
            if (QWidget *about = QApplication::activeModalWidget())
                child<QPushButton>(*about, "CmdOK")->click();
            elsewhere.show();
            elsewhere.activateWindow();
        });
        QtDesktop desktop;
        desktop.runAboutBox(program.window);
        // Only after the other window has had the focus does the main window's count.
        QTRY_VERIFY(elsewhereActivated.seen);
        QTRY_COMPARE(QApplication::activeWindow(), &program.window);
    }
};

QTEST_MAIN(FaceTest)
#include "FaceTest.moc"
