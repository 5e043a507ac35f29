#pragma once

#include "ui/Desktop.h"

namespace tarnwick {

// The desktop of a Qt program on Linux: Qt's dialogs and message boxes, xdg-open for the
// shell, the help page in the browser, and Qt's event loop.
class QtDesktop final : public ui::Desktop
{
public:
    std::string getOpenFileName(ui::WindowFace &owner, const std::string &fileName, const std::string &filter) override;
    void showMessage(ui::WindowFace *owner, const std::string &text, const std::string &title) override;
    void shellOpen(const std::string &target, Failure onFailure) override;
    std::string browseForFolder(const std::string &title) override;
    std::string helpDocumentPath() override;
    void openHelp(ui::WindowFace &owner, const std::string &path, Failure onFailure) override;
    void processEvents() override;
    void repaintWindows() override;
    void runAboutBox(ui::WindowFace &owner) override;
    void runConversionWindow(ui::WindowFace &owner, ui::FrmConversion &window) override;
    void exitProgram() override;
};

} // namespace tarnwick
