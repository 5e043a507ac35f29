// The main window driven as a user drives it, with the platform's dialogs answered by a
// recording desktop.

#include "MemoryNotes.h"
#include "RecordingDesktop.h"
#include "TarnwickConfig.h"
#include "qt/DocAbout.h"
#include "qt/FrmMain.h"
#include "notes/Messages.h"
#include "notes/NotesSessionFactory.h"
#include "notes/SharedState.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace tarnwick;

namespace {

const QString SampleBook = QStringLiteral(TARNWICK_FIXTURES "/sample-book.dxl");
const QString MemoryBook = QStringLiteral("/books/names.nsf");

QString q(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The program's main window over the real Notes substitute (the DXL reader), or over an
// in-memory book whose calls a test can watch.
template <typename Notes>
struct Rig
{
    RecordingDesktop desktop;
    Notes notes;
    SharedState state;
    FrmMain window{desktop, notes, state};

    template <typename T>
    T *find(const char *name)
    {
        T *child = window.findChild<T *>(QString::fromLatin1(name));
        if (!child)
            qFatal("no control %s", name);
        return child;
    }
    QLineEdit *path() { return find<QLineEdit>("txtNotesDatabaseFile"); }
    QPlainTextEdit *log() { return find<QPlainTextEdit>("txtProgressDetails"); }
    QPushButton *browse() { return find<QPushButton>("CmdBrowse"); }
    QPushButton *proceed() { return find<QPushButton>("CmdContactsCreate"); }
    QAction *menu(const char *name) { return find<QAction>(name); }
};

using SampleRig = Rig<notes::NotesSessionFactory>;

struct MemoryRig : Rig<MemoryNotes>
{
    MemoryRig()
    {
        notes.books[MemoryBook.toStdString()].people = {MemoryNotes::contact("Ann", "Q", "Carter", "ann@example.com"),
                                                        MemoryNotes::contact("Bob", "", "Lee", "bob@example.com"),
                                                        MemoryNotes::contact("Cy", "", "Moss", "cy@example.com")};
        desktop.openFileAnswers = {MemoryBook};
        // Every yield of the scan reaches the desktop, so a test can act inside it.
        window.setFrameInterval(0);
    }
};

QStringList sampleLog()
{
    // What tarnwick-cli prints for the book, which is what the window's log must hold.
    QStringList lines{QStringLiteral("Reading Lotus Notes Address Book..."),
                      QStringLiteral("Initializing Lotus Notes..."),
                      QStringLiteral("Please wait..."),
                      QStringLiteral("Source File : ") + SampleBook,
                      QStringLiteral("Total Contacts Found : 37"),
                      QStringLiteral("Listing Found Contacts..."),
                      QString(70, QLatin1Char('-'))};
    return lines;
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void opensEmptyWithProceedDisabled()
    {
        SampleRig rig;
        QCOMPARE(rig.path()->text(), QString());
        QCOMPARE(rig.log()->toPlainText(), QString());
        QVERIFY(!rig.proceed()->isEnabled());
        QVERIFY(rig.browse()->isEnabled());
        QCOMPARE(rig.state.TotalContacts, 0);
        QVERIFY(rig.desktop.openFileDialogs.isEmpty());
    }

    void confirmedBrowseScansTheBook()
    {
        SampleRig rig;
        rig.desktop.openFileAnswers = {SampleBook};
        QTest::mouseClick(rig.browse(), Qt::LeftButton);

        QCOMPARE(rig.desktop.openFileDialogs.size(), 1);
        QCOMPARE(rig.desktop.openFileDialogs[0].startName, QString());
        QCOMPARE(rig.desktop.openFileDialogs[0].filter,
                 QStringLiteral("Lotus Notes Address Book (*.nsf *.dxl);;All files (*)"));
        QCOMPARE(rig.desktop.openFileDialogs[0].owner, &rig.window);
        QCOMPARE(rig.path()->text(), SampleBook);

        const QStringList log = rig.window.logLines();
        QCOMPARE(log.size(), 7 + 37);
        QCOMPARE(log.mid(0, 7), sampleLog());
        QCOMPARE(log[7], QStringLiteral("1 : Reception  - reception@northwind.example"));
        QCOMPARE(log[8], QStringLiteral("2 : Tom Baker - tom.baker@example.co.uk"));
        QCOMPARE(log[10], QStringLiteral("4 : David R. Brown - drbrown@example.com"));
        QCOMPARE(log[15], QStringLiteral("9 : Oscar Díaz - "));
        QCOMPARE(log[40], QStringLiteral("34 : Γιώργος Παπαδόπουλος - g.papadopoulos@example.gr"));
        QCOMPARE(log.last(), QStringLiteral("37 : 太郎 山田 - taro.yamada@example.jp"));
        // Every line, the last included, is followed by a line end.
        QVERIFY(rig.log()->toPlainText().endsWith(QLatin1String("taro.yamada@example.jp\n")));

        QCOMPARE(rig.desktop.messages.size(), 1);
        QCOMPARE(rig.desktop.messages[0].text, q(Messages::ScanCompleted));
        QCOMPARE(rig.desktop.messages[0].title, q(Messages::MakerTitle));
        QCOMPARE(rig.desktop.messages[0].owner, &rig.window);
        QVERIFY(rig.proceed()->isEnabled());
        QCOMPARE(rig.state.TotalContacts, 37);
        QVERIFY(!rig.window.isScanning());
    }

    void logIsWholeBeforeTheMessageAndWithoutAnyYield()
    {
        SampleRig rig;
        rig.desktop.openFileAnswers = {SampleBook};
        // A frame longer than the scan: the log is written once, before the message.
        rig.window.setFrameInterval(3600LL * 1'000'000'000);
        qsizetype shownAtMessage = -1;
        rig.desktop.onMessage = [&](const RecordingDesktop::Message &) { shownAtMessage = rig.window.logLines().size(); };
        rig.browse()->click();
        QCOMPARE(rig.desktop.yields, 0);
        QCOMPARE(shownAtMessage, qsizetype(44));
        QCOMPARE(rig.window.logLines().size(), qsizetype(44));
    }

    void logGrowsAtEveryYieldWhenFramesAreShort()
    {
        MemoryRig rig;
        QList<qsizetype> shown;
        rig.desktop.onYield = [&](int) { shown.append(rig.window.logLines().size()); };
        rig.browse()->click();
        // The scan yields before its walk, after the rule and at the top of every contact;
        // each time the window shows every line written so far.
        QCOMPARE(shown, (QList<qsizetype>{1, 7, 7, 8, 9}));
        QCOMPARE(rig.window.logLines().size(), qsizetype(10));
    }

    void cancelledFirstBrowseDoesNothing()
    {
        SampleRig rig;
        rig.browse()->click();
        QCOMPARE(rig.desktop.openFileDialogs.size(), 1);
        QCOMPARE(rig.path()->text(), QString());
        QCOMPARE(rig.log()->toPlainText(), QString());
        QVERIFY(!rig.proceed()->isEnabled());
        QVERIFY(rig.desktop.messages.isEmpty());
        QCOMPARE(rig.desktop.yields, 0);
    }

    void cancelledLaterBrowseRescansThePreviousBook()
    {
        SampleRig rig;
        rig.desktop.openFileAnswers = {SampleBook};
        rig.browse()->click();
        const QStringList firstLog = rig.window.logLines();

        bool disabledDuringScan = false;
        rig.desktop.onMessage = [&](const RecordingDesktop::Message &) { disabledDuringScan = !rig.proceed()->isEnabled(); };
        rig.browse()->click(); // cancelled
        QCOMPARE(rig.desktop.openFileDialogs.size(), 2);
        QCOMPARE(rig.desktop.openFileDialogs[1].startName, SampleBook);
        QCOMPARE(rig.path()->text(), SampleBook);
        QCOMPARE(rig.window.logLines(), firstLog);
        QCOMPARE(rig.desktop.messages.size(), 2);
        QVERIFY(disabledDuringScan);
        QVERIFY(rig.proceed()->isEnabled());
    }

    void openMenuItemIsBrowse()
    {
        SampleRig rig;
        rig.desktop.openFileAnswers = {SampleBook};
        rig.menu("mnuOpen")->trigger();
        QCOMPARE(rig.desktop.openFileDialogs.size(), 1);
        QCOMPARE(rig.path()->text(), SampleBook);
        QCOMPARE(rig.window.logLines().size(), qsizetype(44));
        QVERIFY(rig.proceed()->isEnabled());
    }

    void aBookThatFailsLeavesProceedDisabled()
    {
        SampleRig rig;
        rig.desktop.openFileAnswers = {SampleBook, QStringLiteral(TARNWICK_FIXTURES "/no-people.dxl"),
                                       QStringLiteral(TARNWICK_FIXTURES "/not-dxl.xml")};
        rig.browse()->click();
        QVERIFY(rig.proceed()->isEnabled());

        rig.browse()->click();
        QVERIFY(!rig.proceed()->isEnabled());
        QCOMPARE(rig.desktop.messages.last().text, q(Messages::EmptyBook));
        QCOMPARE(rig.window.logLines().last(), QString(70, QLatin1Char('-')));

        rig.browse()->click();
        QVERIFY(!rig.proceed()->isEnabled());
        QCOMPARE(rig.desktop.messages.last().title, q(Messages::NotesUnavailableTitle));
        QCOMPARE(rig.window.logLines().last(), QStringLiteral("Please wait..."));
    }

    void typedPathStartsNoScan()
    {
        SampleRig rig;
        rig.window.show();
        QTest::keyClicks(rig.path(), SampleBook);
        QTest::keyClick(rig.path(), Qt::Key_Return);
        QCOMPARE(rig.path()->text(), SampleBook);
        QCOMPARE(rig.log()->toPlainText(), QString());
        QVERIFY(rig.desktop.messages.isEmpty());
        QVERIFY(!rig.proceed()->isEnabled());

        // The next Browse overwrites it, here with the dialog's empty name.
        rig.browse()->click();
        QCOMPARE(rig.path()->text(), QString());
    }

    void typingInTheLogKeepsTheCaretAtTheEnd()
    {
        SampleRig rig;
        rig.desktop.openFileAnswers = {SampleBook};
        rig.browse()->click();
        rig.window.show();
        QPlainTextEdit *log = rig.log();
        log->setFocus();
        QTextCursor start = log->textCursor();
        start.movePosition(QTextCursor::Start);
        log->setTextCursor(start);

        QTest::keyClick(log, Qt::Key_A);
        QTest::keyClick(log, Qt::Key_B);
        const QString text = log->toPlainText();
        // The first key went where the caret was put; after it the caret was at the end.
        QVERIFY(text.startsWith(QLatin1String("aReading")));
        QVERIFY(text.endsWith(QLatin1String("\nb")));
        QCOMPARE(log->textCursor().position(), text.size());
        QVERIFY(!log->textCursor().hasSelection());
    }

    void closeBoxOpensTheClosingPageOnce()
    {
        SampleRig rig;
        rig.window.show();
        QVERIFY(rig.window.close());
        QVERIFY(!rig.window.isVisible());
        QCOMPARE(rig.desktop.opened, QStringList{QString::fromLatin1(config::ClosingPageUrl)});
        QCOMPARE(rig.desktop.exits, 0);
    }

    void exitOpensTheClosingPageOnceAndEndsTheProgram()
    {
        SampleRig rig;
        rig.window.show();
        rig.menu("mnuExit")->trigger();
        QVERIFY(!rig.window.isVisible());
        QCOMPARE(rig.desktop.opened, QStringList{QString::fromLatin1(config::ClosingPageUrl)});
        QCOMPARE(rig.desktop.exits, 1);
    }

    void footerShowsTheSiteAndOpensTheProductPage()
    {
        SampleRig rig;
        rig.window.show();
        auto *footer = rig.find<QLabel>("LabelSiteFooter");
        QCOMPARE(footer->text(), QString::fromLatin1(config::MakerSiteAddress));
        QCOMPARE(footer->cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseClick(footer, Qt::LeftButton);
        QCOMPARE(rig.desktop.opened, QStringList{QString::fromLatin1(config::ProductPageUrl)});
        // The address shown is not the page opened.
        QVERIFY(QString::fromLatin1(config::MakerSiteAddress) != QString::fromLatin1(config::ProductPageUrl));

        // Clicking the other labels of the banner and footer does nothing.
        QTest::mouseClick(rig.find<QLabel>("Label49"), Qt::LeftButton);
        QTest::mouseClick(rig.find<QLabel>("Label1"), Qt::LeftButton);
        QCOMPARE(rig.desktop.opened.size(), 1);
    }

    void visitWebsiteOpensTheProductPage()
    {
        SampleRig rig;
        rig.menu("mnuWebsite")->trigger();
        QCOMPARE(rig.desktop.opened, QStringList{QString::fromLatin1(config::ProductPageUrl)});
    }

    void contentsOpensTheHelpBesideTheProgram()
    {
        SampleRig rig;
        rig.menu("mnuContents")->trigger();
        QCOMPARE(rig.desktop.helpPaths,
                 QStringList{QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + "/Help.html")});
        QVERIFY(rig.desktop.opened.isEmpty());
    }

    void aboutIsModalAndOnlyOkClosesIt()
    {
        SampleRig rig;
        rig.window.show();
        int showings = 0;
        rig.desktop.onModal = [&](QDialog &dialog) {
            ++showings;
            QVERIFY(qobject_cast<DocAbout *>(&dialog));
            QCOMPARE(dialog.parentWidget(), &rig.window);
            QVERIFY(dialog.isModal());
            auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("CmdOK"));
            QVERIFY(ok);
            QCOMPARE(dialog.focusWidget(), ok);
            QVERIFY(!ok->isDefault());
            QVERIFY(!ok->autoDefault());

            QTest::keyClick(ok, Qt::Key_Escape);
            QVERIFY2(dialog.isVisible(), "Escape closed the About box");
            // Clicking the address does nothing.
            QTest::mouseClick(dialog.findChild<QLabel *>(QStringLiteral("Label1")), Qt::LeftButton);
            QVERIFY(dialog.isVisible());

            QTest::keyClick(ok, showings == 1 ? Qt::Key_Return : Qt::Key_Space);
            QVERIFY2(!dialog.isVisible(), showings == 1 ? "Enter left it open" : "Space left it open");
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        };
        rig.menu("mnuAbout")->trigger();
        rig.menu("mnuAbout")->trigger();
        QCOMPARE(showings, 2);
        QCOMPARE(rig.desktop.modalWindows, (QStringList{QStringLiteral("DocAbout"), QStringLiteral("DocAbout")}));
        QVERIFY(rig.desktop.opened.isEmpty());
    }

    void browseDuringAScanIsIgnored()
    {
        MemoryRig rig;
        rig.desktop.onYield = [&](int yield) {
            if (yield == 4) {
                QVERIFY(rig.window.isScanning());
                rig.browse()->click();
                rig.menu("mnuOpen")->trigger();
            }
        };
        rig.browse()->click();
        QCOMPARE(rig.desktop.openFileDialogs.size(), 1);
        const QStringList log = rig.window.logLines();
        QCOMPARE(log.size(), qsizetype(10));
        QCOMPARE(log.last(), QStringLiteral("3 : Cy Moss - cy@example.com"));
        QCOMPARE(rig.desktop.messages.size(), 1);
        QCOMPARE(rig.desktop.messages[0].text, q(Messages::ScanCompleted));
        QCOMPARE(rig.notes.live, 0);
        QVERIFY(rig.proceed()->isEnabled());
    }

    void closingDuringAScanStopsItThenCloses()
    {
        MemoryRig rig;
        rig.window.show();
        bool closedAtOnce = true;
        int liveAtClose = -1;
        rig.desktop.onYield = [&](int yield) {
            if (yield == 4) {
                closedAtOnce = rig.window.close();
                liveAtClose = rig.notes.live;
            }
        };
        rig.browse()->click();
        QVERIFY(!closedAtOnce);  // the close waited for the scan
        QVERIFY(liveAtClose > 0); // which held the book then
        QCOMPARE(rig.notes.live, 0);
        QVERIFY(rig.desktop.messages.isEmpty());
        QVERIFY(!rig.window.isVisible());
        QVERIFY(!rig.window.isScanning());
        QCOMPARE(rig.desktop.opened, QStringList{QString::fromLatin1(config::ClosingPageUrl)});
        QVERIFY(!rig.proceed()->isEnabled());
        // The listing stopped where it was.
        QCOMPARE(rig.window.logLines().last(), QStringLiteral("1 : Ann Q Carter - ann@example.com"));
    }

    void exitDuringAScanEndsEverything()
    {
        MemoryRig rig;
        rig.window.show();
        rig.desktop.onYield = [&](int yield) {
            if (yield == 4)
                rig.menu("mnuExit")->trigger();
        };
        rig.browse()->click();
        QCOMPARE(rig.notes.live, 0);
        QVERIFY(rig.desktop.messages.isEmpty());
        QVERIFY(!rig.window.isVisible());
        QCOMPARE(rig.desktop.opened, QStringList{QString::fromLatin1(config::ClosingPageUrl)});
        QCOMPARE(rig.desktop.exits, 1);
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
