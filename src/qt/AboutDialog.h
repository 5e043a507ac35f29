#pragma once

#include "ui/DocAbout.h"
#include "ui/DocAboutFace.h"

#include <QDialog>

class QLabel;
class QFrame;
class QPushButton;

namespace tarnwick {

// The About box's widgets: name, description, version, maker and web-site address. The Qt
// object is named "DocAbout", as are its controls.
class AboutDialog final : public QDialog, public ui::DocAboutFace
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget *owner);

    void closeWindow() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    ui::DocAbout m_window{*this};

    QLabel *Label4;
    QLabel *Label5;
    QLabel *Label6;
    QLabel *Label3;
    QLabel *Label2;
    QLabel *Label1;
    QFrame *Line1;
    QPushButton *CmdOK;
};

} // namespace tarnwick
