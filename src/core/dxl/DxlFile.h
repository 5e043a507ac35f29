#pragma once

#include <fstream>
#include <string>
#include <string_view>

namespace notes::dxl::DxlFile {

// Opens a file named by a UTF-8 path for binary reading; throws NotesError naming the path
// and the reason when it cannot.
std::ifstream open(std::string_view utf8Path);

// The encoding a byte-order mark or the first bytes of an XML file betray ("UTF-16LE",
// "UTF-16BE", "UTF-8"), or empty when only the XML declaration can tell.
std::string sniffEncoding(std::string_view firstBytes);

} // namespace notes::dxl::DxlFile
