#pragma once

#include "qt/Desktop.h"

#include <QApplication>
#include <QDialog>
#include <QList>
#include <QPointer>
#include <QStringList>

#include <functional>

// A desktop that answers every dialog from a script and keeps what the windows asked
// for. Modal windows are shown, handed to the test's handler, and closed if the handler
// left them open; nothing ever waits for a person.
class RecordingDesktop final : public tarnwick::Desktop
{
public:
    struct Message
    {
        QString text, title;
        QWidget *owner;
    };
    struct OpenFileDialog
    {
        QString startName, filter;
        QWidget *owner;
    };

    // Answers of the open-file dialog, in turn; none left (or "") is a cancel.
    QStringList openFileAnswers;
    QList<OpenFileDialog> openFileDialogs;

    QStringList folderAnswers;
    QStringList folderTitles;

    QList<Message> messages;
    std::function<void(const Message &)> onMessage;

    QStringList opened; // shellOpen targets
    QStringList helpPaths;
    int exits = 0;

    int yields = 0;
    std::function<void(int)> onYield; // called with the count of yields so far

    QStringList modalWindows; // objectName of each window run modally
    std::function<void(QDialog &)> onModal;

    QString getOpenFileName(QWidget *owner, const QString &fileName, const QString &filter) override
    {
        openFileDialogs.append({fileName, filter, owner});
        return openFileAnswers.isEmpty() ? QString() : openFileAnswers.takeFirst();
    }
    void showMessage(QWidget *owner, const QString &text, const QString &title) override
    {
        messages.append({text, title, owner});
        if (onMessage)
            onMessage(messages.last());
    }
    void shellOpen(const QString &target) override { opened.append(target); }
    QString browseForFolder(const QString &title) override
    {
        folderTitles.append(title);
        return folderAnswers.isEmpty() ? QString() : folderAnswers.takeFirst();
    }
    void openHelp(QWidget *, const QString &path) override { helpPaths.append(path); }
    void processEvents() override
    {
        ++yields;
        if (onYield)
            onYield(yields);
    }
    int runModal(QDialog &dialog) override
    {
        modalWindows.append(dialog.objectName());
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.show();
        dialog.activateWindow();
        QApplication::processEvents();
        QPointer<QDialog> alive(&dialog);
        if (onModal)
            onModal(dialog);
        if (alive && dialog.isVisible())
            dialog.done(QDialog::Rejected);
        return alive ? dialog.result() : QDialog::Rejected;
    }
    void exitProgram() override { ++exits; }
};
