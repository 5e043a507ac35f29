#pragma once

#include <QLabel>

namespace tarnwick {

// A label that reports a click (a left-button press and release over it), for the
// windows' link texts.
class ClickableLabel : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_pressed = false;
};

} // namespace tarnwick
