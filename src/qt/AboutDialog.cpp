#include "AboutDialog.h"

#include "TarnwickConfig.h"
#include "WindowLook.h"

#include <QFrame>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace tarnwick {

AboutDialog::AboutDialog(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                         Qt::WindowSystemMenuHint)
{
    look::prepare();
    setObjectName(QStringLiteral("DocAbout"));
    setWindowTitle(QStringLiteral("About"));
    setWindowIcon(QIcon(QStringLiteral(":/icon-32.png")));
    setFont(look::tahoma());
    look::fillBackground(*this, Qt::white);
    setFixedSize(423, 193);

    using look::makeLabel;
    Label4 = makeLabel(this, "Label4", QStringLiteral("Korvane"), {24, 8, 58, 13}, look::verdana(8.25, true));
    Label5 = makeLabel(this, "Label5", QStringLiteral("Tarnwick"), {24, 18, 335, 23}, look::verdana(14.25, true));
    look::setTextColour(*Label5, QColor(192, 0, 0));
    Label6 = makeLabel(this, "Label6", look::description(), {24, 42, 252, 13}, look::tahoma());
    Label3 = makeLabel(this, "Label3", QString::fromLatin1(config::VersionText), {80, 72, 249, 17}, look::tahoma(),
                       Qt::AlignHCenter);
    Label2 = makeLabel(this, "Label2", QStringLiteral("Korvane Software"), {80, 96, 249, 17}, look::tahoma(),
                       Qt::AlignHCenter);
    Label1 = makeLabel(this, "Label1", QString::fromLatin1(config::MakerSiteAddress), {104, 128, 209, 17},
                       look::tahoma(true));
    // A line from x 8 to x 416 covers the pixels 8 to 415.
    Line1 = look::makeBand(this, "Line1", {8, 152, 408, 1}, QColor(224, 224, 224));

    CmdOK = new QPushButton(QStringLiteral("OK"), this);
    CmdOK->setObjectName(QStringLiteral("CmdOK"));
    CmdOK->setFont(look::tahoma(true));
    CmdOK->setGeometry(168, 160, 81, 25);
    // Neither default nor cancel button: Enter and Space work because it has the focus.
    CmdOK->setAutoDefault(false);
    CmdOK->setDefault(false);
    CmdOK->setFocus();
    connect(CmdOK, &QPushButton::clicked, this, [this] { m_window.CmdOK_Click(); });
}

void AboutDialog::closeWindow()
{
    accept();
}

void AboutDialog::keyPressEvent(QKeyEvent *event)
{
    if (!look::handleDialogKey(*this, *event))
        QDialog::keyPressEvent(event);
}

} // namespace tarnwick
