#pragma once

#include <windows.h>

namespace tarnwick::win32::look {

// The windows' colours.
inline constexpr COLORREF Parchment = RGB(238, 238, 224);
inline constexpr COLORREF White = RGB(255, 255, 255);
inline constexpr COLORREF TitleRed = RGB(192, 0, 0);
inline constexpr COLORREF FooterBand = RGB(128, 128, 255);
inline constexpr COLORREF FooterNavy = RGB(0, 0, 128);
inline constexpr COLORREF FooterLink = RGB(0, 0, 192);
inline constexpr COLORREF LinkBlue = RGB(0, 0, 255);
inline constexpr COLORREF SeparatorGrey = RGB(192, 192, 192);
inline constexpr COLORREF AboutLine = RGB(224, 224, 224);
// A control's colour that the system chooses.
inline constexpr COLORREF SystemColour = CLR_INVALID;

enum class Font {
    Tahoma,       // 8.25 point: the windows' default
    TahomaBold,   // 8.25 point bold
    VerdanaBold,  // 8.25 point bold: the maker's name above the title
    VerdanaTitle, // 14.25 point bold: the program's name
};

// Geometry is laid out in pixels at 96 dots per inch and scaled to the window's.
inline constexpr UINT DesignDpi = 96;
int scaled(int pixels, UINT dpi);
// The window's dots per inch, or the screen's on a system that has no per-window value.
UINT dpiOf(HWND window);
HFONT createFont(Font font, UINT dpi);

// The whole window's size for a client area of width x height design pixels.
SIZE windowSizeFor(int width, int height, DWORD style, DWORD exStyle, bool hasMenu, UINT dpi);

void fill(HDC dc, const RECT &area, COLORREF colour);
// The banner's colour strip, from dark red through periwinkle to navy, across `area`.
void drawStrip(HDC dc, const RECT &area);

// One of the program's icons at size x size design pixels, scaled for dpi; owned by the
// caller.
HICON loadIcon(int resource, int size, UINT dpi);

} // namespace tarnwick::win32::look
