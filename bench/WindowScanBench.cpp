// How the windows fare on a large address book, with the log drawn and the event loop
// served as in the program.
//     tarnwick-window-scan-bench BOOK
//         the main window's scan, start to end; prints its wall time in seconds. Compare
//         with: time tarnwick-cli scan BOOK > /dev/null
//     tarnwick-window-scan-bench --gaps BOOK FOLDER
//         the scan, then the export of all columns to FOLDER; prints, for each, the longest
//         time in milliseconds during which a damaged window stayed unpainted. A timer
//         damages the windows every few milliseconds, as a window dragged across them
//         would; the damage is repaired only when the event loop gets a turn.

#include "qt/ConversionDialog.h"
#include "qt/MainWindow.h"
#include "notes/NotesSessionFactory.h"
#include "notes/SharedState.h"
#include "ui/Desktop.h"
#include "ui/FrmConversion.h"
#include "ui/FrmMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Notes the longest stretch without a paint event reaching any widget, while damaging
// every top-level window every 5 ms.
class PaintGaps final : public QObject
{
public:
    PaintGaps()
    {
        m_damage.setInterval(5);
        QObject::connect(&m_damage, &QTimer::timeout, [] {
            for (QWidget *window : QApplication::topLevelWidgets())
                if (window->isVisible())
                    window->update();
        });
    }
    void start()
    {
        m_clock.start();
        m_last = 0;
        m_longest = 0;
        m_damage.start();
    }
    qint64 stop()
    {
        m_damage.stop();
        note();
        return m_longest;
    }
    // When the longest stretch ended, in milliseconds from the start.
    qint64 longestEnd() const { return m_longestEnd; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_clock.isValid())
            note();
        return QObject::eventFilter(watched, event);
    }

private:
    void note()
    {
        const qint64 now = m_clock.elapsed();
        if (now - m_last > m_longest) {
            m_longest = now - m_last;
            m_longestEnd = now;
        }
        m_last = now;
    }

    QTimer m_damage;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
    qint64 m_longestEnd = 0;
};

// Answers the open-file dialog with the book, the folder picker with the folder and every
// message box with OK at once; the field-choice window ticks everything and exports.
class BenchDesktop final : public tarnwick::ui::Desktop
{
public:
    BenchDesktop(std::string book, std::string folder, PaintGaps &gaps)
        : m_book(std::move(book))
        , m_folder(std::move(folder))
        , m_gaps(gaps)
    {
    }

    std::string getOpenFileName(tarnwick::ui::WindowFace &, const std::string &, const std::string &) override
    {
        return m_book;
    }
    void showMessage(tarnwick::ui::WindowFace *, const std::string &text, const std::string &title) override
    {
        lastMessage = title + ": " + text;
    }
    void shellOpen(const std::string &, Failure) override {}
    std::string browseForFolder(const std::string &) override { return m_folder; }
    std::string helpDocumentPath() override { return {}; }
    void openHelp(tarnwick::ui::WindowFace &, const std::string &, Failure) override {}
    void processEvents() override { QCoreApplication::processEvents(); }
    void repaintWindows() override { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }
    void runAboutBox(tarnwick::ui::WindowFace &) override {}
    void runConversionWindow(tarnwick::ui::WindowFace &owner, tarnwick::ui::FrmConversion &window) override
    {
        tarnwick::ConversionDialog dialog(window, dynamic_cast<QWidget *>(&owner));
        dialog.show();
        QCoreApplication::processEvents();
        dialog.findChild<QCheckBox *>(QStringLiteral("ChkSelectAll"))->click();
        m_gaps.start();
        dialog.findChild<QPushButton *>(QStringLiteral("CmdConversion"))->click();
        exportGap = m_gaps.stop();
        std::fprintf(stderr, "export: the longest stretch ended %lld ms into the run\n", static_cast<long long>(m_gaps.longestEnd()));
    }
    void exitProgram() override {}

    std::string lastMessage;
    qint64 exportGap = -1;

private:
    std::string m_book, m_folder;
    PaintGaps &m_gaps;
};

} // namespace

int main(int argc, char *argv[])
{
    const bool gapsWanted = argc == 4 && std::strcmp(argv[1], "--gaps") == 0;
    if (argc != 2 && !gapsWanted) {
        std::fprintf(stderr, "usage: %s BOOK | --gaps BOOK FOLDER\n", argc > 0 ? argv[0] : "tarnwick-window-scan-bench");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    PaintGaps gaps;
    application.installEventFilter(&gaps);
    BenchDesktop desktop(gapsWanted ? argv[2] : argv[1], gapsWanted ? argv[3] : "", gaps);
    notes::NotesSessionFactory notes;
    tarnwick::SharedState state;
    tarnwick::ui::FrmMain behaviour(desktop, notes, state);
    tarnwick::MainWindow window(behaviour);
    window.show();
    QCoreApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    gaps.start();
    behaviour.CmdBrowse_Click();
    const qint64 scanGap = gaps.stop();
    std::fprintf(stderr, "scan: the longest stretch ended %lld ms into the run\n", static_cast<long long>(gaps.longestEnd()));
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    std::fprintf(stderr, "%s\n", desktop.lastMessage.c_str());
    if (!gapsWanted) {
        std::printf("%.3f\n", seconds);
        return 0;
    }
    behaviour.CmdContactsCreate_Click();
    std::fprintf(stderr, "%s\n", desktop.lastMessage.c_str());
    std::printf("scan: longest unpainted %lld ms\nexport: longest unpainted %lld ms\n",
                static_cast<long long>(scanGap), static_cast<long long>(desktop.exportGap));
    return 0;
}
