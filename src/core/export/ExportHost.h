#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick {

// What the export run needs from the field-choice window (and, through it, the main
// window and the desktop): the command-line tool and tests implement it too.
class ExportHost
{
public:
    virtual ~ExportHost() = default;

    // The chosen folder's path, empty when the user cancelled. A root folder keeps its
    // trailing separator; any other folder has none.
    virtual std::string browseForFolder(std::string_view title) = 0;

    // The column list: how many entries, whether one is ticked, its text.
    virtual int entryCount() = 0;
    virtual bool isTicked(int position) = 0;
    virtual std::string entryText(int position) = 0;

    // The address-book path as the main window's path box holds it now.
    virtual std::string notesDatabaseFile() = 0;

    virtual void setProgressRange(std::int32_t minimum, std::int32_t maximum) = 0;
    virtual void setProgressValue(std::int32_t value) = 0;
    virtual void setConversionEnabled(bool enabled) = 0;
    // The main window's "Proceed to Conversion" command.
    virtual void setProceedEnabled(bool enabled) = 0;
    // Shows the "Open Exported Contacts File" link and its icon.
    virtual void showOpenLink() = 0;
    // Modal, information icon, OK only.
    virtual void showMessage(std::string_view text, std::string_view title) = 0;
    // Called now and then while a long step runs (the book being indexed), so that the
    // windows can repaint; they take no input meanwhile.
    virtual void keepPainted() {}
    // After the message of an ending that a failure caused but does not name (no Notes,
    // no book, no view): what failed and why; nothing comes between the two. The
    // command-line tool prints it on the line after the message; the windows show it in
    // the message's box, on a line of its own after the text.
    virtual void explainEnding(std::string_view) {}
};

} // namespace tarnwick
