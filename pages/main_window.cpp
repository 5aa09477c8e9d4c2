#include "pages/main_window.h"

#include <commctrl.h>

#include "core/shared_state.h"
#include "pages/page_skin.h"
#include "resources/resource.h"

namespace {

constexpr UINT kAboutCommand = 0x10;

}  // namespace

BEGIN_MESSAGE_MAP(MainWindow, CDialogEx)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDOK, OnIgnore)
    ON_BN_CLICKED(IDCANCEL, OnIgnore)
    ON_WM_CTLCOLOR()
    ON_WM_LBUTTONDOWN()
    ON_MESSAGE(WM_BEGIN_INSTALL, OnBeginInstall)
    ON_MESSAGE(kExtractionEnded, OnExtractionEnded)
    ON_WM_TIMER()
    ON_BN_CLICKED(IDC_MAIN_MINIMISE, OnMinimize)
    ON_BN_CLICKED(IDC_MAIN_CLOSE, OnCloseButton)
END_MESSAGE_MAP()

MainWindow::MainWindow(ProgressEvents& events) : CDialogEx(IDD, nullptr), m_events(events) {
    m_hIcon = LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

MainWindow::~MainWindow() = default;

void MainWindow::DoDataExchange(CDataExchange* exchange) {
    CDialogEx::DoDataExchange(exchange);
    DDX_Control(exchange, IDC_MAIN_PERCENT, m_percentLabel);
    DDX_Control(exchange, IDC_MAIN_PROGRESS, m_progress);
    DDX_Control(exchange, IDC_MAIN_MINIMISE, m_btnMinimize);
    DDX_Control(exchange, IDC_MAIN_CLOSE, m_btnClose);
}

BOOL MainWindow::OnInitDialog() {
    CDialogEx::OnInitDialog();

    HMENU systemMenu = GetSystemMenu(m_hWnd, FALSE);
    wchar_t about[128] = {};
    if (systemMenu != nullptr && LoadStringW(AfxGetResourceHandle(), IDS_ABOUTBOX, about, 127) > 0) {
        AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(systemMenu, MF_STRING, kAboutCommand, about);
    }

    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    KeepClassicLook(m_progress.m_hWnd);
    m_progress.SendMessage(PBM_SETBKCOLOR, 0, kWhite);
    m_progress.SendMessage(PBM_SETBARCOLOR, 0, kAccentRed);

    RECT client;
    GetClientRect(m_hWnd, &client);
    const float sx = static_cast<float>(client.right - client.left) / 630.0f;
    const float sy = static_cast<float>(client.bottom - client.top) / 398.0f;
    HRGN region = CreateRoundRectRgn(static_cast<int>(35 * sx), static_cast<int>(43 * sy),
                                     static_cast<int>(596 * sx), static_cast<int>(30 * sy),
                                     static_cast<int>(13 * sx), static_cast<int>(13 * sx));
    SetWindowRgn(m_progress.m_hWnd, region, TRUE);

    SetDlgItemTextA(m_hWnd, IDC_MAIN_TITLE, txtInstallingTitle.c_str());
    SetDlgItemTextA(m_hWnd, IDC_MAIN_INSTALLING, txtInstalling.c_str());
    m_labelFonts.Apply(m_hWnd, IDC_MAIN_TITLE, 17, FW_NORMAL);
    m_labelFonts.Apply(m_hWnd, IDC_MAIN_INSTALLING, 17, FW_BOLD);

    PostMessageA(m_hWnd, WM_BEGIN_INSTALL, 0, 0);
    m_slideState = 1;
    SetTimer(m_hWnd, SLIDE_TIMER_ID, 1000, nullptr);
    return TRUE;
}

BOOL MainWindow::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) return TRUE;
    return CDialogEx::PreTranslateMessage(msg);
}

void MainWindow::OnSysCommand(UINT id, LPARAM lParam) {
    if ((id & 0xFFF0) == kAboutCommand) {
        CAboutDlg about;
        about.DoModal();
    } else {
        CDialogEx::OnSysCommand(id, lParam);
    }
}

void MainWindow::OnPaint() {
    if (IsIconic(m_hWnd)) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(m_hWnd, &paint);
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        RECT client;
        GetClientRect(m_hWnd, &client);
        const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
        const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
        DrawIcon(dc, x, y, m_hIcon);
        EndPaint(m_hWnd, &paint);
        return;
    }
    SkinCaptionButtons(m_btnClose, IDI_CLOSE_WHITE, m_btnMinimize, IDI_MINIMISE_WHITE);
    int slide = 0;
    switch (m_slideState) {
        case 1: case 3: case 5: case 7:
            slide = IDB_SLIDE_A;
            ++m_slideState;
            break;
        case 2: case 4: case 6:
            slide = IDB_SLIDE_B;
            ++m_slideState;
            break;
        case 8:
            slide = IDB_SLIDE_B;
            m_slideState = 1;
            break;
        default:
            break;
    }
    if (slide != 0) {
        PaintPagePicture(m_hWnd, slide, HALFTONE);
    } else {
        PAINTSTRUCT paint;
        BeginPaint(m_hWnd, &paint);
        EndPaint(m_hWnd, &paint);
    }
}

HCURSOR MainWindow::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

HBRUSH MainWindow::OnCtlColor(HDC dc, HWND control, UINT type) {
    CDialogEx::OnCtlColor(dc, control, type);
    const int id = GetDlgCtrlID(control);
    if (id == IDC_MAIN_TITLE) StyleLabel(dc, kWhite);
    if (id == IDC_MAIN_INSTALLING) StyleLabel(dc, kGrey);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

void MainWindow::OnLButtonDown(UINT flags, POINT point) {
    DragPage(m_hWnd, point);
    CDialogEx::OnLButtonDown(flags, point);
}

LRESULT MainWindow::OnBeginInstall(WPARAM, LPARAM) {
    if (!m_events.Begin(m_hWnd, m_progress.m_hWnd)) EndDialog(IDCANCEL);
    return 1;
}

LRESULT MainWindow::OnExtractionEnded(WPARAM, LPARAM) {
    m_events.Ended();
    EndDialog(IDOK);
    return 0;
}

void MainWindow::OnTimer(UINT_PTR id) {
    InvalidateRect(m_hWnd, nullptr, TRUE);
    CDialogEx::OnTimer(id);
}

void MainWindow::OnMinimize() { ShowWindow(SW_MINIMIZE); }

