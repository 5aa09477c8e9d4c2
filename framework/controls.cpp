#include "framework/controls.h"

#include "framework/library_search.h"

namespace {

const char kSkinButtonClass[] = "MfcButton";
const char kDefaultProp[] = "Quennel.DefaultButton";

// The system's push-button procedure, which the "MfcButton" class passes its
// messages on to. The one mutable global of the framework: a window procedure
// gets no object to keep it in, and it is set once, when the class is
// registered, before any such button exists.
WNDPROC g_buttonProc = nullptr;

// The "MfcButton" class: the system's push button, always owner-drawn, that
// still answers the dialog as a default or plain push button, so that Enter
// clicks the default one.
LRESULT CALLBACK SkinButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
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

void DrawFlatButton(const DRAWITEMSTRUCT& item, COLORREF face, COLORREF text, bool focusRect) {
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    // The control's device context is the system's: what is selected into it
    // here is put back as it was when the drawing is done.
    const int saved = SaveDC(dc);
    SetDCBrushColor(dc, pressed ? Darker(face) : face);
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));

    char caption[256] = {};
    GetWindowTextA(item.hwndItem, caption, sizeof caption - 1);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(item.hwndItem, WM_GETFONT, 0, 0));
    if (font != nullptr) SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, text);
    RECT textRect = rect;
    if (pressed) OffsetRect(&textRect, 1, 1);
    DrawTextA(dc, caption, -1, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    RestoreDC(dc, saved);
    if (focusRect && (item.itemState & ODS_FOCUS) != 0) {
        RECT focus = rect;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(dc, &focus);
    }
}

}  // namespace

bool SkinButton::Register() {
    WNDCLASSEXA existing;
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(GetModuleHandleA(nullptr), kSkinButtonClass, &existing)) return true;
    WNDCLASSEXA cls;
    cls.cbSize = sizeof cls;
    if (!GetClassInfoExA(nullptr, "Button", &cls)) return false;
    g_buttonProc = cls.lpfnWndProc;
    cls.lpfnWndProc = SkinButtonProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = kSkinButtonClass;
    cls.style &= ~CS_GLOBALCLASS;
    return RegisterClassExA(&cls) != 0;
}

void SkinButton::SetColours(COLORREF face, COLORREF text) {
    face_ = face;
    text_ = text;
    if (Handle() != nullptr) Invalidate();
}

void SkinButton::OnBinding() {
    // Bound to a plain button: make it owner-drawn as the class would.
    const LONG style = GetWindowLongA(Handle(), GWL_STYLE);
    if ((style & BS_TYPEMASK) != BS_OWNERDRAW) SetWindowLongA(Handle(), GWL_STYLE, (style & ~BS_TYPEMASK) | BS_OWNERDRAW);
}

void SkinButton::OnDrawItem(const DRAWITEMSTRUCT& item) {
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    const COLORREF face = face_ == CLR_DEFAULT ? GetSysColor(COLOR_BTNFACE) : face_;
    const COLORREF text = text_ != CLR_DEFAULT ? text_ : GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
    DrawFlatButton(item, face, text, false);
}

bool SkinButton::DrawUnbound(const DRAWITEMSTRUCT& item) {
    char className[32] = {};
    GetClassNameA(item.hwndItem, className, sizeof className - 1);
    if (lstrcmpiA(className, kSkinButtonClass) != 0) return false;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    DrawFlatButton(item, GetSysColor(COLOR_BTNFACE), GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT), true);
    return true;
}

void RichTextBox::LoadLibraries() {
    LoadSystemLibrary("riched20.dll");
    LoadSystemLibrary("riched32.dll");
}
