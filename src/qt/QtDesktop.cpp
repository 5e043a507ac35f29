#include "QtDesktop.h"

#include "AboutDialog.h"
#include "ConversionDialog.h"
#include "HelpLocation.h"
#include "ShellServices.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>

namespace tarnwick {

namespace {

QWidget *widgetOf(ui::WindowFace *face)
{
    return dynamic_cast<QWidget *>(face);
}

// Hands the keyboard back to the window that was active before a dialog opened. Window
// managers that keep a window off the taskbar (openbox among them) do not give it the
// focus back when a dialog over it closes, so Alt+B would go nowhere.
class FocusReturn
{
public:
    explicit FocusReturn(QWidget *owner)
        : m_window(owner ? owner->window() : QApplication::activeWindow())
    {
    }
    ~FocusReturn()
    {
        if (m_window && m_window->isVisible()) {
            m_window->raise();
            m_window->activateWindow();
        }
    }
    FocusReturn(const FocusReturn &) = delete;
    FocusReturn &operator=(const FocusReturn &) = delete;

private:
    QPointer<QWidget> m_window;
};

} // namespace

std::string QtDesktop::getOpenFileName(ui::WindowFace &owner, const std::string &fileName, const std::string &filter)
{
    // "Label|patterns|..." to Qt's "Label;;Label": Qt reads the patterns from the label.
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList labels;
    for (qsizetype i = 0; i < parts.size(); i += 2)
        labels.append(parts[i]);
    QWidget *parent = widgetOf(&owner);
    FocusReturn focus(parent);
    return QFileDialog::getOpenFileName(parent, QString(), QString::fromStdString(fileName),
                                        labels.join(QStringLiteral(";;")))
        .toStdString();
}

void QtDesktop::showMessage(ui::WindowFace *owner, const std::string &text, const std::string &title)
{
    QString shown = QString::fromStdString(text);
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QWidget *parent = owner ? widgetOf(owner) : QApplication::activeWindow();
    FocusReturn focus(parent);
    QMessageBox box(QMessageBox::Information, QString::fromStdString(title), shown, QMessageBox::Ok, parent);
    // Messages carry file paths and contact data, never markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void QtDesktop::shellOpen(const std::string &target, Failure onFailure)
{
    ShellOpen(QString::fromStdString(target), std::move(onFailure));
}

std::string QtDesktop::browseForFolder(const std::string &title)
{
    FocusReturn focus(nullptr);
    return BrowseForFolder(QString::fromStdString(title)).toStdString();
}

std::string QtDesktop::helpDocumentPath()
{
    return QDir::toNativeSeparators(tarnwick::helpDocumentPath()).toStdString();
}

void QtDesktop::openHelp(ui::WindowFace &, const std::string &path, Failure onFailure)
{
    // The help is an HTML document; the user's browser is its viewer.
    ShellOpen(QString::fromStdString(path), std::move(onFailure));
}

void QtDesktop::processEvents()
{
    QCoreApplication::processEvents();
}

void QtDesktop::repaintWindows()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtDesktop::runAboutBox(ui::WindowFace &owner)
{
    QWidget *parent = widgetOf(&owner);
    FocusReturn focus(parent);
    AboutDialog about(parent);
    about.exec();
}

void QtDesktop::runConversionWindow(ui::WindowFace &owner, ui::FrmConversion &window)
{
    QWidget *parent = widgetOf(&owner);
    FocusReturn focus(parent);
    ConversionDialog conversion(window, parent);
    conversion.exec();
}

void QtDesktop::exitProgram()
{
    QCoreApplication::exit(0);
}

} // namespace tarnwick
