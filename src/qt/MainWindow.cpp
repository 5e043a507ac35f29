#include "MainWindow.h"

#include "ClickableLabel.h"
#include "TarnwickConfig.h"
#include "TaskbarHint.h"
#include "WindowLook.h"
#include "ui/FrmMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

namespace tarnwick {

namespace {

QAction *addItem(QMenu *menu, const char *name, const QString &text)
{
    QAction *action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    // Keeps "About" and "Exit" where they are on platforms that move such items.
    action->setMenuRole(QAction::NoRole);
    return action;
}

} // namespace

MainWindow::MainWindow(ui::FrmMain &window, QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                              Qt::WindowSystemMenuHint)
    , m_window(window)
{
    look::prepare();
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(QStringLiteral("Tarnwick"));
    QIcon icon;
    for (const char *file : {":/icon-32.png", ":/icon-48.png", ":/icon-256.png"})
        icon.addFile(QString::fromLatin1(file));
    setWindowIcon(icon);

    buildMenus();
    buildClientArea();

    // The client area is fixed; the window is as large as it and the menu bar need.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    centreOnScreen();
    m_window.attach(*this);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenus()
{
    mnuFile = menuBar()->addMenu(QStringLiteral("File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuOpen = addItem(mnuFile, "mnuOpen", QStringLiteral("Open Notes Address Book File"));
    mnuExportVCard = addItem(mnuFile, "mnuExportVCard", QStringLiteral("Export as vCard..."));
    mnuExportVCard->setEnabled(false);
    mnuSep3 = mnuFile->addSeparator();
    mnuSep3->setObjectName(QStringLiteral("mnuSep3"));
    mnuSplitForGoogle = addItem(mnuFile, "mnuSplitForGoogle", QString::fromLatin1(ui::FrmMain::SplitForGoogleItem));
    mnuSplitForGoogle->setCheckable(true);
    mnuSep = mnuFile->addSeparator();
    mnuSep->setObjectName(QStringLiteral("mnuSep"));
    mnuExit = addItem(mnuFile, "mnuExit", QStringLiteral("Exit"));

    mnuHelp = menuBar()->addMenu(QStringLiteral("Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuContents = addItem(mnuHelp, "mnuContents", QStringLiteral("Contents"));
    mnuWebsite = addItem(mnuHelp, "mnuWebsite", QStringLiteral("Visit Website"));
    mnuSep2 = mnuHelp->addSeparator();
    mnuSep2->setObjectName(QStringLiteral("mnuSep2"));
    mnuAbout = addItem(mnuHelp, "mnuAbout", QStringLiteral("About"));

    connect(mnuOpen, &QAction::triggered, this, [this] { m_window.mnuOpen_Click(); });
    connect(mnuExportVCard, &QAction::triggered, this, [this] { m_window.mnuExportVCard_Click(); });
    connect(mnuSplitForGoogle, &QAction::triggered, this, [this] { m_window.mnuSplitForGoogle_Click(); });
    connect(mnuExit, &QAction::triggered, this, [this] { m_window.mnuExit_Click(); });
    connect(mnuContents, &QAction::triggered, this, [this] { m_window.mnuContents_Click(); });
    connect(mnuWebsite, &QAction::triggered, this, [this] { m_window.mnuWebsite_Click(); });
    connect(mnuAbout, &QAction::triggered, this, [this] { m_window.mnuAbout_Click(); });
}

void MainWindow::buildClientArea()
{
    using look::makeLabel;

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("FrmMainClient"));
    client->setFixedSize(514, 377);
    client->setFont(look::tahoma());
    look::fillBackground(*client, look::Parchment);
    setCentralWidget(client);

    // The banner, on the system's window colour.
    Picture1 = new QWidget(client);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    look::fillBackground(*Picture1, QApplication::palette().color(QPalette::Base));
    Picture1->setGeometry(0, 0, 514, 66);

    Image2 = new QLabel(Picture1);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setPixmap(QPixmap(QStringLiteral(":/logo.png")));
    Image2->setGeometry(16, 8, 48, 48);

    Label4 = makeLabel(Picture1, "Label4", QStringLiteral("Korvane"), {72, 6, 58, 13}, look::verdana(8.25, true));
    Label1 = makeLabel(Picture1, "Label1", QStringLiteral("Tarnwick"), {72, 16, 335, 23}, look::verdana(14.25, true));
    look::setTextColour(*Label1, QColor(192, 0, 0));
    Label2 = makeLabel(Picture1, "Label2", look::description(), {72, 40, 252, 13}, look::tahoma());

    Image1 = new QLabel(Picture1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(QPixmap(QStringLiteral(":/strip.png")));
    Image1->setScaledContents(true);
    Image1->setGeometry(-80, 64, 713, 2);

    Label3 = makeLabel(client, "Label3", QStringLiteral("Select Lotus Notes Address Book"), {16, 72, 309, 13},
                       look::tahoma());
    look::setTextColour(*Label3, Qt::black);

    txtNotesDatabaseFile = new QLineEdit(client);
    txtNotesDatabaseFile->setObjectName(QStringLiteral("txtNotesDatabaseFile"));
    txtNotesDatabaseFile->setGeometry(16, 88, 385, 25);

    CmdBrowse = new QPushButton(QStringLiteral("&Browse..."), client);
    CmdBrowse->setObjectName(QStringLiteral("CmdBrowse"));
    CmdBrowse->setGeometry(408, 88, 89, 25);

    FrameContacts = new QGroupBox(QStringLiteral("Progress Details"), client);
    FrameContacts->setObjectName(QStringLiteral("FrameContacts"));
    FrameContacts->setGeometry(16, 128, 481, 169);

    txtProgressDetails = new QPlainTextEdit(FrameContacts);
    txtProgressDetails->setObjectName(QStringLiteral("txtProgressDetails"));
    txtProgressDetails->setGeometry(8, 24, 465, 129);
    txtProgressDetails->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Reached by clicking, not by Tab; and Tab inside it moves on rather than indenting.
    txtProgressDetails->setFocusPolicy(Qt::ClickFocus);
    txtProgressDetails->setTabChangesFocus(true);
    // A scan writes tens of thousands of lines; an undo history of them is of no use.
    txtProgressDetails->setUndoRedoEnabled(false);
    {
        // Every line starts with its number: a name in Arabic or Hebrew must not turn the
        // line round.
        QTextOption option = txtProgressDetails->document()->defaultTextOption();
        option.setTextDirection(Qt::LeftToRight);
        txtProgressDetails->document()->setDefaultTextOption(option);
    }
    {
        QPalette palette = txtProgressDetails->palette();
        palette.setColor(QPalette::Base, look::Parchment);
        txtProgressDetails->setPalette(palette);
    }

    CmdContactsCreate = new QPushButton(QStringLiteral("&Proceed to Conversion >"), client);
    CmdContactsCreate->setObjectName(QStringLiteral("CmdContactsCreate"));
    CmdContactsCreate->setGeometry(184, 304, 153, 28);
    CmdContactsCreate->setEnabled(false);

    Shape1 = look::makeBand(client, "Shape1", {0, 344, 713, 33}, QColor(128, 128, 255));
    Label49 = makeLabel(client, "Label49", QStringLiteral("Korvane Software"), {8, 352, 113, 17}, look::tahoma(true));
    look::setTextColour(*Label49, QColor(0, 0, 128));

    LabelSiteFooter = new ClickableLabel(QString::fromLatin1(config::MakerSiteAddress), client);
    LabelSiteFooter->setObjectName(QStringLiteral("LabelSiteFooter"));
    LabelSiteFooter->setTextFormat(Qt::PlainText);
    LabelSiteFooter->setFont(look::tahoma());
    LabelSiteFooter->setAlignment(Qt::AlignRight | Qt::AlignTop);
    look::setTextColour(*LabelSiteFooter, QColor(0, 0, 192));
    LabelSiteFooter->setCursor(Qt::PointingHandCursor);
    LabelSiteFooter->setGeometry(328, 352, 177, 17);

    setTabOrder(txtNotesDatabaseFile, CmdBrowse);
    setTabOrder(CmdBrowse, CmdContactsCreate);
    txtNotesDatabaseFile->setFocus();

    connect(CmdBrowse, &QPushButton::clicked, this, [this] { m_window.CmdBrowse_Click(); });
    connect(CmdContactsCreate, &QPushButton::clicked, this, [this] { m_window.CmdContactsCreate_Click(); });
    connect(LabelSiteFooter, &ClickableLabel::clicked, this, [this] { m_window.LabelSiteFooter_Click(); });
    connect(txtProgressDetails, &QPlainTextEdit::textChanged, this, &MainWindow::txtProgressDetails_Change);
    connect(txtNotesDatabaseFile, &QLineEdit::textChanged, this, [this] { m_window.txtNotesDatabaseFile_Change(); });
}

void MainWindow::centreOnScreen()
{
    if (const QScreen *where = screen())
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), where->availableGeometry()));
}

void MainWindow::showEvent(QShowEvent *event)
{
    KeepOffTaskbar(*this);
    QMainWindow::showEvent(event);
    // A window manager that leaves windows off the taskbar out of its focus rules
    // (openbox) would map this one without the keyboard, so Alt+B would go nowhere until
    // the user clicked it. Asking for it outright works; Qt sends the request once the
    // window is mapped.
    if (!event->spontaneous())
        activateWindow();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_window.Form_QueryUnload())
        event->accept();
    else
        event->ignore();
}

void MainWindow::txtProgressDetails_Change()
{
    // The newest line stays in view, and typing always continues at the end.
    QTextCursor cursor = txtProgressDetails->textCursor();
    cursor.movePosition(QTextCursor::End);
    txtProgressDetails->setTextCursor(cursor);
}

// --- FrmMainFace ------------------------------------------------------------------------

std::string MainWindow::notesDatabaseFile()
{
    return txtNotesDatabaseFile->text().toStdString();
}

void MainWindow::setNotesDatabaseFile(const std::string &path)
{
    txtNotesDatabaseFile->setText(QString::fromStdString(path));
}

void MainWindow::clearLog()
{
    txtProgressDetails->clear();
}

void MainWindow::appendLog(const std::string &text)
{
    // The text box keeps "\n" alone as its line end.
    QString lines = QString::fromStdString(text);
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QTextCursor end(txtProgressDetails->document());
    end.movePosition(QTextCursor::End);
    end.insertText(lines);
}

void MainWindow::setProceedEnabled(bool enabled)
{
    CmdContactsCreate->setEnabled(enabled);
}

void MainWindow::setExportVCardEnabled(bool enabled)
{
    mnuExportVCard->setEnabled(enabled);
}

void MainWindow::setSplitForGoogleChecked(bool checked)
{
    mnuSplitForGoogle->setChecked(checked);
}

void MainWindow::setCaption(const std::string &caption)
{
    setWindowTitle(QString::fromStdString(caption));
}

void MainWindow::closeWindow()
{
    close();
}

} // namespace tarnwick
