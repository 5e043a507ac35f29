#pragma once

#include <string>
#include <string_view>

namespace tarnwick::win32 {

// The windows' behaviour speaks UTF-8; Windows speaks UTF-16. Bytes that are not UTF-8
// become U+FFFD rather than vanishing, so a damaged name still shows where it was.
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view wide);

} // namespace tarnwick::win32
