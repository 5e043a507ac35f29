#include "ConversionWindow.h"

#include "Resources.h"
#include "WideText.h"
#include "ui/FrmConversion.h"

#include <commctrl.h>

#include <algorithm>

namespace tarnwick::win32 {

namespace {

constexpr const wchar_t *WindowClass = L"TarnwickFrmConversion";
// A single border, a title bar and a close box; no sizing, no minimise or maximise box.
constexpr DWORD Style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD ExStyle = WS_EX_CONTROLPARENT;

} // namespace

ConversionWindow::ConversionWindow(ui::FrmConversion &window, HWND owner)
    : m_window(window)
{
    create({WindowClass, L"Choose Contacts Fields", Style, ExStyle, 304, 317, IDI_CONVERSION, owner, nullptr});
    using look::Font;
    ControlLayout &layout = controls();
    // The creation order is the tab order; the button comes first and has the keyboard.
    layout.add(CmdConversion, {"CmdConversion", L"BUTTON", L"&Start Conversion >", WS_TABSTOP | BS_PUSHBUTTON, 0,
                               {88, 280, 129, 29}});
    layout.add(ProgBarSave, {"ProgBarSave", PROGRESS_CLASSW, L"", PBS_SMOOTH, 0, {16, 216, 273, 17}});
    HWND link = layout.add(LblOpenExcelFile, {"LblOpenExcelFile", L"STATIC", L"Open Exported Contacts File",
                                              SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY, 0, {80, 248, 206, 17},
                                              Font::VerdanaBold, look::LinkBlue, look::Parchment});
    m_list = layout.add(LstContactsField, {"LstContactsField", WC_LISTVIEWW, L"",
                                           WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL |
                                               LVS_SHOWSELALWAYS,
                                           WS_EX_CLIENTEDGE, {16, 56, 273, 154}});
    layout.add(Label, {"Label1", L"STATIC", L"Select the fields you wish to export to GMAIL contacts :",
                       SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, {16, 8, 273, 17}, Font::Tahoma, look::SystemColour, look::Parchment});
    layout.add(ChkSelectAll, {"ChkSelectAll", L"BUTTON", L"Select &All", WS_TABSTOP | BS_AUTOCHECKBOX, 0,
                              {16, 32, 73, 17}, Font::Tahoma, look::SystemColour, look::Parchment});
    HWND icon = layout.add(Label, {"ImgOpenExcelFile", L"STATIC", L"", SS_ICON | SS_REALSIZECONTROL, 0,
                                   {56, 248, 16, 16}, Font::Tahoma, look::SystemColour, look::Parchment});
    ShowWindow(link, SW_HIDE);
    ShowWindow(icon, SW_HIDE);

    ListView_SetExtendedListViewStyle(m_list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    ListView_InsertColumn(m_list, 0, &column);
    setFileIcon(layout.dpi());
    centre(owner);
    m_window.attach(*this);
    SetFocus(control("CmdConversion"));
}

ConversionWindow::~ConversionWindow()
{
    if (m_fileIcon)
        DestroyIcon(m_fileIcon);
}

void ConversionWindow::setFileIcon(UINT dpi)
{
    HICON fileIcon = look::loadIcon(IDI_CSVFILE, 16, dpi);
    SendMessageW(control("ImgOpenExcelFile"), STM_SETICON, reinterpret_cast<WPARAM>(fileIcon), 0);
    if (m_fileIcon)
        DestroyIcon(m_fileIcon);
    m_fileIcon = fileIcon;
}

void ConversionWindow::fitColumn()
{
    // One column across the list, whatever its scroll bar takes.
    RECT inside{};
    GetClientRect(m_list, &inside);
    ListView_SetColumnWidth(m_list, 0, inside.right - inside.left);
}

void ConversionWindow::dpiChanged(UINT dpi)
{
    setFileIcon(dpi);
    fitColumn();
}

void ConversionWindow::paintBackground(HDC dc)
{
    RECT client{};
    GetClientRect(hwnd(), &client);
    look::fill(dc, client, look::Parchment);
    // The separator from x 8 to x 296: the pixels 8 to 295.
    look::fill(dc, layout().scaled(DesignRect{8, 272, 288, 1}), look::SeparatorGrey);
}

bool ConversionWindow::command(int id, int notification, HWND)
{
    switch (id) {
    case ChkSelectAll:
        if (notification == BN_CLICKED)
            m_window.ChkSelectAll_Click();
        return true;
    case CmdConversion:
        if (notification == BN_CLICKED)
            m_window.CmdConversion_Click();
        return true;
    case LblOpenExcelFile:
        if (notification == STN_CLICKED)
            m_window.LblOpenExcelFile_Click();
        return true;
    default:
        // Escape does not close the window, and Enter acts only on a focused button.
        return id == IDOK || id == IDCANCEL;
    }
}

LRESULT ConversionWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETCURSOR && reinterpret_cast<HWND>(wParam) == control("LblOpenExcelFile")) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
    }
    return Win32Window::handleMessage(message, wParam, lParam);
}

// --- FrmConversionFace ------------------------------------------------------------------

void ConversionWindow::setEntries(const std::vector<std::string> &texts)
{
    ListView_DeleteAllItems(m_list);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        std::wstring text = widen(texts[i]);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = text.data();
        ListView_InsertItem(m_list, &item);
    }
    fitColumn();
}

int ConversionWindow::entryCount()
{
    return ListView_GetItemCount(m_list);
}

std::string ConversionWindow::entryText(int position)
{
    wchar_t text[256] = {};
    ListView_GetItemText(m_list, position, 0, text, 256);
    return narrow(text);
}

bool ConversionWindow::isTicked(int position)
{
    return ListView_GetCheckState(m_list, static_cast<UINT>(position)) != 0;
}

void ConversionWindow::setTicked(int position, bool ticked)
{
    ListView_SetCheckState(m_list, position, ticked);
}

bool ConversionWindow::selectAllTicked()
{
    return SendMessageW(control("ChkSelectAll"), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void ConversionWindow::setProgressRange(std::int32_t minimum, std::int32_t maximum)
{
    m_minimum = minimum;
    m_maximum = maximum;
    m_shownPixel = -1;
    SendMessageW(control("ProgBarSave"), PBM_SETRANGE32, static_cast<WPARAM>(minimum), maximum);
}

void ConversionWindow::setProgressValue(std::int32_t value)
{
    // The bar redraws itself on every new position, and an export moves it once a contact:
    // it is told only when its filled part grows by a pixel, and always at either end.
    RECT bar{};
    GetClientRect(control("ProgBarSave"), &bar);
    const long long span = std::max<long long>(1, static_cast<long long>(m_maximum) - m_minimum);
    const long long pixel = (static_cast<long long>(value) - m_minimum) * bar.right / span;
    if (pixel == m_shownPixel && value != m_minimum && value != m_maximum)
        return;
    m_shownPixel = pixel;
    SendMessageW(control("ProgBarSave"), PBM_SETPOS, static_cast<WPARAM>(value), 0);
}

void ConversionWindow::setConversionEnabled(bool enabled)
{
    HWND button = control("CmdConversion");
    // The run disables the button that started it: the keyboard moves on to the list
    // rather than staying on a control that no longer takes it.
    if (!enabled && GetFocus() == button)
        SetFocus(m_list);
    EnableWindow(button, enabled);
}

void ConversionWindow::showOpenLink()
{
    ShowWindow(control("ImgOpenExcelFile"), SW_SHOW);
    ShowWindow(control("LblOpenExcelFile"), SW_SHOW);
}

} // namespace tarnwick::win32
