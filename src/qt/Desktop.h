#pragma once

#include <QString>

class QDialog;
class QWidget;

namespace tarnwick {

// Everything the windows hand to the platform or wait on: dialogs, message boxes, the
// shell, help, modal windows and the event loop. The program runs with QtDesktop; tests
// substitute a recorder that answers dialogs without blocking.
class Desktop
{
public:
    virtual ~Desktop() = default;

    // The open-file dialog, starting at fileName. Empty when the user cancelled.
    virtual QString getOpenFileName(QWidget *owner, const QString &fileName, const QString &filter) = 0;
    // Modal, information icon, OK only. Line ends may be "\r\n".
    virtual void showMessage(QWidget *owner, const QString &text, const QString &title) = 0;
    // A web address or a document, opened with whatever the user's system associates with
    // it; empty opens nothing. The outcome is not reported.
    virtual void shellOpen(const QString &target) = 0;
    // The folder picker, with no owner window. Empty when cancelled.
    virtual QString browseForFolder(const QString &title) = 0;
    virtual void openHelp(QWidget *owner, const QString &path) = 0;
    // Lets the windows handle pending events.
    virtual void processEvents() = 0;
    // Shows the dialog modally over its parent; returns when it has closed.
    virtual int runModal(QDialog &dialog) = 0;
    // Ends the program as soon as control returns to the event loop.
    virtual void exitProgram() = 0;
};

class QtDesktop final : public Desktop
{
public:
    QString getOpenFileName(QWidget *owner, const QString &fileName, const QString &filter) override;
    void showMessage(QWidget *owner, const QString &text, const QString &title) override;
    void shellOpen(const QString &target) override;
    QString browseForFolder(const QString &title) override;
    void openHelp(QWidget *owner, const QString &path) override;
    void processEvents() override;
    int runModal(QDialog &dialog) override;
    void exitProgram() override;
};

} // namespace tarnwick
