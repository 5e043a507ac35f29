#pragma once

#include "ui/FrmConversionFace.h"

#include <QDialog>

class QCheckBox;
class QFrame;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace tarnwick::ui {
class FrmConversion;
}

namespace tarnwick {

class ClickableLabel;

// The field-choice window's widgets, wired to the behaviour in ui::FrmConversion. The Qt
// object is named "FrmConversion", as are its controls.
class ConversionDialog final : public QDialog, public ui::FrmConversionFace
{
    Q_OBJECT

public:
    ConversionDialog(ui::FrmConversion &window, QWidget *owner);

    // FrmConversionFace
    void setEntries(const std::vector<std::string> &texts) override;
    int entryCount() override;
    std::string entryText(int position) override;
    bool isTicked(int position) override;
    void setTicked(int position, bool ticked) override;
    bool selectAllTicked() override;
    void setProgressRange(std::int32_t minimum, std::int32_t maximum) override;
    void setProgressValue(std::int32_t value) override;
    void setConversionEnabled(bool enabled) override;
    void showOpenLink() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    ui::FrmConversion &m_window;

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
