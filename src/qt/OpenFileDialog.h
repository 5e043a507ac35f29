#pragma once

#include <QString>

class QWidget;

namespace tarnwick {

class Desktop;

// The main window's open-file dialog. It lives as long as the window and remembers the
// name it last returned, so a cancelled dialog gives back the name it already held.
class OpenFileDialog
{
public:
    QString Filter;

    // Shows the dialog and waits for it to close.
    void ShowOpen(Desktop &desktop, QWidget *owner);
    const QString &FileName() const { return m_fileName; }

private:
    QString m_fileName;
};

} // namespace tarnwick
