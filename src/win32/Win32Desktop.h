#pragma once

#include "ui/Desktop.h"

#include <windows.h>

namespace tarnwick::win32 {

// The desktop of Windows: the common dialogs, message boxes, the shell, HTML Help and the
// message loops.
class Win32Desktop final : public ui::Desktop
{
public:
    Win32Desktop() = default;
    ~Win32Desktop() override;
    Win32Desktop(const Win32Desktop &) = delete;
    Win32Desktop &operator=(const Win32Desktop &) = delete;

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

    // "Label|patterns|Label|patterns" as the open-file dialog wants it: pairs of
    // NUL-ended texts, ended by an empty one.
    static std::wstring dialogFilter(const std::string &filter);
    // The window of a face, or none.
    static HWND windowOf(ui::WindowFace *face);

private:
    // HTML Help is loaded on first use; the viewer's windows are closed before it goes.
    using HtmlHelpFunction = HWND(WINAPI *)(HWND, LPCWSTR, UINT, DWORD_PTR);
    HMODULE m_htmlHelpLibrary = nullptr;
    HtmlHelpFunction m_htmlHelp = nullptr;
};

} // namespace tarnwick::win32
