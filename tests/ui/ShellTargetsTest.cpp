#include "ui/ShellTargets.h"

#include <gtest/gtest.h>

using namespace tarnwick::ui;

TEST(ShellTargets, WebAddressOrPath)
{
    struct Case
    {
        const char *target;
        bool web;
    };
    for (const Case &c : {Case{"https://korvane.example/tarnwick", true}, Case{"mailto:a@b.example", true},
                          Case{"x-y.z+1:rest", true}, Case{"/home/ann/GMAILContacts.csv", false},
                          Case{"C:\\Users\\Ann\\GMAILContacts.csv", false}, Case{"c:/out/GMAILContacts.csv", false},
                          Case{"out/GMAILContacts.csv", false}, Case{"notes/a:b.csv", false}, Case{"https", false},
                          Case{"1http://x", false}, Case{"", false}})
        EXPECT_EQ(IsWebAddress(c.target), c.web) << c.target;
}

TEST(ShellTargets, FolderPaths)
{
    struct Case
    {
        const char *chosen;
        char separator;
        const char *result;
    };
    for (const Case &c : {Case{"", '/', ""},
                          Case{"/", '/', "/"},
                          Case{"/home/ann", '/', "/home/ann"},
                          Case{"/home/ann/", '/', "/home/ann"},
                          Case{"/home//ann", '/', "/home/ann"},
                          Case{"/tmp/a\\b", '/', "/tmp/a\\b"},
                          Case{"C:/", '\\', "C:\\"},
                          Case{"D:", '\\', "D:\\"},
                          Case{"C:\\", '\\', "C:\\"},
                          Case{"C:/Users/Ann/", '\\', "C:\\Users\\Ann"},
                          Case{"C:\\Users\\\\Ann", '\\', "C:\\Users\\Ann"},
                          Case{"\\\\server\\share\\", '\\', "\\\\server\\share"}})
        EXPECT_EQ(NormalisedFolderPath(c.chosen, c.separator), c.result) << c.chosen;
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
