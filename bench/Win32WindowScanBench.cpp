// How the Win32 main window fares on a large address book, with the log drawn and the
// message loop served as in tarnwick.exe.
//     tarnwick-window-scan-bench.exe [--gaps] BOOK
//     tarnwick-window-scan-bench.exe --log-only LOG
// Prints, on lines of their own: the scan's wall time in seconds, from the chosen file to
// the closing message (compare with: tarnwick-cli.exe scan BOOK); with --gaps, the longest
// time in milliseconds during which a damaged window stayed unpainted (another thread
// damages the window 5 ms after each repair, as a window dragged across it would; the
// damage is repaired only when the message loop gets a turn); and the lines the log holds
// at the end against those the scan wrote, with the closing message.
// With --log-only, no scan: the lines of LOG (what tarnwick-cli.exe scan printed) go into the
// same window's log in batches, as a scan's flushes give them, and the time that takes is
// printed: the part of the window's scan that the edit box itself costs.

#include "MainWindow.h"
#include "MessagePump.h"
#include "StartUp.h"
#include "WideText.h"
#include "notes/NotesSessionFactory.h"
#include "notes/SharedState.h"
#include "ui/Desktop.h"
#include "ui/FrmMain.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Damages the window from another thread and notes how long each damage waits for the
// window's repaint; the next damage comes 5 ms after the repair, so that a slow paint
// cannot keep the message loop busy for ever.
class PaintGaps
{
public:
    void start(HWND window)
    {
        m_window = window;
        m_running = true;
        m_thread = std::thread([this] {
            while (m_running) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                {
                    std::lock_guard lock(m_mutex);
                    if (m_pending)
                        continue;
                    m_pending = true;
                    m_damaged = Clock::now();
                }
                // Not under the lock: the window's thread takes it in WM_PAINT, and Wine may
                // wait for that thread inside RedrawWindow.
                RedrawWindow(m_window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
            }
        });
    }
    // Called at every WM_PAINT of the window.
    void painted()
    {
        std::lock_guard lock(m_mutex);
        if (!m_pending)
            return;
        m_pending = false;
        m_longest = std::max(m_longest, Clock::now() - m_damaged);
    }
    Clock::duration stop()
    {
        m_running = false;
        m_thread.join();
        std::lock_guard lock(m_mutex);
        if (m_pending) // damage still waiting at the end counts too
            m_longest = std::max(m_longest, Clock::now() - m_damaged);
        return m_longest;
    }

private:
    HWND m_window = nullptr;
    std::atomic<bool> m_running{false};
    std::thread m_thread;
    std::mutex m_mutex;
    bool m_pending = false;
    Clock::time_point m_damaged{};
    Clock::duration m_longest{};
} gaps;

LRESULT CALLBACK notePaints(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_PAINT)
        gaps.painted();
    return DefSubclassProc(window, message, wParam, lParam);
}

// The window's controls paint their own damage.
BOOL CALLBACK watchChild(HWND child, LPARAM)
{
    SetWindowSubclass(child, notePaints, 1, 0);
    return TRUE;
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

// Line ends, not the box's line count: a long line wraps.
long logLines(tarnwick::win32::MainWindow &window)
{
    const std::string text = window.controlText("txtProgressDetails");
    return static_cast<long>(std::count(text.begin(), text.end(), '\n'));
}

// Feeds the window's log a batch at a time, serving the message loop between batches as a
// scan's frames do.
int logOnly(const wchar_t *path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read the log file\n");
        return 2;
    }
    std::vector<std::string> batches(1);
    long lines = 0;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        batches.back() += line + "\r\n";
        if (++lines % 2048 == 0)
            batches.emplace_back();
    }
    BenchDesktop desktop({});
    notes::NotesSessionFactory notes;
    tarnwick::SharedState state;
    tarnwick::ui::FrmMain behaviour(desktop, notes, state);
    tarnwick::win32::MainWindow window(behaviour);
    window.show(SW_SHOWNORMAL);
    tarnwick::win32::MessagePump::handlePending();

    const auto start = Clock::now();
    for (const auto &batch : batches) {
        window.appendLog(batch);
        tarnwick::win32::MessagePump::handlePending();
    }
    const auto seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const long held = logLines(window);
    std::printf("%.3f\nlog: %ld lines of %ld\n", seconds, held, lines);
    return held == lines ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    const bool gapsWanted = argc == 3 && std::wcscmp(argv[1], L"--gaps") == 0;
    const bool logWanted = argc == 3 && std::wcscmp(argv[1], L"--log-only") == 0;
    if (argc != 2 && !gapsWanted && !logWanted) {
        std::fprintf(stderr, "usage: tarnwick-window-scan-bench [--gaps] BOOK | --log-only LOG\n");
        return 2;
    }
    // The windows' thread made as the program makes it.
    return tarnwick::win32::runOnWindowsThread([&] {
        if (logWanted)
            return logOnly(argv[2]);
        BenchDesktop desktop(tarnwick::win32::narrow(argv[argc - 1]));
        notes::NotesSessionFactory notes;
        tarnwick::SharedState state;
        tarnwick::ui::FrmMain behaviour(desktop, notes, state);
        tarnwick::win32::MainWindow window(behaviour);
        window.show(SW_SHOWNORMAL);
        SetWindowSubclass(window.hwnd(), notePaints, 1, 0);
        EnumChildWindows(window.hwnd(), watchChild, 0);
        tarnwick::win32::MessagePump::handlePending();

        if (gapsWanted)
            gaps.start(window.hwnd());
        const auto start = Clock::now();
        behaviour.CmdBrowse_Click();
        const auto seconds = std::chrono::duration<double>(Clock::now() - start).count();
        const auto longest = gapsWanted ? gaps.stop() : Clock::duration{};

        const long lines = logLines(window);
        const long expected = state.TotalContacts + 7; // the lines before the first contact
        std::printf("%.3f\n", seconds);
        if (gapsWanted)
            std::printf("scan: longest unpainted %lld ms\n",
                        static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(longest).count()));
        std::printf("log: %ld lines of %ld\n%s\n", lines, expected, desktop.lastMessage.c_str());
        return lines == expected ? 0 : 1;
    });
}
