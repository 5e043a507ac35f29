#include "WindowLook.h"

#include "TarnwickConfig.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFontDatabase>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

static void initResources()
{
    // The images live in this static library; nothing else pulls their registration in.
    Q_INIT_RESOURCE(tarnwick);
}

namespace tarnwick::look {

void prepare()
{
    static const bool prepared = [] {
        initResources();
        // Debian's fonts-wine has a Tahoma with the metrics the layout was drawn with, in a
        // folder fontconfig does not search. Only the regular face: its tahomabd.ttf has
        // regular-weight strokes on wider advances, so bold labels came out looking plain;
        // the bold that Qt synthesises from the regular face reads as bold.
        const QString regular = QStringLiteral("/usr/share/wine/fonts/tahoma.ttf");
        if (QFile::exists(regular))
            QFontDatabase::addApplicationFont(regular);
        // Verdana's wide humanist shapes are closest in DejaVu Sans.
        QFont::insertSubstitution(QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"));
        return true;
    }();
    (void)prepared;
}

QFont tahoma(bool bold)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(8.25);
    font.setBold(bold);
    return font;
}

QFont verdana(qreal points, bool bold)
{
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QString description()
{
    return QString::fromLatin1(config::Description);
}

void fillBackground(QWidget &widget, const QColor &colour)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, colour);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

void setTextColour(QWidget &widget, const QColor &colour)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    widget.setPalette(palette);
}

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, const QRect &geometry, const QFont &font,
                  Qt::Alignment alignment)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setAlignment(alignment | Qt::AlignTop);
    label->setMargin(0);
    label->setIndent(0);
    label->setGeometry(geometry);
    return label;
}

QFrame *makeBand(QWidget *parent, const char *name, const QRect &geometry, const QColor &colour)
{
    auto *band = new QFrame(parent);
    band->setObjectName(QString::fromLatin1(name));
    band->setFrameShape(QFrame::NoFrame);
    fillBackground(*band, colour);
    band->setGeometry(geometry);
    return band;
}

bool handleDialogKey(QDialog &dialog, QKeyEvent &event)
{
    if (event.modifiers() & ~Qt::KeypadModifier)
        return false;
    switch (event.key()) {
    case Qt::Key_Escape:
        event.accept();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto *button = qobject_cast<QPushButton *>(dialog.focusWidget()); button && button->isEnabled()) {
            event.accept();
            button->click();
            return true;
        }
        return false;
    default:
        return false;
    }
}

} // namespace tarnwick::look
