#pragma once

#include <string>

namespace tarnwick::ui {

// Whether target is a web address (it has a scheme, such as "https:") rather than a file
// path. A drive letter is not a scheme.
bool IsWebAddress(const std::string &target);

// A chosen folder as the folder picker hands it on: separator as given, and a trailing
// one only on a root folder ("/", "C:\"), so that a separator and a file name can be
// appended without doubling it.
std::string NormalisedFolderPath(std::string path, char separator);

// What the user is told when nothing on the system could open target.
std::string CannotOpenMessage(const std::string &target);
std::string CannotOpenHelpMessage(const std::string &path);

} // namespace tarnwick::ui
