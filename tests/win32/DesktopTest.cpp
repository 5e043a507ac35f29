#include "MessagePump.h"
#include "WideText.h"
#include "Win32Desktop.h"

#include <windows.h>

#include <gtest/gtest.h>

using tarnwick::win32::MessagePump;
using tarnwick::win32::Win32Desktop;

namespace {

// The open dialog's filter becomes the system's pairs of texts; Help is the .chm beside the
// program; what the shell or Help cannot open is reported.
TEST(Win32DesktopTest, FilterHelpBesideTheProgramAndWhatCannotBeOpened)
{
    const std::wstring expected(L"Lotus Notes Address Book (*.nsf *.dxl)\0*.nsf;*.dxl\0All files (*)\0*\0\0", 68);
    EXPECT_EQ(Win32Desktop::dialogFilter("Lotus Notes Address Book (*.nsf *.dxl)|*.nsf;*.dxl|All files (*)|*"),
              expected);
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring folder(program);
    folder.resize(folder.find_last_of(L'\\'));
    Win32Desktop desktop;
    EXPECT_EQ(desktop.helpDocumentPath(), tarnwick::win32::narrow(folder + L"\\Help.chm"));

    int failures = 0;
    auto failed = [&failures] { ++failures; };
    desktop.shellOpen("", failed);
    EXPECT_EQ(failures, 0);
    desktop.shellOpen("Z:\\no\\such\\folder\\GMAILContacts.csv", failed);
    EXPECT_EQ(failures, 1);
    struct NoWindow : tarnwick::ui::WindowFace
    {
    } owner;
    desktop.openHelp(owner, "Z:\\no\\such\\Help.chm", failed);
    EXPECT_EQ(failures, 2);
}

// A window damaged again while it paints, as under another window dragged across it, always
// has a paint pending.
int paints = 0;

LRESULT CALLBACK damagedAgainWhilePainting(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
    InvalidateRect(window, nullptr, FALSE);
    ++paints;
    return 0;
}

// Repainting alone holds input back; a yield handles what was posted, paints, and returns
// even under damage that never ends; a quit stays for the loop that ends the program.
TEST(MessagePumpTest, AYieldTakesInputAndPaintsAndEndsUnderDamageThatNeverEnds)
{
    // A window of the system's, its painting made ours before any paint is handled.
    HWND window =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(damagedAgainWhilePainting));
    PostMessageW(window, WM_KEYDOWN, 'X', 0);
    MessagePump::repaintOnly();
    MSG message;
    EXPECT_TRUE(PeekMessageW(&message, window, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE));

    const int painted = paints;
    EXPECT_TRUE(MessagePump::handlePending());
    EXPECT_FALSE(PeekMessageW(&message, window, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE));
    EXPECT_GT(paints, painted);
    DestroyWindow(window);
    // A quit is left for the loop that ends the program.
    PostQuitMessage(3);
    EXPECT_FALSE(MessagePump::handlePending());
    EXPECT_EQ(MessagePump::run(), 3);
}

} // namespace
