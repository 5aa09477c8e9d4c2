#include "pages/caption_button.h"

#include <commctrl.h>

#include <vector>

#include "core/icon_rules.h"

void CaptionButton::OnBinding() {
    const LONG style = GetWindowLongA(Handle(), GWL_STYLE);
    const LONG type = style & 0x1F;
    if (type == BS_DEFPUSHBUTTON) m_defaultButton = true;
    SetWindowLongA(Handle(), GWL_STYLE, (style & ~0x1F) | BS_OWNERDRAW);
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

LRESULT CaptionButton::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case BM_SETSTYLE: {
            const UINT type = static_cast<UINT>(wParam) & 0x1F;
            if (type == BS_DEFPUSHBUTTON) m_defaultButton = true;
            if (type == BS_PUSHBUTTON) m_defaultButton = false;
            return CallDefault(message, (wParam & ~static_cast<WPARAM>(0x1F)) | BS_OWNERDRAW, lParam);
        }
        case WM_GETDLGCODE:
            return CallDefault(message, wParam, lParam) |
                   (m_defaultButton ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
        case WM_LBUTTONDBLCLK:
            // The second click of a double click is a click too.
            return CallDefault(WM_LBUTTONDOWN, wParam, lParam);
        case WM_MOUSEMOVE: {
            const LRESULT result = CallDefault(message, wParam, lParam);
            TrackHover(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
            return result;
        }
        case WM_MOUSELEAVE:
            LeaveHover();
            return 0;
        case WM_KILLFOCUS:
        case WM_CANCELMODE: {
            const LRESULT result = CallDefault(message, wParam, lParam);
            LeaveHover();
            return result;
        }
        case WM_ACTIVATE: {
            const LRESULT result = CallDefault(message, wParam, lParam);
            if (LOWORD(wParam) == WA_INACTIVE) LeaveHover();
            return result;
        }
        case WM_ENABLE: {
            const LRESULT result = CallDefault(message, wParam, lParam);
            if (!wParam) {
                HWND parent = GetParent(Handle());
                if (parent != nullptr && GetFocus() == Handle()) {
                    HWND next = GetNextDlgTabItem(parent, Handle(), FALSE);
                    SetFocus(next != nullptr && next != Handle() ? next : parent);
                }
                LeaveHover();
            }
            return result;
        }
        case WM_SYSCOLORCHANGE: {
            const LRESULT result = CallDefault(message, wParam, lParam);
            FreeBackground();
            return result;
        }
        default:
            return Window::OnMessage(message, wParam, lParam);
    }
}

void CaptionButton::OnReflectedCommand(int notification) {
    if (notification == BN_CLICKED) SetFocus(Handle());  // the page still gets the click
}

HBRUSH CaptionButton::OnReflectedCtlColor(HDC) { return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)); }

void CaptionButton::TrackHover(POINT point) {
    ClientToScreen(Handle(), &point);
    HWND under = WindowFromPoint(point);
    if ((GetKeyState(VK_LBUTTON) & 0x8000) != 0 && !m_mouseOver) return;
    if (under == Handle()) {
        if (!m_mouseOver) {
            m_mouseOver = true;
            Invalidate();
            TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, Handle(), 0};
            _TrackMouseEvent(&track);
        }
        return;
    }
    LeaveHover();
}

void CaptionButton::LeaveHover() {
    if (m_mouseOver) {
        m_mouseOver = false;
        Invalidate();
    }
}

void CaptionButton::RetakeBackground() {
    FreeBackground();
    if (Handle() != nullptr) Invalidate();
}

void CaptionButton::FreeBackground() {
    if (m_backgroundDc && m_replacedBitmap != nullptr) SelectObject(m_backgroundDc.get(), m_replacedBitmap);
    m_backgroundBitmap.reset();
    m_backgroundDc.reset();
    m_replacedBitmap = nullptr;
}

namespace {

// The icon's size from its information: twice the hot spot. False when the
// information cannot be read.
bool IconSize(HICON icon, int& width, int& height) {
    ICONINFO info;
    if (!GetIconInfo(icon, &info)) return false;
    // GetIconInfo hands out copies of the icon's bitmaps.
    const ScopedBitmap colour(info.hbmColor);
    const ScopedBitmap mask(info.hbmMask);
    width = static_cast<int>(info.xHotspot * 2);
    height = static_cast<int>(info.yHotspot * 2);
    return true;
}

}  // namespace

bool CaptionButton::SetIcon(HICON icon) {
    for (Icon& held : m_icons) held = Icon();
    bool usable = icon != nullptr;
    if (usable) {
        m_icons[0].handle.reset(icon);
        m_icons[1].handle = GreyCopy(icon);
        usable = m_icons[1].handle && IconSize(icon, m_icons[0].width, m_icons[0].height) &&
                 IconSize(m_icons[1].handle.get(), m_icons[1].width, m_icons[1].height);
        if (!usable) {
            for (Icon& held : m_icons) held = Icon();
        }
    }
    if (Handle() != nullptr) Invalidate();
    return usable;
}

ScopedIcon CaptionButton::GreyCopy(HICON icon) {
    ICONINFO info;
    if (!GetIconInfo(icon, &info)) return ScopedIcon();
    // GetIconInfo hands out copies of the icon's bitmaps.
    const ScopedBitmap colour(info.hbmColor);
    const ScopedBitmap mask(info.hbmMask);
    const ScopedWindowDc buttonDc(Handle());
    const ScopedMemoryDc sourceDc(buttonDc.get() != nullptr ? CreateCompatibleDC(buttonDc.get()) : nullptr);
    const ScopedMemoryDc greyDc(buttonDc.get() != nullptr ? CreateCompatibleDC(buttonDc.get()) : nullptr);
    ScopedIcon grey;
    if (sourceDc && greyDc && colour) {
        BITMAP format;
        GetObjectA(colour.get(), sizeof format, &format);
        const int width = static_cast<int>(info.xHotspot * 2);
        const int height = static_cast<int>(info.yHotspot * 2);
        const ScopedBitmap greyBitmap(CreateBitmap(width, height, format.bmPlanes, format.bmBitsPixel, nullptr));
        if (greyBitmap) {
            {
                // The icon is made from the bitmap once it is no longer selected.
                const ScopedSelection source(sourceDc.get(), colour.get());
                const ScopedSelection target(greyDc.get(), greyBitmap.get());
                BitBlt(greyDc.get(), 0, 0, width, height, sourceDc.get(), 0, 0, SRCCOPY);
                std::vector<std::uint32_t> colours;
                colours.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
                for (int y = 0; y < height; ++y)
                    for (int x = 0; x < width; ++x) colours.push_back(GetPixel(greyDc.get(), x, y));
                GreyPixels(colours);
                size_t i = 0;
                for (int y = 0; y < height; ++y)
                    for (int x = 0; x < width; ++x, ++i) SetPixel(greyDc.get(), x, y, colours[i]);
            }
            ICONINFO greyInfo = info;
            greyInfo.fIcon = TRUE;
            greyInfo.hbmColor = greyBitmap.get();
            grey.reset(CreateIconIndirect(&greyInfo));
        }
    }
    return grey;
}

void CaptionButton::CopyParentBackground(HDC dc) {
    RECT client;
    GetClientRect(Handle(), &client);
    if (!m_backgroundDc) {
        HWND parent = GetParent(Handle());
        RECT window;
        GetWindowRect(Handle(), &window);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&window), 2);
        const ScopedWindowDc parentDc(parent);
        m_backgroundDc.reset(CreateCompatibleDC(parentDc.get()));
        m_backgroundBitmap.reset(CreateCompatibleBitmap(parentDc.get(), client.right, client.bottom));
        m_replacedBitmap = SelectObject(m_backgroundDc.get(), m_backgroundBitmap.get());
        BitBlt(m_backgroundDc.get(), 0, 0, client.right, client.bottom, parentDc.get(), window.left, window.top,
               SRCCOPY);
    }
    BitBlt(dc, 0, 0, client.right, client.bottom, m_backgroundDc.get(), 0, 0, SRCCOPY);
}

void CaptionButton::OnDrawItem(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    const RECT& rect = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    SetBkMode(dc, TRANSPARENT);
    CopyParentBackground(dc);
    if (m_icons[0].handle) {
        const Icon& icon = m_icons[1].handle && !pressed && !m_mouseOver ? m_icons[1] : m_icons[0];
        const IconPlace place =
            PlaceIcon(rect.left, rect.top, rect.right, rect.bottom, icon.width, icon.height, pressed);
        DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon.handle.get()), 0, place.left, place.top,
                   icon.width, icon.height, DST_ICON | (disabled ? DSS_DISABLED : DSS_NORMAL));
    }
}
