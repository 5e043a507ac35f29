#include "WindowLook.h"

#include <algorithm>

namespace tarnwick::win32::look {

namespace {

// Windows 10 (1607) and later; looked up at run time so that older systems still start.
template <typename Function>
Function userFunction(const char *name)
{
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void *>(GetProcAddress(user32, name))) : nullptr;
}

using GetDpiForWindowFunction = UINT(WINAPI *)(HWND);
using AdjustForDpiFunction = BOOL(WINAPI *)(LPRECT, DWORD, BOOL, DWORD, UINT);

} // namespace

int scaled(int pixels, UINT dpi)
{
    return MulDiv(pixels, static_cast<int>(dpi), static_cast<int>(DesignDpi));
}

UINT dpiOf(HWND window)
{
    static const auto getDpiForWindow = userFunction<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow && window) {
        if (const UINT dpi = getDpiForWindow(window))
            return dpi;
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : DesignDpi;
}

HFONT createFont(Font font, UINT dpi)
{
    const bool verdana = font == Font::VerdanaBold || font == Font::VerdanaTitle;
    const bool bold = font != Font::Tahoma;
    // Hundredths of a point: 8.25 and 14.25.
    const int hundredths = font == Font::VerdanaTitle ? 1425 : 825;
    LOGFONTW description{};
    description.lfHeight = -MulDiv(hundredths, static_cast<int>(dpi), 7200);
    description.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfOutPrecision = OUT_TT_PRECIS;
    description.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynW(description.lfFaceName, verdana ? L"Verdana" : L"Tahoma", LF_FACESIZE);
    return CreateFontIndirectW(&description);
}

SIZE windowSizeFor(int width, int height, DWORD style, DWORD exStyle, bool hasMenu, UINT dpi)
{
    static const auto adjustForDpi = userFunction<AdjustForDpiFunction>("AdjustWindowRectExForDpi");
    RECT frame{0, 0, scaled(width, dpi), scaled(height, dpi)};
    if (adjustForDpi)
        adjustForDpi(&frame, style, hasMenu, exStyle, dpi);
    else
        AdjustWindowRectEx(&frame, style, hasMenu, exStyle);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

void fill(HDC dc, const RECT &area, COLORREF colour)
{
    // ExtTextOut with an opaque rectangle fills without a brush to create and free.
    const COLORREF previous = SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
    SetBkColor(dc, previous);
}

void drawStrip(HDC dc, const RECT &area)
{
    struct Stop
    {
        double at;
        double red, green, blue;
    };
    static constexpr Stop stops[] = {{0.0, 192, 0, 0}, {0.5, 128, 128, 255}, {1.0, 0, 0, 128}};
    const int width = std::max(1L, area.right - area.left - 1);
    for (LONG x = area.left; x < area.right; ++x) {
        const double at = static_cast<double>(x - area.left) / width;
        const Stop &from = at < 0.5 ? stops[0] : stops[1];
        const Stop &to = at < 0.5 ? stops[1] : stops[2];
        const double t = (at - from.at) / (to.at - from.at);
        auto mix = [t](double a, double b) { return static_cast<BYTE>(a + (b - a) * t + 0.5); };
        const RECT column{x, area.top, x + 1, area.bottom};
        fill(dc, column, RGB(mix(from.red, to.red), mix(from.green, to.green), mix(from.blue, to.blue)));
    }
}

HICON loadIcon(int resource, int size, UINT dpi)
{
    const int side = scaled(size, dpi);
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), IMAGE_ICON, side,
                                         side, LR_DEFAULTCOLOR));
}

} // namespace tarnwick::win32::look
