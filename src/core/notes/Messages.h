#pragma once

#include <string>
#include <string_view>

namespace tarnwick::Messages {

inline constexpr std::string_view MakerTitle = "Korvane Software";
inline constexpr std::string_view NotesUnavailableTitle = "Notes Not Installed/Configured";
inline constexpr std::string_view ScanCompleted = "Notes Address Book Scan Completed";
inline constexpr std::string_view EmptyBook = "File does not seems to be a valid address book or is empty.";
inline constexpr std::string_view ExportNotesFailure =
    "Lotus Notes not configured or the selected file is not a correct notes address book file.";
inline constexpr std::string_view SelectFieldsTitle = "Select Fields";
inline constexpr std::string_view SelectFields = "Please select fields to be exported";
inline constexpr std::string_view ConversionCompletedTitle = "Conversion Completed...";
inline constexpr std::string_view ContactsSaved = " Contacts Saved Successfully";
inline constexpr std::string_view ExportFailedTitle = "Conversion Failed";
inline constexpr std::string_view FolderTitle = "Select Folder to Save GMAILContacts.csv File";
inline constexpr std::string_view VCardFolderTitle = "Select Folder to Save GMAILContacts.vcf File";

// The nine lines shown when no Notes session or database could be had, joined by "\r\n".
std::string notesUnavailable();

} // namespace tarnwick::Messages
