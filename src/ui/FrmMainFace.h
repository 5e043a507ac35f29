#pragma once

#include "Desktop.h"

#include <string>

namespace tarnwick::ui {

// What the main window's behaviour needs of its widgets.
class FrmMainFace : public WindowFace
{
public:
    // The path box, txtNotesDatabaseFile.
    virtual std::string notesDatabaseFile() = 0;
    virtual void setNotesDatabaseFile(const std::string &path) = 0;
    // The progress log: emptied, or text appended after the caret-following end. Lines
    // end in "\r\n".
    virtual void clearLog() = 0;
    virtual void appendLog(const std::string &text) = 0;
    // "Proceed to Conversion", CmdContactsCreate.
    virtual void setProceedEnabled(bool enabled) = 0;
    // Closes the window as its close box would; the window asks Form_QueryUnload first.
    virtual void closeWindow() = 0;
};

} // namespace tarnwick::ui
