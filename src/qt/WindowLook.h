#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QDialog;
class QFrame;
class QKeyEvent;
class QLabel;
class QWidget;

// What the windows share of their appearance: the fonts, the colours, labels drawn the
// way the program's windows draw them, and the keyboard manners of its dialogs.
namespace tarnwick::look {

// Registers the stand-in fonts and the images; idempotent, and done by every window's
// constructor so that tests and tools get the same look as the program.
void prepare();

QFont tahoma(bool bold = false);
QFont verdana(qreal points, bool bold);

// The background of the main and field-choice windows.
inline const QColor Parchment{238, 238, 224};
// One line of the banner: what the program does. It must fit 252 pixels in Tahoma.
QString description();

void fillBackground(QWidget &widget, const QColor &colour);
void setTextColour(QWidget &widget, const QColor &colour);

// A label as the windows use them: transparent, text from the top left (or as aligned),
// no margin, no word wrap.
QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, const QRect &geometry,
                  const QFont &font, Qt::Alignment alignment = Qt::AlignLeft);
// A filled rectangle: separator lines and colour bands.
QFrame *makeBand(QWidget *parent, const char *name, const QRect &geometry, const QColor &colour);

// Enter clicks the focused push button, as on Windows, whether or not it is a default
// button; Escape does nothing, since no dialog of the program has a cancel button.
// Returns true when it handled the key.
bool handleDialogKey(QDialog &dialog, QKeyEvent &event);

} // namespace tarnwick::look
