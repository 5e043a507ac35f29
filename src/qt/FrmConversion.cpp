#include "FrmConversion.h"

#include "qt/ClickableLabel.h"
#include "qt/Desktop.h"
#include "qt/WindowLook.h"
#include "export/ColumnCatalogue.h"
#include "export/ContactsExport.h"
#include "notes/SharedState.h"

#include <QCheckBox>
#include <QFrame>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

namespace tarnwick {

namespace {

constexpr qint64 FrameNanoseconds = 16'000'000;

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

FrmConversion::FrmConversion(Desktop &desktop, notes::SessionFactory &notes, SharedState &state,
                             MainWindowLink mainWindow, QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                         Qt::WindowSystemMenuHint)
    , m_desktop(desktop)
    , m_notes(notes)
    , m_state(state)
    , m_mainWindow(std::move(mainWindow))
{
    look::prepare();
    setObjectName(QStringLiteral("FrmConversion"));
    setWindowTitle(QStringLiteral("Choose Contacts Fields"));
    QIcon icon;
    icon.addFile(QStringLiteral(":/conversion-16.png"));
    icon.addFile(QStringLiteral(":/conversion-32.png"));
    setWindowIcon(icon);
    setFont(look::tahoma());
    look::fillBackground(*this, look::Parchment);
    setFixedSize(304, 317);

    // Created in tab order; the labels and the bar take no focus, so Tab runs from the
    // button to the list to the check box.
    CmdConversion = new QPushButton(QStringLiteral("&Start Conversion >"), this);
    CmdConversion->setObjectName(QStringLiteral("CmdConversion"));
    CmdConversion->setGeometry(88, 280, 129, 29);
    CmdConversion->setAutoDefault(false);

    ProgBarSave = new QProgressBar(this);
    ProgBarSave->setObjectName(QStringLiteral("ProgBarSave"));
    ProgBarSave->setGeometry(16, 216, 273, 17);
    ProgBarSave->setTextVisible(false);
    ProgBarSave->setRange(0, 100);
    ProgBarSave->setValue(0);

    LblOpenExcelFile = new ClickableLabel(QStringLiteral("Open Exported Contacts File"), this);
    LblOpenExcelFile->setObjectName(QStringLiteral("LblOpenExcelFile"));
    LblOpenExcelFile->setTextFormat(Qt::PlainText);
    LblOpenExcelFile->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LblOpenExcelFile->setFont(look::verdana(8.25, true));
    look::setTextColour(*LblOpenExcelFile, QColor(0, 0, 255));
    LblOpenExcelFile->setCursor(Qt::PointingHandCursor);
    LblOpenExcelFile->setGeometry(80, 248, 206, 17);
    LblOpenExcelFile->hide();

    LstContactsField = new QListWidget(this);
    LstContactsField->setObjectName(QStringLiteral("LstContactsField"));
    LstContactsField->setGeometry(16, 56, 273, 154);
    LstContactsField->setSortingEnabled(false);
    LstContactsField->setSelectionMode(QAbstractItemView::SingleSelection);
    LstContactsField->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (const Column &column : ColumnCatalogue::columns()) {
        auto *item = new QListWidgetItem(fromUtf8(column.header), LstContactsField);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }

    Label1 = look::makeLabel(this, "Label1", QStringLiteral("Select the fields you wish to export to GMAIL contacts :"),
                             {16, 8, 273, 17}, look::tahoma());

    ChkSelectAll = new QCheckBox(QStringLiteral("Select &All"), this);
    ChkSelectAll->setObjectName(QStringLiteral("ChkSelectAll"));
    ChkSelectAll->setGeometry(16, 32, 73, 17);

    ImgOpenExcelFile = new QLabel(this);
    ImgOpenExcelFile->setObjectName(QStringLiteral("ImgOpenExcelFile"));
    ImgOpenExcelFile->setPixmap(QPixmap(QStringLiteral(":/csvfile.png")));
    ImgOpenExcelFile->setGeometry(56, 248, 16, 16);
    ImgOpenExcelFile->hide();

    // A line from x 8 to x 296 covers the pixels 8 to 295.
    Line1 = look::makeBand(this, "Line1", {8, 272, 288, 1}, QColor(192, 192, 192));

    setTabOrder(CmdConversion, LstContactsField);
    setTabOrder(LstContactsField, ChkSelectAll);
    CmdConversion->setFocus();

    // clicked, not toggled: only the user's click selects or clears everything.
    connect(ChkSelectAll, &QCheckBox::clicked, this, &FrmConversion::ChkSelectAll_Click);
    connect(CmdConversion, &QPushButton::clicked, this, &FrmConversion::CmdConversion_Click);
    connect(LblOpenExcelFile, &ClickableLabel::clicked, this, &FrmConversion::LblOpenExcelFile_Click);
}

void FrmConversion::ChkSelectAll_Click()
{
    const Qt::CheckState state = ChkSelectAll->isChecked() ? Qt::Checked : Qt::Unchecked;
    for (int i = 0; i < LstContactsField->count(); ++i)
        LstContactsField->item(i)->setCheckState(state);
}

void FrmConversion::CmdConversion_Click()
{
    m_paintFrame.start();
    RunContactsExport(*this, m_notes, m_state);
}

void FrmConversion::LblOpenExcelFile_Click()
{
    m_desktop.shellOpen(QString::fromStdString(m_state.ExportFilePath));
}

std::string FrmConversion::browseForFolder(std::string_view title)
{
    return m_desktop.browseForFolder(fromUtf8(title)).toStdString();
}

int FrmConversion::entryCount()
{
    return LstContactsField->count();
}

bool FrmConversion::isTicked(int position)
{
    const QListWidgetItem *item = LstContactsField->item(position);
    return item && item->checkState() == Qt::Checked;
}

std::string FrmConversion::entryText(int position)
{
    const QListWidgetItem *item = LstContactsField->item(position);
    return item ? item->text().toStdString() : std::string();
}

std::string FrmConversion::notesDatabaseFile()
{
    return m_mainWindow.notesDatabaseFile ? m_mainWindow.notesDatabaseFile() : std::string();
}

void FrmConversion::setProgressRange(std::int32_t minimum, std::int32_t maximum)
{
    // An empty range would leave the bar without a position to show.
    ProgBarSave->setRange(minimum, std::max(maximum, minimum + 1));
}

void FrmConversion::setProgressValue(std::int32_t value)
{
    // The book may have grown since the scan counted it.
    ProgBarSave->setValue(std::clamp(value, ProgBarSave->minimum(), ProgBarSave->maximum()));
    if (!m_paintFrame.isValid() || m_paintFrame.nsecsElapsed() >= FrameNanoseconds) {
        ProgBarSave->repaint();
        m_paintFrame.start();
    }
}

void FrmConversion::setConversionEnabled(bool enabled)
{
    CmdConversion->setEnabled(enabled);
}

void FrmConversion::setProceedEnabled(bool enabled)
{
    if (m_mainWindow.setProceedEnabled)
        m_mainWindow.setProceedEnabled(enabled);
}

void FrmConversion::showOpenLink()
{
    LblOpenExcelFile->show();
    ImgOpenExcelFile->show();
}

void FrmConversion::showMessage(std::string_view text, std::string_view title)
{
    m_desktop.showMessage(this, fromUtf8(text), fromUtf8(title));
}

void FrmConversion::keyPressEvent(QKeyEvent *event)
{
    if (!look::handleDialogKey(*this, *event))
        QDialog::keyPressEvent(event);
}

} // namespace tarnwick
