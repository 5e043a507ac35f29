#pragma once

#include "Win32Window.h"
#include "ui/FrmConversionFace.h"

namespace tarnwick::ui {
class FrmConversion;
}

namespace tarnwick::win32 {

// The field-choice window, FrmConversion, as a Win32 window: the column list with its
// tick boxes, Select All, the bar, the link to the written file and Start Conversion.
class ConversionWindow final : public ui::FrmConversionFace, public Win32Window
{
public:
    // Created hidden, centred over owner; the modal loop shows it.
    ConversionWindow(ui::FrmConversion &window, HWND owner);
    ~ConversionWindow() override;

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

    enum Command : int {
        CmdConversion = 101,
        ProgBarSave,
        LblOpenExcelFile,
        LstContactsField,
        ChkSelectAll,
        Label,
    };

protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void paintBackground(HDC dc) override;
    void dpiChanged(UINT dpi) override;
    bool command(int id, int notification, HWND control) override;

private:
    void setFileIcon(UINT dpi);
    void fitColumn();

    ui::FrmConversion &m_window;
    HWND m_list = nullptr;
    HICON m_fileIcon = nullptr;
    std::int32_t m_minimum = 0, m_maximum = 100;
    long long m_shownPixel = -1;
};

} // namespace tarnwick::win32
