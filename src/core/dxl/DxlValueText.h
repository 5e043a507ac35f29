#pragma once

#include <string>
#include <string_view>

namespace notes::dxl {

// How DXL's typed values read as text. No locale is consulted: the same file gives the same
// text on every machine.
namespace DxlValueText {

// "30", "2.5", "-0.125": the shortest decimal that reads back as the same number. Text that
// is not a number is returned trimmed, as it stands.
std::string number(std::string_view dxl);

// "20220125" -> "2022-01-25", "20220125T202600,00-05" -> "2022-01-25 20:26:00",
// "T202600,00" -> "20:26:00". Hundredths and zone are dropped. Anything else is returned
// trimmed, as it stands.
std::string dateTime(std::string_view dxl);

} // namespace DxlValueText
} // namespace notes::dxl
