#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {
struct ExportResult;
class SplitFileOutput;
} // namespace tarnwick

namespace tarnwick::ui {

class Desktop;
class WindowFace;

// The message that closes a pass over the book (the scan, an export run), held until the
// pass has said why it ended. The core explains an ending right after its message, as the
// command-line tool prints them, one line after the other; a window shows both in one box,
// the reason on a line of its own after the text.
class EndingMessage
{
public:
    explicit EndingMessage(Desktop &desktop)
        : m_desktop(desktop)
    {
    }

    // Any message still held is shown first.
    void hold(WindowFace *owner, std::string_view text, std::string_view title);
    // Why the held message's ending came about: "Reason: " and the reason.
    void explain(std::string_view reason);
    // A paragraph of the window's own after the held text.
    void add(std::string_view paragraph);
    // Shows the held message, if there is one, and forgets it.
    void show();

private:
    struct Held
    {
        WindowFace *owner;
        std::string text, title;
    };
    Desktop &m_desktop;
    std::optional<Held> m_held;
};

// After an export run from a window (into parts, where parts is not null): its closing
// message, held in ending, with the parts named, then, where one file holds more contacts
// than Google Contacts imports, a message that says so and names the menu item.
void ShowExportEnding(EndingMessage &ending, WindowFace *owner, const ExportResult &result,
                      const SplitFileOutput *parts, const std::string &exportPath);

// The folder an export wrote its file, or its parts, into.
std::string ExportFolder(const std::string &exportPath);

} // namespace tarnwick::ui
