#pragma once

#include "WindowLook.h"

#include <windows.h>

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::win32 {

// A rectangle of the layout, in design pixels (96 dots per inch).
struct DesignRect
{
    int x, y, width, height;
};

// One child control: where it sits and how it looks, kept so that a change of the
// window's dots per inch can lay it out again.
struct Placement
{
    std::string name;
    HWND control;
    DesignRect at;
    look::Font font;
    COLORREF text;       // look::SystemColour: the system's
    COLORREF background; // of the window under it; the control is drawn transparent on it
};

// The child controls of one window: creates them, holds their fonts, and lays them out at
// the window's dots per inch.
class ControlLayout
{
public:
    explicit ControlLayout(HWND parent);
    ~ControlLayout();
    ControlLayout(const ControlLayout &) = delete;
    ControlLayout &operator=(const ControlLayout &) = delete;

    struct Control
    {
        const char *name;
        const wchar_t *windowClass;
        std::wstring text;
        DWORD style;
        DWORD exStyle;
        DesignRect at;
        look::Font font = look::Font::Tahoma;
        COLORREF textColour = look::SystemColour;
        COLORREF background = look::SystemColour;
    };
    // Creates a visible child; the order of creation is the tab order. Labels are one line
    // each (SS_LEFTNOWORDWRAP): a text a little wider than its place is cut at the edge
    // rather than wrapped onto a second line that the label's height would hide.
    HWND add(int id, const Control &control);

    // Fonts and positions for dpi.
    void apply(UINT dpi);
    UINT dpi() const { return m_dpi; }
    int scaled(int pixels) const { return look::scaled(pixels, m_dpi); }
    RECT scaled(const DesignRect &at) const;

    HWND control(std::string_view name) const;
    const Placement *placementOf(HWND control) const;
    const std::vector<Placement> &placements() const { return m_placements; }

    // A brush of colour, kept until the window goes.
    HBRUSH brush(COLORREF colour);
    HFONT font(look::Font font) const;

private:
    void makeFonts();
    void releaseFonts();

    HWND m_parent;
    UINT m_dpi;
    std::vector<Placement> m_placements;
    std::array<HFONT, 4> m_fonts{};
    std::map<COLORREF, HBRUSH> m_brushes;
};

} // namespace tarnwick::win32
