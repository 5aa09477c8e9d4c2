#include "pages/caption_button.h"

#include <commctrl.h>

#include <vector>

#include "core/icon_rules.h"

HICON const CaptionButton::kGreyCopy = reinterpret_cast<HICON>(static_cast<INT_PTR>(-2));

CaptionButton::CaptionButton()
    : m_activeColour(GetSysColor(COLOR_BTNFACE)),
      m_idleColour(GetSysColor(COLOR_BTNFACE)),
      m_focusColour(GetSysColor(COLOR_BTNFACE)) {}

CaptionButton::~CaptionButton() {
    FreeIcons();
    FreeBackground();
}

void CaptionButton::PreSubclassWindow() {
    const LONG style = GetWindowLongA(m_hWnd, GWL_STYLE);
    const LONG type = style & 0x1F;
    if (type == BS_DEFPUSHBUTTON) m_defaultButton = true;
    SetWindowLongA(m_hWnd, GWL_STYLE, (style & ~0x1F) | BS_OWNERDRAW);
    SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

LRESULT CaptionButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case BM_SETSTYLE: {
            const UINT type = static_cast<UINT>(wParam) & 0x1F;
            if (type == BS_DEFPUSHBUTTON) m_defaultButton = true;
            if (type == BS_PUSHBUTTON) m_defaultButton = false;
            return DefWindowProc(message, (wParam & ~static_cast<WPARAM>(0x1F)) | BS_OWNERDRAW, lParam);
        }
        case WM_GETDLGCODE:
            return DefWindowProc(message, wParam, lParam) |
                   (m_defaultButton ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
        case WM_LBUTTONDBLCLK:
            // The second click of a double click is a click too.
            return DefWindowProc(WM_LBUTTONDOWN, wParam, lParam);
        case WM_MOUSEMOVE: {
            const LRESULT result = DefWindowProc(message, wParam, lParam);
            TrackHover(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
            return result;
        }
        case WM_MOUSELEAVE:
            LeaveHover();
            return 0;
        case WM_KILLFOCUS:
        case WM_CANCELMODE: {
            const LRESULT result = DefWindowProc(message, wParam, lParam);
            LeaveHover();
            return result;
        }
        case WM_ACTIVATE: {
            const LRESULT result = DefWindowProc(message, wParam, lParam);
            if (LOWORD(wParam) == WA_INACTIVE) LeaveHover();
            return result;
        }
        case WM_ENABLE: {
            const LRESULT result = DefWindowProc(message, wParam, lParam);
            if (!wParam) {
                HWND parent = GetParent(m_hWnd);
                if (parent != nullptr && GetFocus() == m_hWnd) {
                    HWND next = GetNextDlgTabItem(parent, m_hWnd, FALSE);
                    SetFocus(next != nullptr && next != m_hWnd ? next : parent);
                }
                LeaveHover();
            }
            return result;
        }
        case WM_SYSCOLORCHANGE: {
            const LRESULT result = DefWindowProc(message, wParam, lParam);
            FreeBackground();
            return result;
        }
        default:
            return CButton::WindowProc(message, wParam, lParam);
    }
}

BOOL CaptionButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        SetFocus(m_hWnd);
        return FALSE;  // the page still gets the click
    }
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        *result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        return TRUE;
    }
    return FALSE;
}

void CaptionButton::TrackHover(POINT point) {
    ClientToScreen(m_hWnd, &point);
    HWND under = WindowFromPoint(point);
    if ((GetKeyState(VK_LBUTTON) & 0x8000) != 0 && !m_mouseOver) return;
    HWND reference = m_trackAlways ? m_hWnd : GetActiveWindow();
    if (under == m_hWnd && reference != nullptr) {
        if (!m_mouseOver) {
            m_mouseOver = true;
            Invalidate(TRUE);
            TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, m_hWnd, 0};
            _TrackMouseEvent(&track);
        }
        return;
    }
    LeaveHover();
}

void CaptionButton::LeaveHover() {
    if (m_mouseOver) {
        m_mouseOver = false;
        Invalidate(TRUE);
    }
}

void CaptionButton::UseParentBackground(bool repaint) {
    m_drawTransparent = true;
    FreeBackground();
    if (repaint && m_hWnd != nullptr) Invalidate();
}

void CaptionButton::SetBorder(bool on, bool repaint) {
    m_drawBorder = on;
    if (repaint && m_hWnd != nullptr) Invalidate();
}

void CaptionButton::FreeBackground() {
    if (m_backgroundDc != nullptr && m_replacedBitmap != nullptr) SelectObject(m_backgroundDc, m_replacedBitmap);
    if (m_backgroundBitmap != nullptr) DeleteObject(m_backgroundBitmap);
    if (m_backgroundDc != nullptr) DeleteDC(m_backgroundDc);
    m_backgroundDc = nullptr;
    m_backgroundBitmap = nullptr;
    m_replacedBitmap = nullptr;
}

void CaptionButton::FreeIcons() {
    for (Icon& icon : m_icons) {
        if (icon.handle != nullptr) DestroyIcon(icon.handle);
        icon = Icon();
    }
}

namespace {

// The icon's size from its information: twice the hot spot. False when the
// information cannot be read.
bool IconSize(HICON icon, int& width, int& height) {
    ICONINFO info;
    if (!GetIconInfo(icon, &info)) return false;
    width = static_cast<int>(info.xHotspot * 2);
    height = static_cast<int>(info.yHotspot * 2);
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
    return true;
}

}  // namespace

DWORD CaptionButton::AssignIcons(HICON active, HICON idle) {
    FreeIcons();
    if (active != nullptr) {
        m_icons[0].handle = active;
        if (!IconSize(active, m_icons[0].width, m_icons[0].height)) {
            FreeIcons();
            return 1;
        }
        if (idle != nullptr) {
            HICON second = idle == kGreyCopy ? GreyCopy(active) : idle;
            if (second == nullptr) {
                FreeIcons();
                return 1;
            }
            m_icons[1].handle = second;
            if (!IconSize(second, m_icons[1].width, m_icons[1].height)) {
                FreeIcons();
                return 1;
            }
        }
    }
    if (m_hWnd != nullptr) Invalidate();
    return 0;
}

HICON CaptionButton::GreyCopy(HICON icon) {
    ICONINFO info;
    if (!GetIconInfo(icon, &info)) return nullptr;
    HDC buttonDc = GetDC(m_hWnd);
    HDC sourceDc = buttonDc != nullptr ? CreateCompatibleDC(buttonDc) : nullptr;
    HDC greyDc = buttonDc != nullptr ? CreateCompatibleDC(buttonDc) : nullptr;
    HICON grey = nullptr;
    if (sourceDc != nullptr && greyDc != nullptr && info.hbmColor != nullptr) {
        BITMAP format;
        GetObjectA(info.hbmColor, sizeof format, &format);
        const int width = static_cast<int>(info.xHotspot * 2);
        const int height = static_cast<int>(info.yHotspot * 2);
        HBITMAP greyBitmap = CreateBitmap(width, height, format.bmPlanes, format.bmBitsPixel, nullptr);
        if (greyBitmap != nullptr) {
            HGDIOBJ oldSource = SelectObject(sourceDc, info.hbmColor);
            HGDIOBJ oldGrey = SelectObject(greyDc, greyBitmap);
            BitBlt(greyDc, 0, 0, width, height, sourceDc, 0, 0, SRCCOPY);
            std::vector<std::uint32_t> colours;
            colours.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) colours.push_back(GetPixel(greyDc, x, y));
            GreyPixels(colours);
            size_t i = 0;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x, ++i) SetPixel(greyDc, x, y, colours[i]);
            SelectObject(greyDc, oldGrey);
            SelectObject(sourceDc, oldSource);
            ICONINFO greyInfo = info;
            greyInfo.fIcon = TRUE;
            greyInfo.hbmColor = greyBitmap;
            grey = CreateIconIndirect(&greyInfo);
            DeleteObject(greyBitmap);
        }
    }
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
    if (sourceDc != nullptr) DeleteDC(sourceDc);
    if (greyDc != nullptr) DeleteDC(greyDc);
    if (buttonDc != nullptr) ReleaseDC(m_hWnd, buttonDc);
    return grey;
}

void CaptionButton::CopyParentBackground(HDC dc) {
    RECT client;
    GetClientRect(m_hWnd, &client);
    if (m_backgroundDc == nullptr) {
        HWND parent = GetParent(m_hWnd);
        RECT window;
        GetWindowRect(m_hWnd, &window);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&window), 2);
        HDC parentDc = GetDC(parent);
        m_backgroundDc = CreateCompatibleDC(parentDc);
        m_backgroundBitmap = CreateCompatibleBitmap(parentDc, client.right, client.bottom);
        m_replacedBitmap = SelectObject(m_backgroundDc, m_backgroundBitmap);
        BitBlt(m_backgroundDc, 0, 0, client.right, client.bottom, parentDc, window.left, window.top, SRCCOPY);
        ReleaseDC(parent, parentDc);
    }
    BitBlt(dc, 0, 0, client.right, client.bottom, m_backgroundDc, 0, 0, SRCCOPY);
}

void CaptionButton::DrawFace(HDC dc, const RECT& rect, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void CaptionButton::DrawEdge3d(HDC dc, const RECT& rect, bool sunken) {
    const COLORREF topLeft = GetSysColor(sunken ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT);
    const COLORREF bottomRight = GetSysColor(sunken ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW);
    HPEN light = CreatePen(PS_SOLID, 1, topLeft);
    HPEN dark = CreatePen(PS_SOLID, 1, bottomRight);
    HGDIOBJ old = SelectObject(dc, light);
    MoveToEx(dc, rect.left, rect.bottom - 1, nullptr);
    LineTo(dc, rect.left, rect.top);
    LineTo(dc, rect.right - 1, rect.top);
    SelectObject(dc, dark);
    LineTo(dc, rect.right - 1, rect.bottom - 1);
    LineTo(dc, rect.left - 1, rect.bottom - 1);
    SelectObject(dc, old);
    DeleteObject(light);
    DeleteObject(dark);
}

void CaptionButton::DrawItem(LPDRAWITEMSTRUCT drawItem) {
    HDC dc = drawItem->hDC;
    const RECT& rect = drawItem->rcItem;
    const bool pressed = (drawItem->itemState & ODS_SELECTED) != 0;
    const bool focused = (drawItem->itemState & ODS_FOCUS) != 0;
    const bool disabled = (drawItem->itemState & ODS_DISABLED) != 0;
    SetBkMode(dc, TRANSPARENT);

    if (m_drawTransparent) {
        CopyParentBackground(dc);
    } else {
        DrawFace(dc, rect, m_mouseOver || pressed ? m_activeColour : focused ? m_focusColour : m_idleColour);
    }
    if (m_drawBorder) {
        if (pressed) {
            DrawEdge3d(dc, rect, true);
        } else if (m_mouseOver) {
            DrawEdge3d(dc, rect, false);
        }
    }
    if (m_icons[0].handle != nullptr) {
        const Icon& icon = m_icons[1].handle != nullptr && !pressed && !m_mouseOver ? m_icons[1] : m_icons[0];
        const IconPlace place =
            PlaceIcon(rect.left, rect.top, rect.right, rect.bottom, icon.width, icon.height, pressed);
        DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon.handle), 0, place.left, place.top,
                   icon.width, icon.height, DST_ICON | (disabled ? DSS_DISABLED : DSS_NORMAL));
    }
}
