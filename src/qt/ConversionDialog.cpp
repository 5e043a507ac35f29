#include "ConversionDialog.h"

#include "ClickableLabel.h"
#include "WindowLook.h"
#include "ui/FrmConversion.h"

#include <QCheckBox>
#include <QFrame>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>

namespace tarnwick {

ConversionDialog::ConversionDialog(ui::FrmConversion &window, QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                         Qt::WindowSystemMenuHint)
    , m_window(window)
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
    connect(ChkSelectAll, &QCheckBox::clicked, this, [this] { m_window.ChkSelectAll_Click(); });
    connect(CmdConversion, &QPushButton::clicked, this, [this] { m_window.CmdConversion_Click(); });
    connect(LblOpenExcelFile, &ClickableLabel::clicked, this, [this] { m_window.LblOpenExcelFile_Click(); });
    m_window.attach(*this);
}

void ConversionDialog::setEntries(const std::vector<std::string> &texts)
{
    LstContactsField->clear();
    for (const std::string &text : texts) {
        auto *item = new QListWidgetItem(QString::fromStdString(text), LstContactsField);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}

int ConversionDialog::entryCount()
{
    return LstContactsField->count();
}

std::string ConversionDialog::entryText(int position)
{
    return LstContactsField->item(position)->text().toStdString();
}

bool ConversionDialog::isTicked(int position)
{
    return LstContactsField->item(position)->checkState() == Qt::Checked;
}

void ConversionDialog::setTicked(int position, bool ticked)
{
    LstContactsField->item(position)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

bool ConversionDialog::selectAllTicked()
{
    return ChkSelectAll->isChecked();
}

void ConversionDialog::setProgressRange(std::int32_t minimum, std::int32_t maximum)
{
    ProgBarSave->setRange(minimum, maximum);
}

void ConversionDialog::setProgressValue(std::int32_t value)
{
    ProgBarSave->setValue(value);
}

void ConversionDialog::setConversionEnabled(bool enabled)
{
    CmdConversion->setEnabled(enabled);
}

void ConversionDialog::showOpenLink()
{
    LblOpenExcelFile->show();
    ImgOpenExcelFile->show();
}

void ConversionDialog::keyPressEvent(QKeyEvent *event)
{
    if (!look::handleDialogKey(*this, *event))
        QDialog::keyPressEvent(event);
}

} // namespace tarnwick
