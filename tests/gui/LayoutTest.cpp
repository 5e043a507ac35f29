// Where every control of the three windows sits, what it says, and how it is drawn.

#include "RecordingDesktop.h"
#include "TarnwickConfig.h"
#include "qt/DocAbout.h"
#include "qt/FrmMain.h"
#include "qt/FrmConversion.h"
#include "notes/NotesSessionFactory.h"
#include "notes/SharedState.h"

#include <QAbstractButton>
#include <QAction>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using namespace tarnwick;

namespace {

struct Control
{
    const char *name;
    const char *parent; // objectName of the widget it is placed in
    QRect geometry;
};

enum class Face { Tahoma, TahomaBold, Verdana, VerdanaBold, VerdanaLarge };

struct Text
{
    const char *name;
    QString text;
    Face face;
};

QWidget *child(QWidget &window, const char *name)
{
    if (window.objectName() == QLatin1String(name))
        return &window;
    auto *w = window.findChild<QWidget *>(QString::fromLatin1(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

QString textOf(QWidget *w)
{
    if (auto *label = qobject_cast<QLabel *>(w))
        return label->text();
    if (auto *button = qobject_cast<QAbstractButton *>(w))
        return button->text();
    if (auto *box = qobject_cast<QGroupBox *>(w))
        return box->title();
    return QStringLiteral("<no text>");
}

void checkFont(const char *name, const QFont &font, Face face)
{
    const bool verdana = face == Face::Verdana || face == Face::VerdanaBold || face == Face::VerdanaLarge;
    const bool bold = face == Face::TahomaBold || face == Face::VerdanaBold || face == Face::VerdanaLarge;
    const qreal size = face == Face::VerdanaLarge ? 14.25 : 8.25;
    QVERIFY2(font.family() == (verdana ? QLatin1String("Verdana") : QLatin1String("Tahoma")), name);
    QVERIFY2(qFuzzyCompare(font.pointSizeF(), size), name);
    QVERIFY2(font.bold() == bold, name);
}

void checkLayout(QWidget &window, const QList<Control> &controls, const QList<Text> &texts)
{
    for (const Control &c : controls) {
        QWidget *w = child(window, c.name);
        QVERIFY2(w->parentWidget() && w->parentWidget()->objectName() == QLatin1String(c.parent), c.name);
        if (w->geometry() != c.geometry)
            QFAIL(qPrintable(QStringLiteral("%1 at %2,%3 %4x%5")
                                 .arg(QLatin1String(c.name))
                                 .arg(w->x())
                                 .arg(w->y())
                                 .arg(w->width())
                                 .arg(w->height())));
    }
    for (const Text &t : texts) {
        QWidget *w = child(window, t.name);
        QCOMPARE(textOf(w), t.text);
        checkFont(t.name, w->font(), t.face);
    }
}

QColor textColour(QWidget &window, const char *name)
{
    return child(window, name)->palette().color(QPalette::WindowText);
}

QColor fill(QWidget &window, const char *name)
{
    QWidget *w = child(window, name);
    return w->autoFillBackground() ? w->palette().color(QPalette::Window) : QColor();
}

Qt::Alignment alignment(QWidget &window, const char *name)
{
    return qobject_cast<QLabel *>(child(window, name))->alignment() & Qt::AlignHorizontal_Mask;
}

void checkDialogFrame(QWidget &window)
{
    const Qt::WindowFlags flags = window.windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(flags & Qt::WindowTitleHint);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(!window.windowIcon().isNull());
}

const QColor Parchment(238, 238, 224);

} // namespace

class LayoutTest : public QObject
{
    Q_OBJECT

private slots:
    void mainWindow()
    {
        RecordingDesktop desktop;
        notes::NotesSessionFactory notes;
        SharedState state;
        FrmMain window(desktop, notes, state);
        window.show();

        QCOMPARE(window.windowTitle(), QStringLiteral("Tarnwick"));
        checkDialogFrame(window);
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QWidget *client = window.centralWidget();
        QCOMPARE(client->size(), QSize(514, 377));
        QCOMPARE(client->y(), window.menuBar()->geometry().bottom() + 1);
        QCOMPARE(window.size(), QSize(514, window.menuBar()->height() + 377));
        QCOMPARE(fill(window, "FrmMainClient"), Parchment);
        // A window of its own, not a tool window, which would change how it is decorated and stacked.
        QCOMPARE(window.windowFlags() & Qt::WindowType_Mask, Qt::Window);

        checkLayout(window,
                    {{"Picture1", "FrmMainClient", {0, 0, 514, 66}},
                     {"Image2", "Picture1", {16, 8, 48, 48}},
                     {"Label4", "Picture1", {72, 6, 58, 13}},
                     {"Label1", "Picture1", {72, 16, 335, 23}},
                     {"Label2", "Picture1", {72, 40, 252, 13}},
                     {"Image1", "Picture1", {-80, 64, 713, 2}},
                     {"Label3", "FrmMainClient", {16, 72, 309, 13}},
                     {"txtNotesDatabaseFile", "FrmMainClient", {16, 88, 385, 25}},
                     {"CmdBrowse", "FrmMainClient", {408, 88, 89, 25}},
                     {"FrameContacts", "FrmMainClient", {16, 128, 481, 169}},
                     {"txtProgressDetails", "FrameContacts", {8, 24, 465, 129}},
                     {"CmdContactsCreate", "FrmMainClient", {184, 304, 153, 28}},
                     {"Shape1", "FrmMainClient", {0, 344, 713, 33}},
                     {"Label49", "FrmMainClient", {8, 352, 113, 17}},
                     {"LabelSiteFooter", "FrmMainClient", {328, 352, 177, 17}}},
                    {{"Label4", QStringLiteral("Korvane"), Face::VerdanaBold},
                     {"Label1", QStringLiteral("Tarnwick"), Face::VerdanaLarge},
                     {"Label3", QStringLiteral("Select Lotus Notes Address Book"), Face::Tahoma},
                     {"CmdBrowse", QStringLiteral("&Browse..."), Face::Tahoma},
                     {"FrameContacts", QStringLiteral("Progress Details"), Face::Tahoma},
                     {"CmdContactsCreate", QStringLiteral("&Proceed to Conversion >"), Face::Tahoma},
                     {"Label49", QStringLiteral("Korvane Software"), Face::TahomaBold},
                     {"LabelSiteFooter", QString::fromLatin1(config::MakerSiteAddress), Face::Tahoma}});
        checkFont("Label2", child(window, "Label2")->font(), Face::Tahoma);
        checkFont("txtProgressDetails", child(window, "txtProgressDetails")->font(), Face::Tahoma);

        // One line of description that fits its label.
        auto *description = qobject_cast<QLabel *>(child(window, "Label2"));
        QVERIFY(!description->text().isEmpty());
        QVERIFY(!description->text().contains(QLatin1Char('\n')));
        QVERIFY(QFontMetrics(description->font()).horizontalAdvance(description->text()) <= 252);

        QCOMPARE(textColour(window, "Label1"), QColor(192, 0, 0));
        QCOMPARE(textColour(window, "Label3"), QColor(Qt::black));
        QCOMPARE(textColour(window, "Label49"), QColor(0, 0, 128));
        QCOMPARE(textColour(window, "LabelSiteFooter"), QColor(0, 0, 192));
        QCOMPARE(alignment(window, "LabelSiteFooter"), Qt::AlignRight);
        QVERIFY(!child(window, "LabelSiteFooter")->font().underline());
        QCOMPARE(fill(window, "Shape1"), QColor(128, 128, 255));
        QCOMPARE(fill(window, "Picture1"), QApplication::palette().color(QPalette::Base));
        QCOMPARE(child(window, "txtProgressDetails")->palette().color(QPalette::Base), Parchment);
        QVERIFY(qobject_cast<QLabel *>(child(window, "Image1"))->hasScaledContents());
        QCOMPARE(qobject_cast<QLabel *>(child(window, "Image2"))->pixmap().size(), QSize(48, 48));
        for (const char *label : {"Label4", "Label1", "Label2", "Label3", "Label49", "LabelSiteFooter"})
            QVERIFY2(!child(window, label)->autoFillBackground(), label);

        // Menus: captions and items exactly, no access keys, no key shortcuts.
        const QList<QAction *> menus = window.menuBar()->actions();
        QCOMPARE(menus.size(), 2);
        QCOMPARE(menus[0]->menu()->objectName(), QStringLiteral("mnuFile"));
        QCOMPARE(menus[0]->text(), QStringLiteral("File"));
        QCOMPARE(menus[1]->menu()->objectName(), QStringLiteral("mnuHelp"));
        QCOMPARE(menus[1]->text(), QStringLiteral("Help"));
        const auto items = [](QAction *menu) {
            QStringList list;
            for (QAction *item : menu->menu()->actions()) {
                list << item->objectName() + QLatin1Char('=') + (item->isSeparator() ? QStringLiteral("-") : item->text());
                if (!item->shortcut().isEmpty())
                    list << QStringLiteral("shortcut!");
            }
            return list;
        };
        QCOMPARE(items(menus[0]), (QStringList{QStringLiteral("mnuOpen=Open Notes Address Book File"),
                                               QStringLiteral("mnuSep=-"), QStringLiteral("mnuExit=Exit")}));
        QCOMPARE(items(menus[1]),
                 (QStringList{QStringLiteral("mnuContents=Contents"), QStringLiteral("mnuWebsite=Visit Website"),
                              QStringLiteral("mnuSep2=-"), QStringLiteral("mnuAbout=About")}));

        // Keyboard: Alt+B and Alt+P, and Tab from the path to Browse to Proceed.
        QCOMPARE(qobject_cast<QAbstractButton *>(child(window, "CmdBrowse"))->shortcut(),
                 QKeySequence(Qt::ALT | Qt::Key_B));
        QCOMPARE(qobject_cast<QAbstractButton *>(child(window, "CmdContactsCreate"))->shortcut(),
                 QKeySequence(Qt::ALT | Qt::Key_P));
        QWidget *path = child(window, "txtNotesDatabaseFile");
        QStringList chain;
        QWidget *w = path;
        do {
            if (w->focusPolicy() & Qt::TabFocus)
                chain << w->objectName();
            w = w->nextInFocusChain();
        } while (w != path);
        QCOMPARE(chain, (QStringList{QStringLiteral("txtNotesDatabaseFile"), QStringLiteral("CmdBrowse"),
                                     QStringLiteral("CmdContactsCreate")}));

        // Centred on the screen.
        const QRect screen = window.screen()->availableGeometry();
        QVERIFY(qAbs(window.geometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(window.geometry().center().y() - screen.center().y()) <= 1);
    }

    void aboutBox()
    {
        QWidget owner;
        owner.setObjectName(QStringLiteral("owner"));
        DocAbout about(&owner);
        QCOMPARE(about.windowTitle(), QStringLiteral("About"));
        checkDialogFrame(about);
        QCOMPARE(about.size(), QSize(423, 193));
        QCOMPARE(about.minimumSize(), about.maximumSize());
        QCOMPARE(fill(about, "DocAbout"), QColor(Qt::white));
        checkLayout(about,
                    {{"Label4", "DocAbout", {24, 8, 58, 13}},
                     {"Label5", "DocAbout", {24, 18, 335, 23}},
                     {"Label6", "DocAbout", {24, 42, 252, 13}},
                     {"Label3", "DocAbout", {80, 72, 249, 17}},
                     {"Label2", "DocAbout", {80, 96, 249, 17}},
                     {"Label1", "DocAbout", {104, 128, 209, 17}},
                     {"Line1", "DocAbout", {8, 152, 408, 1}},
                     {"CmdOK", "DocAbout", {168, 160, 81, 25}}},
                    {{"Label4", QStringLiteral("Korvane"), Face::VerdanaBold},
                     {"Label5", QStringLiteral("Tarnwick"), Face::VerdanaLarge},
                     {"Label3", QStringLiteral("Version 3.0 Build 1309"), Face::Tahoma},
                     {"Label2", QStringLiteral("Korvane Software"), Face::Tahoma},
                     {"Label1", QString::fromLatin1(config::MakerSiteAddress), Face::TahomaBold},
                     {"CmdOK", QStringLiteral("OK"), Face::TahomaBold}});
        checkFont("Label6", child(about, "Label6")->font(), Face::Tahoma);
        QCOMPARE(textColour(about, "Label5"), QColor(192, 0, 0));
        QCOMPARE(fill(about, "Line1"), QColor(224, 224, 224));
        QCOMPARE(alignment(about, "Label3"), Qt::AlignHCenter);
        QCOMPARE(alignment(about, "Label2"), Qt::AlignHCenter);

        // Same description as the main window's banner.
        RecordingDesktop desktop;
        notes::NotesSessionFactory notes;
        SharedState state;
        FrmMain window(desktop, notes, state);
        QCOMPARE(qobject_cast<QLabel *>(child(about, "Label6"))->text(),
                 qobject_cast<QLabel *>(child(window, "Label2"))->text());

        // The button is the only control that takes the focus.
        QStringList focusable;
        for (QWidget *w : about.findChildren<QWidget *>())
            if (w->focusPolicy() != Qt::NoFocus)
                focusable << w->objectName();
        QCOMPARE(focusable, QStringList{QStringLiteral("CmdOK")});
    }

    void fieldChoiceWindow()
    {
        RecordingDesktop desktop;
        notes::NotesSessionFactory notes;
        SharedState state;
        FrmConversion window(desktop, notes, state, {}, nullptr);
        QCOMPARE(window.windowTitle(), QStringLiteral("Choose Contacts Fields"));
        checkDialogFrame(window);
        QCOMPARE(window.size(), QSize(304, 317));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QCOMPARE(fill(window, "FrmConversion"), Parchment);
        checkLayout(window,
                    {{"Label1", "FrmConversion", {16, 8, 273, 17}},
                     {"ChkSelectAll", "FrmConversion", {16, 32, 73, 17}},
                     {"LstContactsField", "FrmConversion", {16, 56, 273, 154}},
                     {"ProgBarSave", "FrmConversion", {16, 216, 273, 17}},
                     {"ImgOpenExcelFile", "FrmConversion", {56, 248, 16, 16}},
                     {"LblOpenExcelFile", "FrmConversion", {80, 248, 206, 17}},
                     {"Line1", "FrmConversion", {8, 272, 288, 1}},
                     {"CmdConversion", "FrmConversion", {88, 280, 129, 29}}},
                    {{"Label1", QStringLiteral("Select the fields you wish to export to GMAIL contacts :"), Face::Tahoma},
                     {"ChkSelectAll", QStringLiteral("Select &All"), Face::Tahoma},
                     {"LblOpenExcelFile", QStringLiteral("Open Exported Contacts File"), Face::VerdanaBold},
                     {"CmdConversion", QStringLiteral("&Start Conversion >"), Face::Tahoma}});
        checkFont("LstContactsField", child(window, "LstContactsField")->font(), Face::Tahoma);
        QCOMPARE(textColour(window, "LblOpenExcelFile"), QColor(0, 0, 255));
        QCOMPARE(child(window, "LblOpenExcelFile")->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(fill(window, "Line1"), QColor(192, 192, 192));
        QCOMPARE(qobject_cast<QLabel *>(child(window, "ImgOpenExcelFile"))->pixmap().size(), QSize(16, 16));
        QCOMPARE(qobject_cast<QAbstractButton *>(child(window, "ChkSelectAll"))->shortcut(),
                 QKeySequence(Qt::ALT | Qt::Key_A));
        QCOMPARE(qobject_cast<QAbstractButton *>(child(window, "CmdConversion"))->shortcut(),
                 QKeySequence(Qt::ALT | Qt::Key_S));
        QVERIFY(!qobject_cast<QPushButton *>(child(window, "CmdConversion"))->isDefault());
    }
};

QTEST_MAIN(LayoutTest)
#include "LayoutTest.moc"
