#include "pages/page_skin.h"

#include <uxtheme.h>

#include <cstring>

namespace {

int CALLBACK NoteFace(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool HasFace(const char* face) {
    LOGFONTA wanted;
    std::memset(&wanted, 0, sizeof wanted);
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(wanted.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExA(dc, &wanted, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found;
}

const char* PageFace() {
    static const char* face = nullptr;
    if (face == nullptr) {
        face = "Microsoft YaHei";
        if (!HasFace(face)) {
            for (const char* other : {"Segoe UI", "Tahoma", "Arial"}) {
                if (HasFace(other)) {
                    face = other;
                    break;
                }
            }
        }
    }
    return face;
}

}  // namespace

HFONT CreatePageFont(int height, int weight) {
    // Heights are given for 96 dots per inch and grow with the screen's.
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return CreateFontA(MulDiv(height, dpi > 0 ? dpi : 96, 96), 0, 0, 0, weight, 0, 0, 0, 0, 0, 0, 0, FF_SWISS,
                       PageFace());
}

void StyleLabel(HDC dc, COLORREF colour) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
}

PageFonts::~PageFonts() {
    for (int i = 0; i < m_count; ++i) DeleteObject(m_fonts[i]);
}

void KeepClassicLook(HWND control) {
    // A class list that names no class of the theme: the control finds no
    // theme data and draws itself the classic way. (Empty strings say the
    // same to Windows, but not to every implementation of the call.)
    if (control != nullptr) SetWindowTheme(control, L" ", L" ");
}

int FitToText(HWND page, int controlId, int lead) {
    HWND control = GetDlgItem(page, controlId);
    RECT area{};
    if (control == nullptr || !GetWindowRect(control, &area)) return 0;
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&area), 2);
    char text[256] = {};
    const int length = GetWindowTextA(control, text, sizeof text - 1);
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32A(dc, text, length, &extent);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    const int needed = lead + extent.cx + 4;
    if (area.right - area.left < needed) {
        area.right = area.left + needed;
        SetWindowPos(control, nullptr, 0, 0, needed, area.bottom - area.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return area.right;
}

void PageFonts::Apply(HWND page, int controlId, int height, int weight) {
    if (m_count == static_cast<int>(sizeof m_fonts / sizeof m_fonts[0])) return;
    HFONT font = CreatePageFont(height, weight);
    if (font == nullptr) return;
    m_fonts[m_count++] = font;
    SendDlgItemMessageA(page, controlId, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void SkinCaptionButtons(CaptionButton& close, int closeIcon, CaptionButton& minimise, int minimiseIcon) {
    close.UseParentBackground(true);
    minimise.UseParentBackground(true);
    HINSTANCE module = AfxGetResourceHandle();
    close.AssignIcons(static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(closeIcon), IMAGE_ICON, 0, 0, 0)),
                      CaptionButton::kGreyCopy);
    close.SetBorder(false, true);
    minimise.AssignIcons(
        static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(minimiseIcon), IMAGE_ICON, 0, 0, 0)),
        CaptionButton::kGreyCopy);
    minimise.SetBorder(false, true);
}

void MakePageTranslucent(HWND page) {
    SetWindowLongA(page, GWL_EXSTYLE, GetWindowLongA(page, GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(page, 0, kLayeredAlpha, LWA_ALPHA);
}

void PaintPagePicture(HWND page, int bitmapId, int stretchMode) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(page, &paint);
    RECT client;
    GetClientRect(page, &client);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP picture = LoadBitmapW(AfxGetResourceHandle(), MAKEINTRESOURCEW(bitmapId));
    if (memory != nullptr && picture != nullptr) {
        BITMAP size;
        GetObjectA(picture, sizeof size, &size);
        HGDIOBJ previous = SelectObject(memory, picture);
        SetStretchBltMode(dc, stretchMode);
        if (stretchMode == HALFTONE) SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
        SelectObject(memory, previous);
    }
    if (picture != nullptr) DeleteObject(picture);
    if (memory != nullptr) DeleteDC(memory);
    EndPaint(page, &paint);
}

void DragPage(HWND page, POINT point) {
    PostMessageA(page, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
}

void SetAccentStyle(CMFCButton& button) {
    button.m_bDrawFocus = FALSE;
    button.SetFaceColor(kAccentRed, TRUE);
    button.SetTextColor(kWhite);
}
