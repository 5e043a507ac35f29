#pragma once

#include "export/ExportHost.h"

#include <QDialog>
#include <QElapsedTimer>

#include <functional>
#include <string>

class QCheckBox;
class QFrame;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace notes {
class SessionFactory;
}

namespace tarnwick {

class ClickableLabel;
class Desktop;
struct SharedState;

// The field-choice window: the user ticks the columns, starts the export and, once it
// has finished, opens the written file. It is the export run's host.
class FrmConversion final : public QDialog, public ExportHost
{
    Q_OBJECT

public:
    // What the export needs of the main window.
    struct MainWindowLink
    {
        std::function<std::string()> notesDatabaseFile;
        std::function<void(bool)> setProceedEnabled;
    };

    FrmConversion(Desktop &desktop, notes::SessionFactory &notes, SharedState &state, MainWindowLink mainWindow,
                  QWidget *owner);

    // ExportHost
    std::string browseForFolder(std::string_view title) override;
    int entryCount() override;
    bool isTicked(int position) override;
    std::string entryText(int position) override;
    std::string notesDatabaseFile() override;
    void setProgressRange(std::int32_t minimum, std::int32_t maximum) override;
    void setProgressValue(std::int32_t value) override;
    void setConversionEnabled(bool enabled) override;
    void setProceedEnabled(bool enabled) override;
    void showOpenLink() override;
    void showMessage(std::string_view text, std::string_view title) override;

public slots:
    void ChkSelectAll_Click();
    void CmdConversion_Click();
    void LblOpenExcelFile_Click();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    Desktop &m_desktop;
    notes::SessionFactory &m_notes;
    SharedState &m_state;
    MainWindowLink m_mainWindow;
    // The run takes no input, so the bar is repainted by hand, once a frame at most.
    QElapsedTimer m_paintFrame;

    QLabel *Label1;
    QCheckBox *ChkSelectAll;
    QListWidget *LstContactsField;
    QProgressBar *ProgBarSave;
    QLabel *ImgOpenExcelFile;
    ClickableLabel *LblOpenExcelFile;
    QFrame *Line1;
    QPushButton *CmdConversion;
};

} // namespace tarnwick
