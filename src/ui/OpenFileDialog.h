#pragma once

#include <string>

namespace tarnwick::ui {

class Desktop;
class WindowFace;

// The main window's open-file dialog. It lives as long as the window and remembers the
// name it last returned, so a cancelled dialog gives back the name it already held.
class OpenFileDialog
{
public:
    // "Label|patterns|Label|patterns", patterns separated by ";".
    std::string Filter;

    // Shows the dialog and waits for it to close.
    void ShowOpen(Desktop &desktop, WindowFace &owner);
    const std::string &FileName() const { return m_fileName; }

private:
    std::string m_fileName;
};

} // namespace tarnwick::ui
