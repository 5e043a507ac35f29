// The field-choice window: ticking columns, and the export run it hosts.

#include "MemoryNotes.h"
#include "RecordingDesktop.h"
#include "qt/FrmMain.h"
#include "export/ColumnCatalogue.h"
#include "qt/FrmConversion.h"
#include "notes/Messages.h"
#include "notes/NotesSessionFactory.h"
#include "notes/SharedState.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tarnwick;

namespace {

const QString SampleBook = QStringLiteral(TARNWICK_FIXTURES "/sample-book.dxl");
const QString MemoryBook = QStringLiteral("/books/names.nsf");

QString q(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

template <typename T>
T *find(QWidget &window, const char *name)
{
    T *child = window.findChild<T *>(QString::fromLatin1(name));
    if (!child)
        qFatal("no control %s", name);
    return child;
}

// The window on its own, as the main window opens it, with the main window's path box and
// proceed button stood in for.
template <typename Notes>
struct Rig
{
    RecordingDesktop desktop;
    Notes notes;
    SharedState state;
    QString book = SampleBook;
    bool proceedEnabled = true;
    FrmConversion window{desktop, notes, state,
                         {[this] { return book.toStdString(); }, [this](bool enabled) { proceedEnabled = enabled; }},
                         nullptr};

    QListWidget *list() { return find<QListWidget>(window, "LstContactsField"); }
    QCheckBox *selectAll() { return find<QCheckBox>(window, "ChkSelectAll"); }
    QProgressBar *bar() { return find<QProgressBar>(window, "ProgBarSave"); }
    QPushButton *start() { return find<QPushButton>(window, "CmdConversion"); }
    QLabel *link() { return find<QLabel>(window, "LblOpenExcelFile"); }
    QLabel *icon() { return find<QLabel>(window, "ImgOpenExcelFile"); }

    int ticked()
    {
        int n = 0;
        for (int i = 0; i < list()->count(); ++i)
            n += list()->item(i)->checkState() == Qt::Checked ? 1 : 0;
        return n;
    }
    void tick(int row) { list()->item(row)->setCheckState(Qt::Checked); }
};

using SampleRig = Rig<notes::NotesSessionFactory>;

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void verifyDesignState(QDialog &window)
{
    auto *list = find<QListWidget>(window, "LstContactsField");
    QCOMPARE(list->count(), 28);
    for (int i = 0; i < list->count(); ++i)
        QCOMPARE(list->item(i)->checkState(), Qt::Unchecked);
    QVERIFY(!find<QCheckBox>(window, "ChkSelectAll")->isChecked());
    QCOMPARE(find<QProgressBar>(window, "ProgBarSave")->value(), 0);
    QVERIFY(find<QPushButton>(window, "CmdConversion")->isEnabled());
    QVERIFY(!find<QLabel>(window, "LblOpenExcelFile")->isVisibleTo(&window));
    QVERIFY(!find<QLabel>(window, "ImgOpenExcelFile")->isVisibleTo(&window));
}

} // namespace

class ConversionWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void listsTheCatalogueUnsorted()
    {
        SampleRig rig;
        verifyDesignState(rig.window);
        const auto &columns = ColumnCatalogue::columns();
        for (int i = 0; i < rig.list()->count(); ++i)
            QCOMPARE(rig.list()->item(i)->text(), q(columns[static_cast<std::size_t>(i)].header));
        QVERIFY(!rig.list()->isSortingEnabled());
    }

    void selectAllTicksAndClearsEverything()
    {
        SampleRig rig;
        rig.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&rig.window));
        rig.tick(3);
        rig.tick(27);

        QTest::mouseClick(rig.selectAll(), Qt::LeftButton);
        QVERIFY(rig.selectAll()->isChecked());
        QCOMPARE(rig.ticked(), 28);

        // Unticking one by hand leaves the box as it is.
        rig.list()->item(5)->setCheckState(Qt::Unchecked);
        QVERIFY(rig.selectAll()->isChecked());
        QCOMPARE(rig.ticked(), 27);

        rig.tick(5);
        QTest::mouseClick(rig.selectAll(), Qt::LeftButton);
        QVERIFY(!rig.selectAll()->isChecked());
        QCOMPARE(rig.ticked(), 0);

        // Ticking by hand does not tick the box either; its access key works like a click.
        rig.tick(0);
        QVERIFY(!rig.selectAll()->isChecked());
        QTest::keyClick(&rig.window, Qt::Key_A, Qt::AltModifier);
        QTRY_VERIFY(rig.selectAll()->isChecked()); // an access key animates the click
        QCOMPARE(rig.ticked(), 28);
    }

    void startsWithFocusOnTheButtonAndTabsThroughTheControls()
    {
        SampleRig rig;
        rig.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&rig.window));
        QCOMPARE(QApplication::focusWidget(), rig.start());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), rig.list());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), rig.selectAll());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), rig.start());
    }

    void everyOpeningShowsTheDesignState()
    {
        RecordingDesktop desktop;
        notes::NotesSessionFactory notes;
        SharedState state;
        FrmMain main(desktop, notes, state);
        desktop.openFileAnswers = {SampleBook};
        main.CmdBrowse_Click();
        auto *proceed = find<QPushButton>(main, "CmdContactsCreate");
        QVERIFY(proceed->isEnabled());

        int openings = 0;
        desktop.onModal = [&](QDialog &window) {
            ++openings;
            QVERIFY(qobject_cast<FrmConversion *>(&window));
            QCOMPARE(window.parentWidget(), &main);
            QVERIFY(window.isModal());
            verifyDesignState(window);
            find<QCheckBox>(window, "ChkSelectAll")->click();
            find<QLabel>(window, "LblOpenExcelFile")->show();
        };
        proceed->click();
        proceed->click();
        QCOMPARE(openings, 2);
        QCOMPARE(desktop.modalWindows, (QStringList{QStringLiteral("FrmConversion"), QStringLiteral("FrmConversion")}));
    }

    void cancelledFolderEndsSilently()
    {
        SampleRig rig;
        rig.state.ExportFilePath = "/earlier/GMAILContacts.csv";
        rig.selectAll()->click();
        rig.start()->click();
        QCOMPARE(rig.desktop.folderTitles, QStringList{q(Messages::FolderTitle)});
        QVERIFY(rig.desktop.messages.isEmpty());
        QCOMPARE(rig.state.ExportFilePath, std::string("/earlier/GMAILContacts.csv"));
        QVERIFY(rig.start()->isEnabled());
        QVERIFY(rig.proceedEnabled);
        QVERIFY(!rig.link()->isVisibleTo(&rig.window));
    }

    void nothingTickedAsksForAFolderFirst()
    {
        SampleRig rig;
        QTemporaryDir folder;
        rig.desktop.folderAnswers = {folder.path()};
        rig.start()->click();
        QCOMPARE(rig.desktop.folderTitles.size(), 1);
        QCOMPARE(rig.desktop.messages.size(), 1);
        QCOMPARE(rig.desktop.messages[0].text, QStringLiteral("Please select fields to be exported"));
        QCOMPARE(rig.desktop.messages[0].title, QStringLiteral("Select Fields"));
        QCOMPARE(rig.desktop.messages[0].owner, &rig.window);
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("GMAILContacts.csv"))));
        QVERIFY(rig.start()->isEnabled());
    }

    void completedRunWritesTheFileAndOffersIt()
    {
        SampleRig rig;
        QTemporaryDir folder;
        rig.desktop.folderAnswers = {folder.path()};
        rig.state.TotalContacts = 37;
        QSignalSpy moves(rig.bar(), &QProgressBar::valueChanged);
        rig.window.show();
        rig.selectAll()->click();
        rig.start()->click();

        const QString written = folder.filePath(QStringLiteral("GMAILContacts.csv"));
        QCOMPARE(rig.desktop.messages.size(), 1);
        QCOMPARE(rig.desktop.messages[0].text, QStringLiteral("37 Contacts Saved Successfully"));
        QCOMPARE(rig.desktop.messages[0].title, QStringLiteral("Conversion Completed..."));
        QCOMPARE(readFile(written), readFile(QStringLiteral(TARNWICK_FIXTURES "/sample-book.all.csv")));
        QCOMPARE(QString::fromStdString(rig.state.ExportFilePath), written);

        QVERIFY(!rig.start()->isEnabled());
        QVERIFY(!rig.proceedEnabled);
        QVERIFY(rig.link()->isVisible());
        QVERIFY(rig.icon()->isVisible());
        QCOMPARE(rig.bar()->minimum(), 0);
        QCOMPARE(rig.bar()->maximum(), 37);
        QList<int> expected;
        for (int n = 2; n <= 37; ++n)
            expected.append(n);
        QList<int> seen;
        for (const auto &move : moves)
            seen.append(move.at(0).toInt());
        QCOMPARE(seen, expected);

        // The link opens the written file, as often as the user likes; the icon beside it
        // does not react.
        QTest::mouseClick(rig.icon(), Qt::LeftButton);
        QTest::mouseClick(rig.link(), Qt::LeftButton);
        QTest::mouseClick(rig.link(), Qt::LeftButton);
        QCOMPARE(rig.desktop.opened, (QStringList{written, written}));
    }

    void oneContactNeverMovesTheBar()
    {
        Rig<MemoryNotes> rig;
        rig.book = MemoryBook;
        rig.notes.books[MemoryBook.toStdString()].people = {MemoryNotes::contact("Ann", "", "Lee", "ann@example.com")};
        rig.state.TotalContacts = 1;
        QTemporaryDir folder;
        rig.desktop.folderAnswers = {folder.path()};
        QSignalSpy moves(rig.bar(), &QProgressBar::valueChanged);
        rig.tick(0);
        rig.start()->click();
        QCOMPARE(rig.desktop.messages.size(), 1);
        QCOMPARE(rig.desktop.messages[0].text, QStringLiteral("1 Contacts Saved Successfully"));
        QCOMPARE(moves.count(), 0);
        QCOMPARE(rig.bar()->value(), 0);
        QCOMPARE(readFile(folder.filePath(QStringLiteral("GMAILContacts.csv"))), QByteArray("First Name,\r\nAnn,\r\n"));
    }

    void barKeepsARangeAndClampsWhenTheBookGrew()
    {
        Rig<MemoryNotes> rig;
        rig.book = MemoryBook;
        rig.notes.books[MemoryBook.toStdString()].people = {MemoryNotes::contact("Ann", "", "Lee", ""),
                                                            MemoryNotes::contact("Bob", "", "Lee", ""),
                                                            MemoryNotes::contact("Cy", "", "Lee", "")};
        rig.state.TotalContacts = 0; // the scan did not count these
        QTemporaryDir folder;
        rig.desktop.folderAnswers = {folder.path()};
        rig.tick(1);
        rig.start()->click();
        QCOMPARE(rig.desktop.messages.size(), 1);
        QCOMPARE(rig.desktop.messages[0].text, QStringLiteral("3 Contacts Saved Successfully"));
        QCOMPARE(rig.bar()->minimum(), 0);
        QCOMPARE(rig.bar()->maximum(), 1);
        QCOMPARE(rig.bar()->value(), 1);
    }
};

QTEST_MAIN(ConversionWindowTest)
#include "ConversionWindowTest.moc"
