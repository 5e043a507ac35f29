#include "ShellTargets.h"

#include <cctype>

namespace tarnwick::ui {

namespace {

bool isSchemeCharacter(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '.' || c == '-';
}

} // namespace

bool IsWebAddress(const std::string &target)
{
    // Two characters at least before the colon, so that "C:\x" stays a path.
    if (target.empty() || !std::isalpha(static_cast<unsigned char>(target[0])))
        return false;
    std::size_t i = 1;
    while (i < target.size() && isSchemeCharacter(target[i]))
        ++i;
    return i >= 2 && i < target.size() && target[i] == ':';
}

std::string NormalisedFolderPath(std::string path, char separator)
{
    if (path.empty())
        return path;
    // A backslash is a separator only where the platform says so; elsewhere it is a
    // legal character of a name.
    const auto isSeparator = [separator](char c) { return c == '/' || (separator == '\\' && c == '\\'); };
    // A network share keeps the two separators it starts with.
    const bool share = separator == '\\' && path.size() > 2 && isSeparator(path[0]) && isSeparator(path[1]);
    std::string result;
    result.reserve(path.size() + 1);
    if (share)
        result.push_back(separator);
    for (const char c : path) {
        if (!isSeparator(c))
            result.push_back(c);
        else if (result.empty() || result.back() != separator || (share && result.size() == 1))
            result.push_back(separator);
    }
    if (result.size() > 1 && result.back() == separator)
        result.pop_back();
    const bool driveOnly = separator == '\\' && result.size() == 2 && result[1] == ':' &&
                           std::isalpha(static_cast<unsigned char>(result[0]));
    if (driveOnly)
        result.push_back(separator);
    return result;
}

std::string CannotOpenMessage(const std::string &target)
{
    if (IsWebAddress(target))
        return "Tarnwick could not open the web page\r\n" + target +
               "\r\n\r\nNo web browser is set up on this computer to open it.";
    return "Tarnwick could not open the file\r\n" + target +
           "\r\n\r\nNo program is set up on this computer to open this kind of file, or the file is gone.";
}

std::string CannotOpenHelpMessage(const std::string &path)
{
    return "Tarnwick could not open its help\r\n" + path +
           "\r\n\r\nThe file is missing, or no program is set up on this computer to show it.";
}

} // namespace tarnwick::ui
