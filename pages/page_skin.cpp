#include "pages/page_skin.h"

#include <uxtheme.h>

#include <cstring>
#include <utility>

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
    const ScopedWindowDc screen(nullptr);
    EnumFontFamiliesExA(screen.get(), &wanted, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

const char* ChoosePageFace() {
    if (HasFace("Microsoft YaHei")) return "Microsoft YaHei";
    for (const char* other : {"Segoe UI", "Tahoma", "Arial"}) {
        if (HasFace(other)) return other;
    }
    return "Microsoft YaHei";
}

// Looked for once per program.
const char* PageFace() {
    static const char* const face = ChoosePageFace();
    return face;
}

}  // namespace

ScopedFont CreatePageFont(int height, int weight) {
    // Heights are given for 96 dots per inch and grow with the screen's.
    const ScopedWindowDc screen(nullptr);
    const int dpi = screen.get() != nullptr ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
    return ScopedFont(CreateFontA(MulDiv(height, dpi > 0 ? dpi : 96, 96), 0, 0, 0, weight, 0, 0, 0, 0, 0, 0, 0,
                                  FF_SWISS, PageFace()));
}

void StyleLabel(HDC dc, COLORREF colour) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
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
    SIZE extent{};
    {
        const ScopedWindowDc dc(control);
        const ScopedSelection font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
        GetTextExtentPoint32A(dc.get(), text, length, &extent);
    }
    const int needed = lead + extent.cx + 4;
    if (area.right - area.left < needed) {
        area.right = area.left + needed;
        SetWindowPos(control, nullptr, 0, 0, needed, area.bottom - area.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return area.right;
}

void PageFonts::Apply(HWND page, int controlId, int height, int weight) {
    ScopedFont font = CreatePageFont(height, weight);
    if (!font) return;
    SendDlgItemMessageA(page, controlId, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    m_fonts.push_back(std::move(font));
}

void SkinCaptionButtons(CaptionButton& close, int closeIcon, CaptionButton& minimise, int minimiseIcon) {
    HINSTANCE module = GetModuleHandleA(nullptr);
    close.SetIcon(static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(closeIcon), IMAGE_ICON, 0, 0, 0)));
    minimise.SetIcon(static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(minimiseIcon), IMAGE_ICON, 0, 0, 0)));
}

void MakePageTranslucent(HWND page) {
    SetWindowLongA(page, GWL_EXSTYLE, GetWindowLongA(page, GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(page, 0, kLayeredAlpha, LWA_ALPHA);
}

bool PagePicture::Load(int bitmapId) {
    m_bitmap.reset(LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId)));
    BITMAP format{};
    if (!m_bitmap || GetObjectA(m_bitmap.get(), sizeof format, &format) == 0) return false;
    m_size = SIZE{format.bmWidth, format.bmHeight};
    return true;
}

void PagePicture::Paint(HWND page, int stretchMode) const {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(page, &paint);
    RECT client;
    GetClientRect(page, &client);
    const ScopedMemoryDc memory(CreateCompatibleDC(dc));
    if (memory && m_bitmap) {
        const ScopedSelection picture(memory.get(), m_bitmap.get());
        SetStretchBltMode(dc, stretchMode);
        if (stretchMode == HALFTONE) SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, m_size.cx, m_size.cy, SRCCOPY);
    }
    EndPaint(page, &paint);
}

void PaintNothing(HWND page) {
    PAINTSTRUCT paint;
    BeginPaint(page, &paint);
    EndPaint(page, &paint);
}

void DragPage(HWND page, POINT point) {
    PostMessageA(page, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
}

void SetAccentStyle(SkinButton& button) { button.SetColours(kAccentRed, kWhite); }
