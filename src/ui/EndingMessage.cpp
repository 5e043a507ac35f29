#include "EndingMessage.h"

#include "Desktop.h"
#include "FrmMain.h"
#include "export/ContactsExport.h"
#include "export/FilePaths.h"
#include "export/SplitFileOutput.h"
#include "notes/Messages.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace tarnwick::ui {

void EndingMessage::hold(WindowFace *owner, std::string_view text, std::string_view title)
{
    show();
    m_held = Held{owner, std::string(text), std::string(title)};
}

void EndingMessage::explain(std::string_view reason)
{
    add("Reason: " + std::string(reason));
}

void EndingMessage::add(std::string_view paragraph)
{
    if (m_held)
        m_held->text.append("\r\n\r\n").append(paragraph);
}

void EndingMessage::show()
{
    if (auto held = std::exchange(m_held, std::nullopt))
        m_desktop.showMessage(held->owner, held->text, held->title);
}

namespace {

std::string fileName(const std::string &path)
{
    return utf8Path(fsPath(path).filename());
}

std::string partName(const std::string &exportPath, std::int32_t number)
{
    return fileName(SplitFileOutput::partPath(exportPath, number));
}

std::string partsWritten(const std::string &exportPath, std::int32_t parts)
{
    std::string text = "Saved in " + std::to_string(parts) + (parts == 1 ? " file" : " files") + " of at most 3,000 contacts" +
                       (parts == 1 ? ": " : " each: ") + partName(exportPath, 1);
    if (parts > 1)
        text += (parts == 2 ? " and " : " to ") + partName(exportPath, parts);
    text += ".";
    // Importing a part that a longer export left behind would bring its contacts in twice.
    std::error_code ec;
    if (std::filesystem::exists(fsPath(SplitFileOutput::partPath(exportPath, parts + 1)), ec))
        text += "\r\n\r\n" + partName(exportPath, parts + 1) +
                " and any later part in that folder are from an earlier export: remove them before importing into "
                "Google Contacts.";
    return text;
}

std::string overGoogleLimit(const std::string &exportPath, std::int32_t contacts)
{
    return fileName(exportPath) + " holds " + std::to_string(contacts) +
           " contacts, but Google Contacts imports at most 3,000 contacts from one file.\r\n\r\n"
           "For files that Google imports whole, tick File > \"" +
           FrmMain::SplitForGoogleItem + "\", open the address book again and export it once more.";
}

} // namespace

void ShowExportEnding(EndingMessage &ending, WindowFace *owner, const ExportResult &result,
                      const SplitFileOutput *parts, const std::string &exportPath)
{
    const bool completed = result.ending == ExportEnding::Completed;
    if (completed && parts)
        ending.add(partsWritten(exportPath, parts->parts()));
    ending.show();
    if (completed && !parts && result.rows > GoogleImportLimit) {
        ending.hold(owner, overGoogleLimit(exportPath, result.rows), Messages::MakerTitle);
        ending.show();
    }
}

std::string ExportFolder(const std::string &exportPath)
{
    return utf8Path(fsPath(exportPath).parent_path());
}

} // namespace tarnwick::ui
