#include "AboutWindow.h"
#include "ConversionWindow.h"
#include "Fixtures.h"
#include "MainWindow.h"
#include "MemoryNotes.h"
#include "MessagePump.h"
#include "RecordingDesktop.h"
#include "StartUp.h"
#include "TarnwickConfig.h"
#include "WideText.h"
#include "Win32Desktop.h"
#include "notes/NotesSessionFactory.h"
#include "notes/SharedState.h"
#include "ui/FrmConversion.h"
#include "ui/FrmMain.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <process.h>
#include <thread>

using namespace tarnwick;
using win32::AboutWindow;
using win32::ConversionWindow;
using win32::MainWindow;
using win32::Win32Window;

namespace {

// x, y, width, height in the parent's client area.
std::vector<int> placeOf(HWND control)
{
    RECT at{};
    GetWindowRect(control, &at);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT *>(&at), 2);
    return {at.left, at.top, at.right - at.left, at.bottom - at.top};
}

std::vector<int> clientSizeOf(const Win32Window &window)
{
    RECT client{};
    GetClientRect(window.hwnd(), &client);
    return {client.right, client.bottom};
}

// Face, height (negative: in pixels) and weight, as "Tahoma -11 400".
std::string fontOf(HWND control)
{
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return win32::narrow(font.lfFaceName) + " " + std::to_string(font.lfHeight) + " " + std::to_string(font.lfWeight);
}

// A label's click, as the label itself reports it to its window.
void clickLabel(const Win32Window &window, const char *name)
{
    HWND label = window.control(name);
    SendMessageW(window.hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(label), STN_CLICKED),
                 reinterpret_cast<LPARAM>(label));
}

// A key as the message loop hands it on, with the keyboard on focus.
void key(HWND focus, UINT message, WPARAM code)
{
    SetFocus(focus);
    MSG msg{focus, message, code, 0, 0, {0, 0}};
    win32::MessagePump::dispatch(msg);
}

// What the window draws under its controls, at design pixel (x, y).
COLORREF background(Win32Window &window, int x, int y)
{
    // Read back before anything else paints: the controls do not clip the window's drawing.
    HDC drawn = GetDC(window.hwnd());
    SendMessageW(window.hwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(drawn), 0);
    const COLORREF colour = GetPixel(drawn, x, y);
    ReleaseDC(window.hwnd(), drawn);
    return colour;
}

class Win32FaceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Win32Window::reportFailuresTo(&desktop);
        behaviour.setFrameInterval(std::chrono::nanoseconds(0));
        window = std::make_unique<MainWindow>(behaviour);
        window->show(SW_SHOWNORMAL);
    }
    void TearDown() override
    {
        Win32Window::reportFailuresTo(nullptr);
        window.reset();
        // A window that closed asked the program to end; the next test starts afresh.
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    RecordingDesktop desktop;
    notes::NotesSessionFactory dxl;
    SharedState state;
    ui::FrmMain behaviour{desktop, dxl, state};
    std::unique_ptr<MainWindow> window;
};

// Proceed, then File > "Export as vCard..." as the menu shows it: "on on" once a book is read.
std::string exportsOf(const MainWindow &window)
{
    const UINT vCard = GetMenuState(GetMenu(window.hwnd()), MainWindow::mnuExportVCard, MF_BYCOMMAND);
    return std::string(IsWindowEnabled(window.control("CmdContactsCreate")) ? "on " : "off ") +
           (vCard & (MF_GRAYED | MF_DISABLED) ? "off" : "on");
}

// What the window system makes of the layout at 96 dpi: the client area with the menu bar
// and frame accounted for, controls inside the frame placed in the window, fonts at their
// pixel heights, what is painted under the controls, the tab order and the split item's
// tick. (The field choice and About are looked at where they open.)
TEST_F(Win32FaceTest, WindowsAsTheSystemShowsThemAt96DpiAndLarger)
{
    using C = std::vector<int>;
    EXPECT_EQ(clientSizeOf(*window), (C{514, 377}));
    // A child of the window, not of the frame it lies in (8, 24 in the frame).
    EXPECT_EQ(placeOf(window->control("txtProgressDetails")), (C{24, 152, 465, 129}));
    EXPECT_EQ(exportsOf(*window), "off off");
    // Off the taskbar (a hidden owner), and a fixed frame with neither minimise nor maximise.
    HWND owner = GetWindow(window->hwnd(), GW_OWNER);
    EXPECT_TRUE(owner && !IsWindowVisible(owner));
    EXPECT_EQ(GetWindowLongPtrW(window->hwnd(), GWL_STYLE) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
    // The split item ticks and unticks from the menu.
    HMENU bar = GetMenu(window->hwnd());
    for (const bool ticked : {false, true, false}) {
        EXPECT_EQ((GetMenuState(bar, MainWindow::mnuSplitForGoogle, MF_BYCOMMAND) & MF_CHECKED) != 0, ticked);
        SendMessageW(window->hwnd(), WM_COMMAND, MainWindow::mnuSplitForGoogle, 0);
    }
    // Tahoma 8.25 point (11 pixels at 96 dpi), the names in Verdana.
    EXPECT_EQ(fontOf(window->control("CmdBrowse")), "Tahoma -11 400");
    EXPECT_EQ(fontOf(window->control("Label1")), "Verdana -19 700");
    EXPECT_EQ(fontOf(window->control("Label49")), "Tahoma -11 700");
    // The banner, the parchment, the footer.
    EXPECT_EQ(background(*window, 450, 30), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(background(*window, 450, 100), RGB(238, 238, 224));
    EXPECT_EQ(background(*window, 300, 360), RGB(128, 128, 255));
    // The order Tab takes, from the first control.
    HWND path = window->control("txtNotesDatabaseFile");
    EXPECT_EQ(GetNextDlgTabItem(window->hwnd(), nullptr, FALSE), path);
    EXPECT_EQ(GetNextDlgTabItem(window->hwnd(), path, FALSE), window->control("CmdBrowse"));

    // A larger dpi scales the layout and the fonts.
    RECT suggested{0, 0, 800, 600};
    SendMessageW(window->hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(placeOf(window->control("CmdBrowse")), (C{612, 132, 134, 38}));
    EXPECT_EQ(fontOf(window->control("CmdBrowse")), "Tahoma -17 400");
    EXPECT_EQ(fontOf(window->control("Label1")), "Verdana -29 700");
}

TEST_F(Win32FaceTest, BrowseScansThenTheFieldChoiceWritesTheSampleBook)
{
    const std::string book = fixture("sample-book.dxl");
    TempFolder folder("win32-face");
    desktop.openFileAnswers = {book};
    // As the folder picker gives it: backslashes.
    const std::string chosen = std::filesystem::path(folder.path).make_preferred().string();
    desktop.folderAnswers = {chosen};
    // Alt+B, as the user presses it.
    key(window->control("txtNotesDatabaseFile"), WM_SYSCHAR, 'b');

    EXPECT_EQ(window->controlText("txtNotesDatabaseFile"), book);
    EXPECT_EQ(window->controlText("txtProgressDetails"), expectedSampleLog(book, "\r\n"));
    // The caret after the last line, nothing selected: EM_GETSEL gives both ends in one.
    const LRESULT length = GetWindowTextLengthW(window->control("txtProgressDetails"));
    EXPECT_EQ(SendMessageW(window->control("txtProgressDetails"), EM_GETSEL, 0, 0), length | length << 16);
    ASSERT_EQ(exportsOf(*window), "on on");

    desktop.openConversion = [&](ui::WindowFace &owner, ui::FrmConversion &choice) {
        ConversionWindow conversion(choice, win32::Win32Desktop::windowOf(&owner));
        ShowWindow(conversion.hwnd(), SW_SHOW);
        // The field choice as the system shows it at 96 dpi, before the run.
        EXPECT_EQ(clientSizeOf(conversion), (std::vector<int>{304, 317}));
        EXPECT_EQ(GetWindow(conversion.hwnd(), GW_OWNER), window->hwnd());
        EXPECT_FALSE(IsWindowVisible(conversion.control("LblOpenExcelFile")));
        EXPECT_FALSE(IsWindowVisible(conversion.control("ImgOpenExcelFile")));
        EXPECT_EQ(fontOf(conversion.control("LblOpenExcelFile")), "Verdana -11 700");
        EXPECT_EQ(background(conversion, 150, 272), RGB(192, 192, 192));
        EXPECT_EQ(background(conversion, 4, 272), RGB(238, 238, 224));
        HWND list = conversion.control("LstContactsField");
        EXPECT_EQ(GetNextDlgTabItem(conversion.hwnd(), nullptr, FALSE), conversion.control("CmdConversion"));
        EXPECT_EQ(GetNextDlgTabItem(conversion.hwnd(), conversion.control("CmdConversion"), FALSE), list);
        EXPECT_EQ(GetNextDlgTabItem(conversion.hwnd(), list, FALSE), conversion.control("ChkSelectAll"));
        ASSERT_EQ(ListView_GetItemCount(list), 28);
        for (int i = 0; i < 28; ++i)
            EXPECT_FALSE(ListView_GetCheckState(list, static_cast<UINT>(i)));
        key(conversion.control("CmdConversion"), WM_SYSCHAR, 'a'); // Select All
        // Enter on the focused button starts the run.
        key(conversion.control("CmdConversion"), WM_KEYDOWN, VK_RETURN);

        // Every column: the run reads the ticks back from the list, so Select All showed in it.
        // (The bar's range and end are looked at on a book of 1,500, below.)
        EXPECT_EQ(slurp(folder.path / "GMAILContacts.csv"), slurp(fixture("sample-book.all.csv")));
        EXPECT_TRUE(IsWindowVisible(conversion.control("LblOpenExcelFile")));
        EXPECT_TRUE(IsWindowVisible(conversion.control("ImgOpenExcelFile")));
        EXPECT_FALSE(IsWindowEnabled(conversion.control("CmdConversion")));
        // The keyboard left the disabled button for the list.
        EXPECT_EQ(GetFocus(), list);
        clickLabel(conversion, "LblOpenExcelFile");
        EXPECT_EQ(desktop.opened.back(), chosen + "\\GMAILContacts.csv");
    };
    key(window->control("CmdBrowse"), WM_SYSCHAR, 'p'); // Proceed
    // The field choice opened and ran (the scan's message before it says otherwise).
    EXPECT_EQ(desktop.messages.back().text, "37 Contacts Saved Successfully");
    EXPECT_EQ(exportsOf(*window), "off off");

    // Scanned again, then a key typed into the path box: the box no longer names the book
    // that was read, so nothing exports it.
    key(window->control("CmdBrowse"), WM_SYSCHAR, 'b');
    ASSERT_EQ(exportsOf(*window), "on on");
    SendMessageW(window->control("txtNotesDatabaseFile"), WM_CHAR, 'h', 0);
    EXPECT_EQ(exportsOf(*window), "off off");
}

// Whatever fails, before the main window runs or in a command while the windows run, is
// shown with its reason through the desktop; before, it ends the program with a status
// that says so.
TEST_F(Win32FaceTest, MenusFooterAndAboutReachTheirCommandsAndFailuresAreShownNotThrown)
{
    SendMessageW(window->hwnd(), WM_COMMAND, MainWindow::mnuWebsite, 0);
    clickLabel(*window, "LabelSiteFooter");
    SendMessageW(window->hwnd(), WM_COMMAND, MainWindow::mnuContents, 0);
    SendMessageW(window->hwnd(), WM_COMMAND, MainWindow::mnuExportVCard, 0);
    EXPECT_EQ(desktop.folderTitles, std::vector<std::string>{"Select Folder to Save GMAILContacts.vcf File"});
    EXPECT_EQ(desktop.opened, (std::vector<std::string>{config::ProductPageUrl, config::ProductPageUrl,
                                                        "help:" + desktop.helpPath}));
    desktop.openAbout = [&](ui::WindowFace &owner) {
        AboutWindow about(win32::Win32Desktop::windowOf(&owner));
        ShowWindow(about.hwnd(), SW_SHOW);
        EXPECT_EQ(GetWindow(about.hwnd(), GW_OWNER), window->hwnd());
        // As the system shows it at 96 dpi.
        EXPECT_EQ(clientSizeOf(about), (std::vector<int>{423, 193}));
        EXPECT_EQ(fontOf(about.control("CmdOK")), "Tahoma -11 700");
        // Escape does nothing; Enter on OK closes.
        key(about.control("CmdOK"), WM_KEYDOWN, VK_ESCAPE);
        EXPECT_FALSE(about.closeRequested());
        key(about.control("CmdOK"), WM_KEYDOWN, VK_RETURN);
        EXPECT_TRUE(about.closeRequested());
    };
    SendMessageW(window->hwnd(), WM_COMMAND, MainWindow::mnuAbout, 0);
    EXPECT_EQ(desktop.abouts, 1);
    // The dialog's Enter and Escape reach the main window as IDOK and IDCANCEL: nothing.
    SendMessageW(window->hwnd(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(IsWindow(window->hwnd()));
    desktop.openAbout = [](ui::WindowFace &) { throw std::runtime_error("no window station"); };
    SendMessageW(window->hwnd(), WM_COMMAND, MainWindow::mnuAbout, 0);
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text, "The command could not be completed:\r\n\r\nno window station");
    EXPECT_EQ(desktop.messages[0].owner, static_cast<ui::WindowFace *>(window.get()));

    SendMessageW(window->hwnd(), WM_COMMAND, MainWindow::mnuExit, 0);
    EXPECT_FALSE(IsWindow(window->hwnd()) && IsWindowVisible(window->hwnd()));
    EXPECT_EQ(desktop.opened.back(), config::ClosingPageUrl);
    EXPECT_EQ(desktop.exits, 1);

    RecordingDesktop starting;
    EXPECT_EQ(win32::runProgram(starting, []() -> int {
                  throw std::runtime_error("could not create the window Tarnwick");
              }),
              1);
    ASSERT_EQ(starting.messages.size(), 1u);
    EXPECT_EQ(starting.messages[0].title, "Tarnwick");
    EXPECT_EQ(starting.messages[0].text, "Tarnwick could not start:\r\n\r\ncould not create the window Tarnwick");
    // The program's status, and the test program's, come back through the windows' thread.
    EXPECT_EQ(win32::runOnWindowsThread([] { return 7; }), 7);
}

// A book of its own in memory, read by a window of its own.
TEST_F(Win32FaceTest, TheLogTakesALongScanAndAScanClosedUnderItStopsThenCloses)
{
    // More than the 32,767 characters an edit box holds unless told otherwise.
    MemoryNotes memory;
    for (int i = 0; i < 1500; ++i)
        memory.books["m.nsf"].people.push_back(
            MemoryNotes::contact("Person" + std::to_string(i), "", "Q", "p" + std::to_string(i) + "@example.com"));
    ui::FrmMain scanning(desktop, memory, state);
    MainWindow face(scanning);
    face.show(SW_SHOWNORMAL);
    HWND hwnd = face.hwnd(), box = face.control("txtProgressDetails");
    desktop.openFileAnswers = {"m.nsf", "m.nsf"};
    SendMessageW(face.control("CmdBrowse"), BM_CLICK, 0, 0);
    const std::string log = face.controlText("txtProgressDetails");
    EXPECT_NE(log.find("1500 : Person1499 Q - p1499@example.com\r\n"), std::string::npos);

    // Escape in the log does not close the window, and Tab leaves the log.
    key(box, WM_KEYDOWN, VK_ESCAPE);
    win32::MessagePump::handlePending();
    EXPECT_TRUE(IsWindow(hwnd));
    key(box, WM_KEYDOWN, VK_TAB);
    EXPECT_NE(GetFocus(), box);
    EXPECT_EQ(face.controlText("txtProgressDetails"), log);

    // The bar, told of a position only when it shows one more pixel, still ends full.
    TempFolder folder("win32-bar");
    desktop.folderAnswers = {folder.path.string()};
    desktop.openConversion = [&](ui::WindowFace &owner, ui::FrmConversion &choice) {
        ConversionWindow conversion(choice, win32::Win32Desktop::windowOf(&owner));
        SendMessageW(conversion.control("ChkSelectAll"), BM_CLICK, 0, 0);
        SendMessageW(conversion.control("CmdConversion"), BM_CLICK, 0, 0);
        EXPECT_EQ(SendMessageW(conversion.control("ProgBarSave"), PBM_GETRANGE, FALSE, 0), 1500);
        EXPECT_EQ(SendMessageW(conversion.control("ProgBarSave"), PBM_GETPOS, 0, 0), 1500);
    };
    SendMessageW(face.control("CmdContactsCreate"), BM_CLICK, 0, 0);
    EXPECT_EQ(desktop.messages.back().text, "1500 Contacts Saved Successfully");

    // The close box while the book is read again: the window stays until the scan stops.
    scanning.setFrameInterval(std::chrono::nanoseconds(0));
    const std::size_t told = desktop.messages.size();
    const int yielded = desktop.yields;
    desktop.onYield = [&](int n) {
        if (n == yielded + 3)
            SendMessageW(hwnd, WM_CLOSE, 0, 0);
        EXPECT_TRUE(IsWindow(hwnd));
    };
    SendMessageW(face.control("CmdBrowse"), BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(memory.live, 0);
    EXPECT_EQ(desktop.messages.size(), told);
    EXPECT_EQ(desktop.opened, std::vector<std::string>{config::ClosingPageUrl});
}

// The stand-in Notes server of the Wine tests: "/register SWITCHES", as a Notes client
// registers its class, or "/unregister".
void notesServer(const std::string &arguments)
{
    // The C runtime joins the arguments with spaces, quoting none of them.
    const std::wstring server = win32::widen(TARNWICK_NOTES_SERVER), line = win32::widen(arguments);
    EXPECT_EQ(_wspawnl(_P_WAIT, server.c_str(), (L"\"" + server + L"\"").c_str(), line.c_str(), nullptr), 0);
}

// Notes in a process of its own, busy at first (a password prompt refuses calls) and then
// slow to open the book: meanwhile the window repaints and takes no second Browse, and the
// scan gives the DXL reader's log. (The export through Notes is the command line's, tested
// against this server in wine-test.sh; the export from the window, with the DXL reader above.)
TEST_F(Win32FaceTest, ANotesClientInAnotherProcessBusyThenSlow)
{
    notesServer("/register \"--book=" + fixture("sample-book.dxl") + "\" --reject-ms=2000 --slow-ms=2000");
    const std::string book = "C:\\Notes\\Data\\names.nsf";
    desktop.openFileAnswers = {book};
    // As the desktop of Windows yields.
    desktop.onYield = [](int) { win32::MessagePump::handlePending(); };
    HWND hwnd = window->hwnd(), browse = window->control("CmdBrowse");
    std::atomic<bool> scanned{false};
    std::vector<std::string> seen;
    std::thread user([&] {
        for (const DWORD wait : {1000ul, 2000ul}) { // calls refused, then the book opening
            Sleep(wait);
            if (scanned) // a click now would wait on this thread's join for ever
                break;
            InvalidateRect(hwnd, nullptr, TRUE);
            bool painted = false;
            for (int i = 0; i < 100 && !painted; ++i, Sleep(10))
                painted = !GetUpdateRect(hwnd, nullptr, FALSE);
            seen.push_back(painted ? "painted" : "not painted");
            SendMessageW(browse, BM_CLICK, 0, 0);
        }
    });
    SendMessageW(browse, BM_CLICK, 0, 0);
    scanned = true;
    user.join();
    notesServer("/unregister");
    EXPECT_EQ(seen, (std::vector<std::string>{"painted", "painted"}));
    EXPECT_EQ(desktop.openFileDialogs.size(), 1u);
    EXPECT_EQ(window->controlText("txtProgressDetails"), expectedSampleLog(book, "\r\n"));
}

} // namespace
