#include "FrmMain.h"

#include "ClickableLabel.h"
#include "Desktop.h"
#include "DocAbout.h"
#include "TarnwickConfig.h"
#include "TaskbarHint.h"
#include "WindowLook.h"
#include "qt/FrmConversion.h"
#include "notes/ContactScan.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
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

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QAction *addItem(QMenu *menu, const char *name, const QString &text)
{
    QAction *action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    // Keeps "About" and "Exit" where they are on platforms that move such items.
    action->setMenuRole(QAction::NoRole);
    return action;
}

} // namespace

FrmMain::FrmMain(Desktop &desktop, notes::SessionFactory &notes, SharedState &state, QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                              Qt::WindowSystemMenuHint)
    , m_desktop(desktop)
    , m_notes(notes)
    , m_state(state)
{
    look::prepare();
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(QStringLiteral("Tarnwick"));
    QIcon icon;
    for (const char *file : {":/icon-32.png", ":/icon-48.png", ":/icon-256.png"})
        icon.addFile(QString::fromLatin1(file));
    setWindowIcon(icon);

    // Filter entries: the DXL reader must be reachable from the dialog as well as Notes.
    CDlg.Filter = QStringLiteral("Lotus Notes Address Book (*.nsf *.dxl);;All files (*)");

    buildMenus();
    buildClientArea();

    // The client area is fixed; the window is as large as it and the menu bar need.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    centreOnScreen();
}

FrmMain::~FrmMain() = default;

void FrmMain::buildMenus()
{
    mnuFile = menuBar()->addMenu(QStringLiteral("File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuOpen = addItem(mnuFile, "mnuOpen", QStringLiteral("Open Notes Address Book File"));
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

    connect(mnuOpen, &QAction::triggered, this, &FrmMain::mnuOpen_Click);
    connect(mnuExit, &QAction::triggered, this, &FrmMain::mnuExit_Click);
    connect(mnuContents, &QAction::triggered, this, &FrmMain::mnuContents_Click);
    connect(mnuWebsite, &QAction::triggered, this, &FrmMain::mnuWebsite_Click);
    connect(mnuAbout, &QAction::triggered, this, &FrmMain::mnuAbout_Click);
}

void FrmMain::buildClientArea()
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

    connect(CmdBrowse, &QPushButton::clicked, this, &FrmMain::CmdBrowse_Click);
    connect(CmdContactsCreate, &QPushButton::clicked, this, &FrmMain::CmdContactsCreate_Click);
    connect(LabelSiteFooter, &ClickableLabel::clicked, this, &FrmMain::LabelSiteFooter_Click);
    connect(txtProgressDetails, &QPlainTextEdit::textChanged, this, &FrmMain::txtProgressDetails_Change);
}

void FrmMain::centreOnScreen()
{
    if (const QScreen *where = screen())
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), where->availableGeometry()));
}

void FrmMain::showEvent(QShowEvent *event)
{
    m_unloaded = false;
    KeepOffTaskbar(*this);
    QMainWindow::showEvent(event);
}

// --- Commands ---------------------------------------------------------------------------

void FrmMain::CmdBrowse_Click()
{
    // A second scan inside the first would pull the book out from under it.
    if (m_scanning)
        return;
    CDlg.ShowOpen(m_desktop, this);
    const QString name = CDlg.FileName();
    CmdContactsCreate->setEnabled(false);
    txtNotesDatabaseFile->setText(name);
    if (!txtNotesDatabaseFile->text().isEmpty())
        ScanLotusNotesContacts();
}

void FrmMain::mnuOpen_Click()
{
    CmdBrowse_Click();
}

void FrmMain::CmdContactsCreate_Click()
{
    // A fresh window each time: every opening starts from nothing ticked.
    FrmConversion conversion(
        m_desktop, m_notes, m_state,
        {[this] { return txtNotesDatabaseFile->text().toStdString(); },
         [this](bool enabled) { CmdContactsCreate->setEnabled(enabled); }},
        this);
    m_desktop.runModal(conversion);
}

void FrmMain::mnuContents_Click()
{
    const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/Help.html");
    m_desktop.openHelp(this, QDir::toNativeSeparators(path));
}

void FrmMain::mnuWebsite_Click()
{
    m_desktop.shellOpen(QString::fromLatin1(config::ProductPageUrl));
}

void FrmMain::LabelSiteFooter_Click()
{
    m_desktop.shellOpen(QString::fromLatin1(config::ProductPageUrl));
}

void FrmMain::mnuAbout_Click()
{
    DocAbout about(this);
    m_desktop.runModal(about);
}

void FrmMain::mnuExit_Click()
{
    m_exiting = true;
    m_stopRequested = true; // a running scan lets go of the book at its next yield
    close();
    m_desktop.exitProgram();
}

void FrmMain::closeEvent(QCloseEvent *event)
{
    if (m_scanning && !m_exiting) {
        // The scan holds the book; it stops at its next yield and the close follows.
        m_stopRequested = true;
        m_closeAfterScan = true;
        event->ignore();
        return;
    }
    if (!m_unloaded) {
        m_unloaded = true;
        Form_QueryUnload();
    }
    event->accept();
}

void FrmMain::Form_QueryUnload()
{
    m_desktop.shellOpen(QString::fromLatin1(config::ClosingPageUrl));
}

void FrmMain::txtProgressDetails_Change()
{
    // The newest line stays in view, and typing always continues at the end.
    QTextCursor cursor = txtProgressDetails->textCursor();
    cursor.movePosition(QTextCursor::End);
    txtProgressDetails->setTextCursor(cursor);
}

QStringList FrmMain::logLines() const
{
    QStringList lines = txtProgressDetails->toPlainText().split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// --- The scan ---------------------------------------------------------------------------

void FrmMain::ScanLotusNotesContacts()
{
    m_scanning = true;
    m_stopRequested = m_exiting;
    m_pendingLog.clear();
    m_frame.start();
    struct Finish
    {
        FrmMain &window;
        ~Finish()
        {
            window.flushLog();
            window.m_scanning = false;
        }
    };
    {
        Finish finish{*this};
        tarnwick::ScanLotusNotesContacts(*this, m_notes, m_state);
    }
    if (m_closeAfterScan) {
        m_closeAfterScan = false;
        close();
    }
}

std::string FrmMain::notesDatabaseFile()
{
    return txtNotesDatabaseFile->text().toStdString();
}

void FrmMain::clearLog()
{
    m_pendingLog.clear();
    txtProgressDetails->clear();
}

void FrmMain::appendLogLine(std::string_view line)
{
    m_pendingLog.append(fromUtf8(line));
    m_pendingLog.append(QLatin1Char('\n'));
}

void FrmMain::flushLog()
{
    if (m_pendingLog.isEmpty())
        return;
    QTextCursor end(txtProgressDetails->document());
    end.movePosition(QTextCursor::End);
    end.insertText(m_pendingLog);
    m_pendingLog.resize(0);
}

void FrmMain::setProceedEnabled(bool enabled)
{
    CmdContactsCreate->setEnabled(enabled);
}

void FrmMain::showMessage(std::string_view text, std::string_view title)
{
    flushLog();
    m_desktop.showMessage(this, fromUtf8(text), fromUtf8(title));
}

bool FrmMain::processEvents()
{
    if (!m_stopRequested && m_frame.nsecsElapsed() >= m_frameNanoseconds) {
        flushLog();
        m_desktop.processEvents();
        m_frame.start();
    }
    return !m_stopRequested;
}

} // namespace tarnwick
