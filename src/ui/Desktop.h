#pragma once

#include <functional>
#include <string>

namespace tarnwick::ui {

class FrmConversion;

// A window as the desktop sees it: something to own a dialog. Each face derives from it.
class WindowFace
{
public:
    virtual ~WindowFace() = default;
};

// Everything the windows hand to the platform or wait on: dialogs, message boxes, the
// shell, help, modal windows and the event loop. The program runs with the platform's
// desktop; tests substitute a recorder that answers dialogs without blocking.
class Desktop
{
public:
    virtual ~Desktop() = default;

    // Called when a shell or help call turns out to have opened nothing; it may come
    // after the call has returned, once the platform has said so.
    using Failure = std::function<void()>;

    // The open-file dialog, starting at fileName. filter is "Label|patterns|Label|patterns"
    // with patterns separated by ";". Empty when the user cancelled.
    virtual std::string getOpenFileName(WindowFace &owner, const std::string &fileName, const std::string &filter) = 0;
    // Modal over owner (none: over whatever window is active), information icon, OK only.
    // Line ends may be "\r\n".
    virtual void showMessage(WindowFace *owner, const std::string &text, const std::string &title) = 0;
    // A web address or a document, opened with whatever the user's system associates with
    // it; empty opens nothing. Without onFailure nothing is reported.
    virtual void shellOpen(const std::string &target, Failure onFailure) = 0;
    // The folder picker, with no owner window. Empty when cancelled.
    virtual std::string browseForFolder(const std::string &title) = 0;
    // Where the help document is, and showing it.
    virtual std::string helpDocumentPath() = 0;
    virtual void openHelp(WindowFace &owner, const std::string &path, Failure onFailure) = 0;
    // Lets the windows handle pending events, the user's input included.
    virtual void processEvents() = 0;
    // Lets the windows repaint, holding the user's input back.
    virtual void repaintWindows() = 0;
    // Shows the window modally over owner; returns when it has closed.
    virtual void runAboutBox(WindowFace &owner) = 0;
    virtual void runConversionWindow(WindowFace &owner, FrmConversion &window) = 0;
    // Ends the program as soon as control returns to the event loop.
    virtual void exitProgram() = 0;

    // Opens target, and tells the user which address or file it was when nothing could
    // open it.
    void openOrExplain(const std::string &target);
};

} // namespace tarnwick::ui
