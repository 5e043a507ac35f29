// How long the main window takes to scan an address book, start to end, with the log
// drawn and the event loop served as in the program. Compare with
//     time tarnwick-cli scan BOOK > /dev/null
// Usage: tarnwick-window-scan-bench BOOK
// Prints the scan's wall time in seconds.

#include "qt/Desktop.h"
#include "qt/FrmMain.h"
#include "notes/NotesSessionFactory.h"
#include "notes/SharedState.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>

#include <cstdio>

namespace {

// Answers the open-file dialog with the book and every message box with OK at once.
class BenchDesktop final : public tarnwick::Desktop
{
public:
    explicit BenchDesktop(QString book)
        : m_book(std::move(book))
    {
    }

    QString getOpenFileName(QWidget *, const QString &, const QString &) override { return m_book; }
    void showMessage(QWidget *, const QString &text, const QString &title) override
    {
        m_lastMessage = title + QStringLiteral(": ") + text;
    }
    void shellOpen(const QString &) override {}
    QString browseForFolder(const QString &) override { return {}; }
    void openHelp(QWidget *, const QString &) override {}
    void processEvents() override { QCoreApplication::processEvents(); }
    int runModal(QDialog &) override { return QDialog::Rejected; }
    void exitProgram() override {}

    const QString &lastMessage() const { return m_lastMessage; }

private:
    QString m_book;
    QString m_lastMessage;
};

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s BOOK\n", argc > 0 ? argv[0] : "tarnwick-window-scan-bench");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    BenchDesktop desktop(QString::fromLocal8Bit(argv[1]));
    notes::NotesSessionFactory notes;
    tarnwick::SharedState state;
    tarnwick::FrmMain window(desktop, notes, state);
    window.show();
    QCoreApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    window.CmdBrowse_Click();
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;

    std::fprintf(stderr, "%s (%lld log lines)\n", qPrintable(desktop.lastMessage()),
                 static_cast<long long>(window.logLines().size()));
    std::printf("%.3f\n", seconds);
    return 0;
}
