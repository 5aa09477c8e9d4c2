#include "pages/main_window.h"

#include <commctrl.h>

#include "core/shared_state.h"
#include "pages/page_skin.h"
#include "resources/resource.h"

namespace {

constexpr UINT kAboutCommand = 0x10;

}  // namespace

MainWindow::MainWindow(ProgressEvents& events) : Dialog(IDD_MAIN_WINDOW, nullptr), m_events(events) {
    m_hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

bool MainWindow::OnInitDialog() {
    m_progress.Bind(Handle(), IDC_MAIN_PROGRESS);
    m_btnMinimize.Bind(Handle(), IDC_MAIN_MINIMISE);
    m_btnClose.Bind(Handle(), IDC_MAIN_CLOSE);

    HMENU systemMenu = GetSystemMenu(Handle(), FALSE);
    wchar_t about[128] = {};
    if (systemMenu != nullptr && LoadStringW(GetModuleHandleW(nullptr), IDS_ABOUTBOX, about, 127) > 0) {
        AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(systemMenu, MF_STRING, kAboutCommand, about);
    }

    Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    KeepClassicLook(m_progress.Handle());
    m_progress.Send(PBM_SETBKCOLOR, 0, kWhite);
    m_progress.Send(PBM_SETBARCOLOR, 0, kAccentRed);

    RECT client;
    GetClientRect(Handle(), &client);
    const float sx = static_cast<float>(client.right - client.left) / 630.0f;
    const float sy = static_cast<float>(client.bottom - client.top) / 398.0f;
    HRGN region = CreateRoundRectRgn(static_cast<int>(35 * sx), static_cast<int>(43 * sy),
                                     static_cast<int>(596 * sx), static_cast<int>(30 * sy),
                                     static_cast<int>(13 * sx), static_cast<int>(13 * sx));
    SetWindowRgn(m_progress.Handle(), region, TRUE);  // the bar owns the region from here

    SetDlgItemTextA(Handle(), IDC_MAIN_TITLE, txtInstallingTitle.c_str());
    SetDlgItemTextA(Handle(), IDC_MAIN_INSTALLING, txtInstalling.c_str());
    m_labelFonts.Apply(Handle(), IDC_MAIN_TITLE, 17, FW_NORMAL);
    m_labelFonts.Apply(Handle(), IDC_MAIN_INSTALLING, 17, FW_BOLD);
    SkinCaptionButtons(m_btnClose, IDI_CLOSE_WHITE, m_btnMinimize, IDI_MINIMISE_WHITE);
    m_slideA.Load(IDB_SLIDE_A);
    m_slideB.Load(IDB_SLIDE_B);

    PostMessageA(Handle(), kBeginInstall, 0, 0);
    m_slide = Slide::A;
    SetTimer(Handle(), kSlideTimer, 1000, nullptr);
    return true;
}

bool MainWindow::PreTranslateMessage(MSG& msg) {
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) return true;
    return Dialog::PreTranslateMessage(msg);
}

bool MainWindow::OnCommand(int id, int notification) {
    if (notification != BN_CLICKED) return Dialog::OnCommand(id, notification);
    switch (id) {
        case IDC_MAIN_MINIMISE:
            Show(SW_MINIMIZE);
            return true;
        case IDC_MAIN_CLOSE:
            return true;  // the installation runs to its end
        default:
            return Dialog::OnCommand(id, notification);
    }
}

bool MainWindow::OnSysCommand(UINT id) {
    if ((id & 0xFFF0) != kAboutCommand) return false;
    AboutBox about(this);
    about.RunModal();
    return true;
}

bool MainWindow::OnPaint() {
    if (IsIconic(Handle())) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(Handle(), &paint);
        Send(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        RECT client;
        GetClientRect(Handle(), &client);
        const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
        const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
        DrawIcon(dc, x, y, m_hIcon);
        EndPaint(Handle(), &paint);
        return true;
    }
    m_btnClose.RetakeBackground();
    m_btnMinimize.RetakeBackground();
    switch (m_slide) {
        case Slide::A: m_slideA.Paint(Handle(), HALFTONE); break;
        case Slide::B: m_slideB.Paint(Handle(), HALFTONE); break;
        case Slide::None: PaintNothing(Handle()); break;
    }
    return true;
}

HBRUSH MainWindow::OnCtlColor(HDC dc, HWND control) {
    const int id = GetDlgCtrlID(control);
    if (id == IDC_MAIN_TITLE) StyleLabel(dc, kWhite);
    if (id == IDC_MAIN_INSTALLING) StyleLabel(dc, kGrey);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

bool MainWindow::OnLButtonDown(POINT point) {
    DragPage(Handle(), point);
    return false;
}

bool MainWindow::OnTimer(UINT_PTR id) {
    if (id == kSlideTimer && m_slide != Slide::None) {
        m_slide = m_slide == Slide::A ? Slide::B : Slide::A;
        Invalidate();
    }
    return false;
}

bool MainWindow::OnOwnMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
    if (message == kBeginInstall) {
        if (!m_events.Begin(Handle(), m_progress.Handle())) End(IDCANCEL);
        result = 1;
        return true;
    }
    if (message == kExtractionEnded) {
        m_events.Ended();
        End(IDOK);
        result = 0;
        return true;
    }
    return false;
}
