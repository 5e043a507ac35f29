#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include <unistd.h>

// The fixture folder, as CMake passes it in; never the working directory.
inline std::string fixture(const std::string &name)
{
    return std::string(TARNWICK_FIXTURES) + "/" + name;
}

inline std::string slurp(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// How often needle occurs in text, overlapping or not.
inline int occurrences(const std::string &text, const std::string &needle)
{
    int n = 0;
    for (auto at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1))
        ++n;
    return n;
}

// A fresh folder under GoogleTest's temporary one, gone with the object.
struct TempFolder
{
    std::filesystem::path path;
    explicit TempFolder(const std::string &name)
        : path(std::filesystem::path(::testing::TempDir()) / ("tarnwick-" + name + "-" + std::to_string(::getpid())))
    {
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string operator/(const std::string &name) const { return (path / name).string(); }
    std::string write(const std::string &name, const std::string &bytes) const
    {
        std::ofstream(path / name, std::ios::binary) << bytes;
        return *this / name;
    }
    // The names in the folder, sorted.
    std::vector<std::string> names() const
    {
        std::vector<std::string> out;
        for (const auto &e : std::filesystem::directory_iterator(path))
            out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
};

// The start of a DXL export as Notes writes it, and a person document in it.
inline const std::string Head = "<?xml version='1.0' encoding='utf-8'?>\n"
                                "<!DOCTYPE database SYSTEM 'xmlschemas/domino_12_0_2.dtd'>\n"
                                "<database xmlns='http://www.lotus.com/dxl' version='12.0'\n"
                                " replicaid='85258A1C0049F2B1' title='Staff &amp; Friends'>\n";

inline std::string person(const std::string &first, const std::string &last, const std::string &more = {})
{
    return "<document form='Person'>\n<item name='Type'><text>Person</text></item>\n"
           "<item name='FirstName'><text>" +
           first + "</text></item>\n<item name='LastName'><text>" + last + "</text></item>\n" + more +
           "</document>\n";
}

// The scan log of the sample book as a scan of the book at path writes it, each line
// ended by lineEnd.
inline std::string expectedSampleLog(const std::string &path, const std::string &lineEnd)
{
    std::string log = slurp(fixture("sample-book.scan.txt"));
    log.replace(log.find("@BOOK@"), 6, path);
    for (std::size_t at = 0; lineEnd != "\n" && (at = log.find('\n', at)) != std::string::npos; at += lineEnd.size())
        log.replace(at, 1, lineEnd);
    return log;
}
