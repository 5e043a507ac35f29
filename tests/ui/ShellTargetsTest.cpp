#include "ui/ShellTargets.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace tarnwick::ui;

TEST(ShellTargets, WebAddressOrPath)
{
    const std::pair<const char *, bool> cases[] = {
        {"https://korvane.example/tarnwick", true}, {"mailto:a@b.example", true}, {"x-y.z+1:rest", true},
        {"/home/ann/GMAILContacts.csv", false}, {"C:\\Users\\Ann\\GMAILContacts.csv", false},
        {"c:/out/GMAILContacts.csv", false}, {"out/GMAILContacts.csv", false}, {"notes/a:b.csv", false},
        {"https", false}, {"1http://x", false}, {"", false}};
    for (const auto &[target, web] : cases)
        EXPECT_EQ(IsWebAddress(target), web) << target;
}

TEST(ShellTargets, FolderPaths)
{
    const std::tuple<const char *, char, const char *> cases[] = {
        {"", '/', ""},
        {"/", '/', "/"},
        {"/home/ann", '/', "/home/ann"},
        {"/home/ann/", '/', "/home/ann"},
        {"/home//ann", '/', "/home/ann"},
        {"/tmp/a\\b", '/', "/tmp/a\\b"},
        {"C:/", '\\', "C:\\"},
        {"D:", '\\', "D:\\"},
        {"C:\\", '\\', "C:\\"},
        {"C:/Users/Ann/", '\\', "C:\\Users\\Ann"},
        {"C:\\Users\\\\Ann", '\\', "C:\\Users\\Ann"},
        {"\\\\server\\share\\", '\\', "\\\\server\\share"},
    };
    for (const auto &[chosen, separator, result] : cases)
        EXPECT_EQ(NormalisedFolderPath(chosen, separator), result) << chosen;
}

TEST(ShellTargets, MessagesNameWhatCouldNotBeOpened)
{
    EXPECT_NE(CannotOpenMessage("https://korvane.example/x").find("web page\r\nhttps://korvane.example/x\r\n"),
              std::string::npos);
    EXPECT_NE(CannotOpenMessage("/out/GMAILContacts.csv").find("file\r\n/out/GMAILContacts.csv\r\n"),
              std::string::npos);
    EXPECT_NE(CannotOpenHelpMessage("/usr/share/tarnwick/Help.html").find("\r\n/usr/share/tarnwick/Help.html\r\n"),
              std::string::npos);
}
