#include "Win32Desktop.h"

#include "AboutWindow.h"
#include "ConversionWindow.h"
#include "MessagePump.h"
#include "Win32Window.h"
#include "WideText.h"

#include <cderr.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <vector>

namespace tarnwick::win32 {

namespace {

// From the HTML Help interface, which the program loads at run time rather than linking.
constexpr UINT HH_DISPLAY_TOPIC = 0x0000;
constexpr UINT HH_CLOSE_ALL = 0x0012;

// Hands the keyboard back to the window that was active before a dialog: a dialog with no
// owner (the folder picker) leaves Windows to activate whatever it likes when it closes.
class FocusReturn
{
public:
    FocusReturn()
        : m_window(GetActiveWindow())
    {
    }
    ~FocusReturn()
    {
        if (m_window && IsWindow(m_window) && IsWindowVisible(m_window) && IsWindowEnabled(m_window)) {
            SetForegroundWindow(m_window);
            SetActiveWindow(m_window);
        }
    }
    FocusReturn(const FocusReturn &) = delete;
    FocusReturn &operator=(const FocusReturn &) = delete;

private:
    HWND m_window;
};

std::wstring programFolder()
{
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            std::wstring file(path.data(), length);
            return file.substr(0, file.find_last_of(L"\\/"));
        }
        path.resize(path.size() * 2);
    }
}

bool fileExists(const std::wstring &path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

Win32Desktop::~Win32Desktop()
{
    // A help window left open would outlive the library it runs in.
    if (m_htmlHelp)
        m_htmlHelp(nullptr, nullptr, HH_CLOSE_ALL, 0);
    if (m_htmlHelpLibrary)
        FreeLibrary(m_htmlHelpLibrary);
}

HWND Win32Desktop::windowOf(ui::WindowFace *face)
{
    auto *window = dynamic_cast<Win32Window *>(face);
    return window ? window->hwnd() : nullptr;
}

std::wstring Win32Desktop::dialogFilter(const std::string &filter)
{
    std::wstring result = widen(filter);
    for (wchar_t &c : result) {
        if (c == L'|')
            c = L'\0';
    }
    // Each text ends in a NUL, and an empty text ends the list.
    result.push_back(L'\0');
    result.push_back(L'\0');
    return result;
}

std::string Win32Desktop::getOpenFileName(ui::WindowFace &owner, const std::string &fileName,
                                          const std::string &filter)
{
    const std::wstring filters = dialogFilter(filter);
    // Room for the longest path Windows handles.
    std::vector<wchar_t> name(32768, L'\0');
    const std::wstring start = widen(fileName);
    if (start.size() < name.size())
        std::copy(start.begin(), start.end(), name.begin());
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = windowOf(&owner);
    dialog.lpstrFilter = filters.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    // The process's current folder is left alone: the program opens everything by full path.
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    FocusReturn focus;
    if (GetOpenFileNameW(&dialog))
        return narrow(name.data());
    // A remembered name the dialog refuses (its folder gone) must not keep the dialog from
    // opening at all: it opens again without it.
    if (CommDlgExtendedError() == FNERR_INVALIDFILENAME && !start.empty()) {
        name.assign(name.size(), L'\0');
        if (GetOpenFileNameW(&dialog))
            return narrow(name.data());
    }
    return {};
}

void Win32Desktop::showMessage(ui::WindowFace *owner, const std::string &text, const std::string &title)
{
    HWND parent = owner ? windowOf(owner) : GetActiveWindow();
    FocusReturn focus;
    MessageBoxW(parent, widen(text).c_str(), widen(title).c_str(), MB_OK | MB_ICONINFORMATION);
}

void Win32Desktop::shellOpen(const std::string &target, Failure onFailure)
{
    if (target.empty())
        return;
    const HINSTANCE result =
        ShellExecuteW(nullptr, L"open", widen(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    // The shell answers at once: above 32 is success, anything else says why not.
    if (reinterpret_cast<INT_PTR>(result) <= 32 && onFailure)
        onFailure();
}

std::string Win32Desktop::browseForFolder(const std::string &title)
{
    const std::wstring caption = widen(title);
    BROWSEINFOW browse{};
    // No owner: the field-choice window stays enabled while the picker is open.
    browse.hwndOwner = nullptr;
    browse.lpszTitle = caption.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    FocusReturn focus;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
    if (!chosen)
        return {};
    wchar_t path[MAX_PATH + 1] = {};
    const BOOL found = SHGetPathFromIDListW(chosen, path);
    CoTaskMemFree(chosen);
    return found ? narrow(path) : std::string();
}

std::string Win32Desktop::helpDocumentPath()
{
    return narrow(programFolder() + L"\\Help.chm");
}

void Win32Desktop::openHelp(ui::WindowFace &owner, const std::string &path, Failure onFailure)
{
    const std::wstring file = widen(path);
    if (!m_htmlHelpLibrary) {
        m_htmlHelpLibrary = LoadLibraryW(L"hhctrl.ocx");
        if (m_htmlHelpLibrary)
            m_htmlHelp = reinterpret_cast<HtmlHelpFunction>(
                reinterpret_cast<void *>(GetProcAddress(m_htmlHelpLibrary, "HtmlHelpW")));
    }
    // The viewer shows an empty window for a missing file; the user is told instead.
    if (!fileExists(file) || !m_htmlHelp || !m_htmlHelp(windowOf(&owner), file.c_str(), HH_DISPLAY_TOPIC, 0)) {
        if (onFailure)
            onFailure();
    }
}

void Win32Desktop::processEvents()
{
    MessagePump::handlePending();
}

void Win32Desktop::repaintWindows()
{
    MessagePump::repaintOnly();
}

void Win32Desktop::runAboutBox(ui::WindowFace &owner)
{
    HWND parent = windowOf(&owner);
    AboutWindow about(parent);
    MessagePump::runModal(about, parent);
}

void Win32Desktop::runConversionWindow(ui::WindowFace &owner, ui::FrmConversion &window)
{
    HWND parent = windowOf(&owner);
    ConversionWindow conversion(window, parent);
    MessagePump::runModal(conversion, parent);
}

void Win32Desktop::exitProgram()
{
    PostQuitMessage(0);
}

} // namespace tarnwick::win32
