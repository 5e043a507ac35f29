// How the Win32 main window fares on a large address book, with the log drawn and the
// message loop served as in tarnwick.exe.
//     tarnwick-window-scan-bench.exe BOOK
// Prints, on lines of their own: the scan's wall time in seconds, from the chosen file to
// the closing message (compare with: tarnwick-cli.exe scan BOOK); the longest time in
// milliseconds during which a damaged window stayed unpainted (a timer damages the window
// every 5 ms, as a window dragged across it would; the damage is repaired only when the
// message loop gets a turn); and the lines the log holds at the end against those the scan
// wrote, with the closing message.

#include "MainWindow.h"
#include "MessagePump.h"
#include "WideText.h"
#include "notes/NotesSessionFactory.h"
#include "notes/SharedState.h"
#include "ui/Desktop.h"
#include "ui/FrmMain.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

// Notes the longest stretch without a WM_PAINT reaching the window or a control of it.
struct PaintGaps
{
    Clock::time_point last{};
    Clock::duration longest{};
    bool running = false;

    void note()
    {
        const auto now = Clock::now();
        if (running)
            longest = std::max(longest, now - last);
        last = now;
    }
} gaps;

HWND g_window = nullptr;

LRESULT CALLBACK notePaints(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_PAINT)
        gaps.note();
    return DefSubclassProc(window, message, wParam, lParam);
}

BOOL CALLBACK watchChild(HWND child, LPARAM)
{
    SetWindowSubclass(child, notePaints, 1, 0);
    return TRUE;
}

void CALLBACK damage(HWND, UINT, UINT_PTR, DWORD)
{
    RedrawWindow(g_window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// Answers the open-file dialog with the book and every message box with OK at once; the
// message loop is the program's own.
class BenchDesktop final : public tarnwick::ui::Desktop
{
public:
    explicit BenchDesktop(std::string book)
        : m_book(std::move(book))
    {
    }
    std::string getOpenFileName(tarnwick::ui::WindowFace &, const std::string &, const std::string &) override
    {
        return m_book;
    }
    void showMessage(tarnwick::ui::WindowFace *, const std::string &text, const std::string &title) override
    {
        lastMessage = title + ": " + text;
    }
    void shellOpen(const std::string &, Failure) override {}
    std::string browseForFolder(const std::string &) override { return {}; }
    std::string helpDocumentPath() override { return {}; }
    void openHelp(tarnwick::ui::WindowFace &, const std::string &, Failure) override {}
    void processEvents() override { tarnwick::win32::MessagePump::handlePending(); }
    void repaintWindows() override { tarnwick::win32::MessagePump::repaintOnly(); }
    void runAboutBox(tarnwick::ui::WindowFace &) override {}
    void runConversionWindow(tarnwick::ui::WindowFace &, tarnwick::ui::FrmConversion &) override {}
    void exitProgram() override {}

    std::string lastMessage;

private:
    std::string m_book;
};

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: tarnwick-window-scan-bench BOOK\n");
        return 2;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    BenchDesktop desktop(tarnwick::win32::narrow(argv[1]));
    notes::NotesSessionFactory notes;
    tarnwick::SharedState state;
    tarnwick::ui::FrmMain behaviour(desktop, notes, state);
    tarnwick::win32::MainWindow window(behaviour);
    window.show(SW_SHOWNORMAL);
    g_window = window.hwnd();
    SetWindowSubclass(g_window, notePaints, 1, 0);
    EnumChildWindows(g_window, watchChild, 0);
    tarnwick::win32::MessagePump::handlePending();

    const UINT_PTR timer = SetTimer(nullptr, 0, 5, damage);
    const auto start = Clock::now();
    gaps.last = start;
    gaps.running = true;
    behaviour.CmdBrowse_Click();
    const auto seconds = std::chrono::duration<double>(Clock::now() - start).count();
    gaps.note();
    gaps.running = false;
    KillTimer(nullptr, timer);

    HWND log = window.control("txtProgressDetails");
    const auto length = static_cast<std::size_t>(GetWindowTextLengthW(log));
    std::wstring text(length + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(log, text.data(), static_cast<int>(text.size()))));
    const auto lines = static_cast<long>(std::count(text.begin(), text.end(), L'\n'));
    const long expected = state.TotalContacts + 7; // the lines before the first contact
    std::printf("%.3f\n", seconds);
    std::printf("scan: longest unpainted %lld ms\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(gaps.longest).count()));
    std::printf("log: %ld lines of %ld\n%s\n", lines, expected, desktop.lastMessage.c_str());
    return lines == expected ? 0 : 1;
}
