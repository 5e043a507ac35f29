#pragma once

#include <QDialog>

class QLabel;
class QFrame;
class QPushButton;

namespace tarnwick {

// The About box: name, description, version, maker and web-site address; "OK" closes it.
class DocAbout final : public QDialog
{
    Q_OBJECT

public:
    explicit DocAbout(QWidget *owner);

public slots:
    void CmdOK_Click();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
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
