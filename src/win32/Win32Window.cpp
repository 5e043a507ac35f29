#include "Win32Window.h"

#include "WideText.h"
#include "ui/Desktop.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

namespace tarnwick::win32 {

namespace {
ui::Desktop *failureDesktop = nullptr;
}

void Win32Window::reportFailuresTo(ui::Desktop *desktop)
{
    failureDesktop = desktop;
}

Win32Window::~Win32Window()
{
    if (m_hwnd) {
        // Nothing of this object may be reached while the window goes.
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hwnd);
    }
    // The controls are gone; their fonts and brushes may follow.
    m_layout.reset();
    if (m_bigIcon)
        DestroyIcon(m_bigIcon);
    if (m_smallIcon)
        DestroyIcon(m_smallIcon);
}

HWND Win32Window::control(const char *name) const
{
    return m_layout ? m_layout->control(name) : nullptr;
}

std::string Win32Window::controlText(const char *name) const
{
    HWND box = control(name);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(box)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(box, text.data(), static_cast<int>(text.size()))));
    return narrow(text);
}

void Win32Window::create(const Frame &frame)
{
    m_frame = frame;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (!GetClassInfoExW(instance, frame.windowClass, &existing)) {
        WNDCLASSEXW description{};
        description.cbSize = sizeof description;
        description.lpfnWndProc = windowProcedure;
        description.hInstance = instance;
        description.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        description.lpszClassName = frame.windowClass;
        if (!RegisterClassExW(&description))
            throw std::runtime_error("could not register the window class " + narrow(frame.windowClass));
    }
    if (!CreateWindowExW(frame.exStyle, frame.windowClass, frame.caption.c_str(), frame.style, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, frame.owner, frame.menu, instance, this))
        throw std::runtime_error("could not create the window " + narrow(frame.caption));
    m_layout = std::make_unique<ControlLayout>(m_hwnd);
    fitClientArea();
    setIcons(m_layout->dpi());
}

void Win32Window::fitClientArea()
{
    const UINT dpi = look::dpiOf(m_hwnd);
    const SIZE size = look::windowSizeFor(m_frame.width, m_frame.height, m_frame.style, m_frame.exStyle,
                                          m_frame.menu != nullptr, dpi);
    SetWindowPos(m_hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The frame's and the menu bar's real sizes may differ from the system's estimate (a
    // menu bar that wraps, a theme's border): the client area is what must come out right.
    RECT client{};
    GetClientRect(m_hwnd, &client);
    const int dx = look::scaled(m_frame.width, dpi) - (client.right - client.left);
    const int dy = look::scaled(m_frame.height, dpi) - (client.bottom - client.top);
    if (dx != 0 || dy != 0)
        SetWindowPos(m_hwnd, nullptr, 0, 0, size.cx + dx, size.cy + dy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::setIcons(UINT dpi)
{
    HICON big = look::loadIcon(m_frame.icon, 32, dpi);
    HICON small = look::loadIcon(m_frame.icon, 16, dpi);
    SendMessageW(m_hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(m_hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    if (m_bigIcon)
        DestroyIcon(m_bigIcon);
    if (m_smallIcon)
        DestroyIcon(m_smallIcon);
    m_bigIcon = big;
    m_smallIcon = small;
}

void Win32Window::centre(HWND over)
{
    RECT window{};
    GetWindowRect(m_hwnd, &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(over ? over : m_hwnd, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT work = monitor.rcWork;
    RECT around = work;
    const int left = work.left, top = work.top, right = work.right, bottom = work.bottom;
    if (over && IsWindowVisible(over))
        GetWindowRect(over, &around);
    int x = around.left + (around.right - around.left - width) / 2;
    int y = around.top + (around.bottom - around.top - height) / 2;
    // Never with its title bar off the screen, where it could not be moved back.
    x = std::max(left, std::min(x, right - width));
    y = std::max(top, std::min(y, bottom - height));
    SetWindowPos(m_hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT Win32Window::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        paintBackground(reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_PRINTCLIENT:
        // Themed controls draw their parent's background under them through this.
        paintBackground(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(m_hwnd, &paint);
        EndPaint(m_hwnd, &paint);
        return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
        if (const Placement *placement = m_layout ? m_layout->placementOf(reinterpret_cast<HWND>(lParam)) : nullptr;
            placement && (placement->text != look::SystemColour || placement->background != look::SystemColour)) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            if (placement->background == look::SystemColour) {
                const LRESULT standard = DefWindowProcW(m_hwnd, message, wParam, lParam);
                SetTextColor(dc, placement->text);
                return standard;
            }
            if (placement->text != look::SystemColour)
                SetTextColor(dc, placement->text);
            SetBkColor(dc, placement->background);
            // Labels lie on what is drawn under them; an edit box fills its own.
            if (message != WM_CTLCOLOREDIT)
                SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<LRESULT>(m_layout->brush(placement->background));
        }
        break;
    case WM_DPICHANGED: {
        const UINT dpi = HIWORD(wParam);
        m_layout->apply(dpi);
        setIcons(dpi);
        dpiChanged(dpi);
        const RECT *suggested = reinterpret_cast<const RECT *>(lParam);
        SetWindowPos(m_hwnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_ACTIVATE:
        // As a dialog does: the keyboard goes back to the control that had it.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(m_hwnd, focus))
                m_focus = focus;
        } else if (!HIWORD(wParam)) {
            HWND target = m_focus;
            if (!target || !IsWindow(target) || !IsWindowEnabled(target) || !IsWindowVisible(target))
                target = GetNextDlgTabItem(m_hwnd, nullptr, FALSE);
            SetFocus(target ? target : m_hwnd);
        }
        return 0;
    case WM_COMMAND:
        if (command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)))
            return 0;
        break;
    case WM_CLOSE:
        requestClose();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Win32Window::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Win32Window *self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<Win32Window *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        self->m_hwnd = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Win32Window *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->m_hwnd = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    // An exception cannot travel through the system's code that called us; the user is
    // told what stopped the command instead.
    std::string text;
    try {
        return self->handleMessage(message, wParam, lParam);
    } catch (const std::exception &error) {
        text = std::string("The command could not be completed:\r\n\r\n") + error.what();
    } catch (...) {
        text = "The command could not be completed.";
    }
    try {
        if (failureDesktop)
            failureDesktop->showMessage(dynamic_cast<ui::WindowFace *>(self), text, "Tarnwick");
        else
            OutputDebugStringW(widen(text).c_str());
    } catch (...) {
    }
    return 0;
}

} // namespace tarnwick::win32
