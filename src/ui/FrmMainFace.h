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
    // "Proceed to Conversion" (CmdContactsCreate) and File > "Export as vCard..."
    // (mnuExportVCard): both export the book that was scanned, so they are enabled and
    // disabled together, only through here.
    void setExportsEnabled(bool enabled)
    {
        setProceedEnabled(enabled);
        setExportVCardEnabled(enabled);
    }
    // File > "Split into Files of 3,000 for Google" (mnuSplitForGoogle): its tick.
    virtual void setSplitForGoogleChecked(bool checked) = 0;
    // The window's title bar.
    virtual void setCaption(const std::string &caption) = 0;
    // Closes the window as its close box would; the window asks Form_QueryUnload first.
    virtual void closeWindow() = 0;

protected:
    virtual void setProceedEnabled(bool enabled) = 0;
    virtual void setExportVCardEnabled(bool enabled) = 0;
};

} // namespace tarnwick::ui
