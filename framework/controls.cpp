#include "framework/afx.h"

namespace {

const char kMfcButtonClass[] = "MfcButton";
const char kDefaultProp[] = "Quennel.DefaultButton";
WNDPROC g_buttonProc = nullptr;

// The "MfcButton" class: the system's push button, always owner-drawn, that
// still takes part in the dialog's default-button handling (Enter clicks the
// focused button).
LRESULT CALLBACK MfcButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE: {
            LONG style = GetWindowLongA(hwnd, GWL_STYLE);
            if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) SetPropA(hwnd, kDefaultProp, reinterpret_cast<HANDLE>(1));
            SetWindowLongA(hwnd, GWL_STYLE, (style & ~BS_TYPEMASK) | BS_OWNERDRAW);
            break;
        }
        case BM_SETSTYLE: {
            const UINT type = static_cast<UINT>(wParam) & BS_TYPEMASK;
            if (type == BS_DEFPUSHBUTTON) SetPropA(hwnd, kDefaultProp, reinterpret_cast<HANDLE>(1));
            if (type == BS_PUSHBUTTON) RemovePropA(hwnd, kDefaultProp);
            wParam = (wParam & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_OWNERDRAW;
            break;
        }
        case WM_GETDLGCODE: {
            const LRESULT code = CallWindowProcA(g_buttonProc, hwnd, message, wParam, lParam);
            return code | (GetPropA(hwnd, kDefaultProp) != nullptr ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
        }
        case WM_NCDESTROY:
            RemovePropA(hwnd, kDefaultProp);
            break;
        default:
            break;
    }
    return CallWindowProcA(g_buttonProc, hwnd, message, wParam, lParam);
}

COLORREF Darker(COLORREF color) {
    return RGB(GetRValue(color) * 85 / 100, GetGValue(color) * 85 / 100, GetBValue(color) * 85 / 100);
}

void DrawFlatButton(LPDRAWITEMSTRUCT item, COLORREF face, COLORREF text, bool focusRect) {
    HDC dc = item->hDC;
    RECT rect = item->rcItem;
    const bool pressed = (item->itemState & ODS_SELECTED) != 0;
    HBRUSH brush = CreateSolidBrush(pressed ? Darker(face) : face);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);

    char caption[256] = {};
    GetWindowTextA(item->hwndItem, caption, sizeof caption - 1);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(item->hwndItem, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = font != nullptr ? SelectObject(dc, font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, text);
    RECT textRect = rect;
    if (pressed) OffsetRect(&textRect, 1, 1);
    DrawTextA(dc, caption, -1, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (oldFont != nullptr) SelectObject(dc, oldFont);
    if (focusRect && (item->itemState & ODS_FOCUS) != 0) {
        RECT focus = rect;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(dc, &focus);
    }
}

}  // namespace

BOOL CMFCButton::RegisterWindowClass() {
    WNDCLASSEXA existing;
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(GetModuleHandleA(nullptr), kMfcButtonClass, &existing)) return TRUE;
    WNDCLASSEXA cls;
    cls.cbSize = sizeof cls;
    if (!GetClassInfoExA(nullptr, "Button", &cls)) return FALSE;
    g_buttonProc = cls.lpfnWndProc;
    cls.lpfnWndProc = MfcButtonProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = kMfcButtonClass;
    cls.style &= ~CS_GLOBALCLASS;
    return RegisterClassExA(&cls) != 0;
}

void CMFCButton::SetFaceColor(COLORREF color, BOOL redraw) {
    m_faceColor = color;
    if (redraw && m_hWnd != nullptr) Invalidate();
}

void CMFCButton::SetTextColor(COLORREF color) {
    m_textColor = color;
    if (m_hWnd != nullptr) Invalidate();
}

void CMFCButton::PreSubclassWindow() {
    // Bound to a plain button: make it owner-drawn as the class would.
    const LONG style = GetWindowLongA(m_hWnd, GWL_STYLE);
    if ((style & BS_TYPEMASK) != BS_OWNERDRAW) SetWindowLongA(m_hWnd, GWL_STYLE, (style & ~BS_TYPEMASK) | BS_OWNERDRAW);
}

void CMFCButton::DrawItem(LPDRAWITEMSTRUCT drawItem) {
    const bool disabled = (drawItem->itemState & ODS_DISABLED) != 0;
    const COLORREF face = m_faceColor == CLR_DEFAULT ? GetSysColor(COLOR_BTNFACE) : m_faceColor;
    // The page's text colour holds when it set one, enabled or not; the
    // system's look otherwise.
    const COLORREF text =
        m_textColor != CLR_DEFAULT ? m_textColor : GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
    DrawFlatButton(drawItem, face, text, m_bDrawFocus != FALSE);
}

void CMFCButton::DrawUnbound(LPDRAWITEMSTRUCT drawItem) {
    const bool disabled = (drawItem->itemState & ODS_DISABLED) != 0;
    DrawFlatButton(drawItem, GetSysColor(COLOR_BTNFACE), GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT),
                   true);
}

