#include "ControlLayout.h"

#include <stdexcept>

namespace tarnwick::win32 {

ControlLayout::ControlLayout(HWND parent)
    : m_parent(parent)
    , m_dpi(look::dpiOf(parent))
{
    makeFonts();
}

ControlLayout::~ControlLayout()
{
    releaseFonts();
    for (auto &entry : m_brushes)
        DeleteObject(entry.second);
}

void ControlLayout::makeFonts()
{
    for (std::size_t i = 0; i < m_fonts.size(); ++i)
        m_fonts[i] = look::createFont(static_cast<look::Font>(i), m_dpi);
}

void ControlLayout::releaseFonts()
{
    for (HFONT &font : m_fonts) {
        if (font)
            DeleteObject(font);
        font = nullptr;
    }
}

HWND ControlLayout::add(int id, const Control &control)
{
    const RECT at = scaled(control.at);
    // Overlapping siblings (the log inside its frame) must not paint over each other.
    HWND child = CreateWindowExW(control.exStyle, control.windowClass, control.text.c_str(),
                                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | control.style, at.left, at.top,
                                 at.right - at.left, at.bottom - at.top, m_parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (!child)
        throw std::runtime_error(std::string("could not create the control ") + control.name);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font(control.font)), FALSE);
    m_placements.push_back({control.name, child, control.at, control.font, control.textColour, control.background});
    return child;
}

void ControlLayout::apply(UINT dpi)
{
    if (dpi != m_dpi) {
        releaseFonts();
        m_dpi = dpi;
        makeFonts();
    }
    for (const Placement &placement : m_placements) {
        const RECT at = scaled(placement.at);
        SendMessageW(placement.control, WM_SETFONT, reinterpret_cast<WPARAM>(font(placement.font)), FALSE);
        SetWindowPos(placement.control, nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    InvalidateRect(m_parent, nullptr, TRUE);
}

RECT ControlLayout::scaled(const DesignRect &at) const
{
    const int left = scaled(at.x);
    const int top = scaled(at.y);
    return {left, top, left + scaled(at.width), top + scaled(at.height)};
}

HWND ControlLayout::control(std::string_view name) const
{
    for (const Placement &placement : m_placements) {
        if (placement.name == name)
            return placement.control;
    }
    return nullptr;
}

const Placement *ControlLayout::placementOf(HWND control) const
{
    for (const Placement &placement : m_placements) {
        if (placement.control == control)
            return &placement;
    }
    return nullptr;
}

HBRUSH ControlLayout::brush(COLORREF colour)
{
    auto found = m_brushes.find(colour);
    if (found == m_brushes.end())
        found = m_brushes.emplace(colour, CreateSolidBrush(colour)).first;
    return found->second;
}

HFONT ControlLayout::font(look::Font font) const
{
    return m_fonts[static_cast<std::size_t>(font)];
}

} // namespace tarnwick::win32
