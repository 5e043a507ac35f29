#include "DxlValueText.h"

#include <charconv>
#include <cmath>

namespace notes::dxl::DxlValueText {

namespace {

std::string_view trimmed(std::string_view s)
{
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(" \t\r\n");
    return s.substr(first, last - first + 1);
}

bool allDigits(std::string_view s)
{
    for (const char c : s) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

} // namespace

std::string number(std::string_view dxl)
{
    const auto text = trimmed(dxl);
    double value = 0;
    const char *begin = text.data();
    const char *end = text.data() + text.size();
    if (!text.empty() && text.front() == '+')
        ++begin;
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(value))
        return std::string(text);
    if (value == 0)
        value = 0; // no "-0"
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string dateTime(std::string_view dxl)
{
    const auto text = trimmed(dxl);
    std::string_view date = text;
    std::string_view time;
    if (const auto t = text.find('T'); t != std::string_view::npos) {
        date = text.substr(0, t);
        time = text.substr(t + 1);
        // The time part ends at the hundredths (",") or at a zone sign.
        time = time.substr(0, time.find_first_of(",+-Z"));
    } else if (text.find_first_of(",+") != std::string_view::npos) {
        return std::string(text);
    }
    if ((!date.empty() && (date.size() != 8 || !allDigits(date))) ||
        (text.find('T') != std::string_view::npos && (time.size() != 6 || !allDigits(time))) ||
        (date.empty() && time.empty()))
        return std::string(text);

    std::string out;
    if (!date.empty()) {
        out.append(date.substr(0, 4)).append("-").append(date.substr(4, 2)).append("-").append(date.substr(6, 2));
    }
    if (!time.empty()) {
        if (!out.empty())
            out.push_back(' ');
        out.append(time.substr(0, 2)).append(":").append(time.substr(2, 2)).append(":").append(time.substr(4, 2));
    }
    return out;
}

} // namespace notes::dxl::DxlValueText
