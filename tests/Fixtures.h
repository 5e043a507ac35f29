#pragma once

#include <fstream>
#include <iterator>
#include <string>

// The fixture folder, as CMake passes it in; never the working directory.
inline std::string fixture(const std::string &name)
{
    return std::string(TARNWICK_FIXTURES) + "/" + name;
}

inline std::string slurp(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The scan log of the sample book as a scan of the book at path writes it, each line
// ended by lineEnd.
inline std::string expectedSampleLog(const std::string &path, const std::string &lineEnd)
{
    std::string log;
    const std::string text = slurp(fixture("sample-book.scan.txt"));
    for (std::size_t at = 0, end; at < text.size(); at = end + 1) {
        end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(at, end - at);
        if (const auto marker = line.find("@BOOK@"); marker != std::string::npos)
            line.replace(marker, 6, path);
        log += line + lineEnd;
    }
    return log;
}
