#pragma once

#include <string>
#include <string_view>

namespace tarnwick {

// What the scan needs from the window that runs it: the main window, the command-line
// tool, or a test's recorder.
class ScanHost
{
public:
    virtual ~ScanHost() = default;

    // The address-book path as the path box holds it now.
    virtual std::string notesDatabaseFile() = 0;
    virtual void clearLog() = 0;
    // One line of the progress log; the host adds the line end.
    virtual void appendLogLine(std::string_view line) = 0;
    virtual void setProceedEnabled(bool enabled) = 0;
    // Modal, information icon, OK only; returns when the user closed it.
    virtual void showMessage(std::string_view text, std::string_view title) = 0;
    // Lets the window handle pending events. False asks the scan to stop now.
    virtual bool processEvents() = 0;
    // After the message of an ending that a failure caused (no Notes, no book, no view, a
    // listing that a failure cut short before the end of the view): what failed and why,
    // with the line of the file where there is one; nothing comes between the two. The
    // command-line tool prints it on the line after the message; the windows show it in
    // the message's box, on a line of its own after the text.
    virtual void explainEnding(std::string_view) {}
};

} // namespace tarnwick
