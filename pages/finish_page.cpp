#include "pages/finish_page.h"

#include <utility>

#include "core/shared_state.h"
#include "pages/page_skin.h"
#include "resources/resource.h"

BEGIN_MESSAGE_MAP(FinishPage, CDialogEx)
    ON_BN_CLICKED(IDC_FINISH_START, OnStartNow)
    ON_BN_CLICKED(IDC_FINISH_CLOSE, OnClosePage)
    ON_BN_CLICKED(IDC_FINISH_MINIMISE, OnMinimize)
    ON_WM_PAINT()
    ON_WM_CTLCOLOR()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

FinishPage::FinishPage(std::function<void()> shown) : CDialogEx(IDD, nullptr), m_shown(std::move(shown)) {}

FinishPage::~FinishPage() {
    if (m_buttonFont != nullptr) DeleteObject(m_buttonFont);
}

void FinishPage::DoDataExchange(CDataExchange* exchange) {
    CDialogEx::DoDataExchange(exchange);
    DDX_Control(exchange, IDC_FINISH_START, m_btnStart);
    DDX_Control(exchange, IDC_FINISH_CLOSE, m_btnClose);
    DDX_Control(exchange, IDC_FINISH_MINIMISE, m_btnMinimize);
}

BOOL FinishPage::OnInitDialog() {
    SetAccentStyle(m_btnStart);
    CDialogEx::OnInitDialog();
    SetWindowLongA(m_hWnd, GWL_EXSTYLE, GetWindowLongA(m_hWnd, GWL_EXSTYLE) | WS_EX_APPWINDOW);
    ShowWindow(SW_SHOW);
    SetDlgItemTextA(m_hWnd, IDC_FINISH_TITLE, txtInstallingTitle.c_str());
    m_labelFonts.Apply(m_hWnd, IDC_FINISH_TITLE, 17, FW_NORMAL);
    m_btnStart.SetWindowText(txtStartNow);

    if (m_shown) m_shown();

    m_buttonFont = CreatePageFont(19, FW_BOLD);
    m_btnStart.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_buttonFont), TRUE);
    // The page was shown before its texts were set: paint it whole once more,
    // picture first, then the labels over it.
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return TRUE;
}

void FinishPage::StartToolAndEnd() {
    m_startChosen = true;
    EndDialog(IDOK);
}

void FinishPage::OnStartNow() { StartToolAndEnd(); }

void FinishPage::OnOK() { StartToolAndEnd(); }

void FinishPage::OnClosePage() { EndDialog(IDCANCEL); }

void FinishPage::OnMinimize() { ShowWindow(SW_MINIMIZE); }

void FinishPage::OnPaint() {
    SkinCaptionButtons(m_btnClose, IDI_CLOSE_WHITE, m_btnMinimize, IDI_MINIMISE_WHITE);
    PaintPagePicture(m_hWnd, IDB_FINISH_PICTURE, HALFTONE);
}

HBRUSH FinishPage::OnCtlColor(HDC dc, HWND control, UINT type) {
    HBRUSH brush = CDialogEx::OnCtlColor(dc, control, type);
    if (GetDlgCtrlID(control) != IDC_FINISH_TITLE) return brush;
    StyleLabel(dc, kWhite);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

void FinishPage::OnLButtonDown(UINT flags, POINT point) {
    DragPage(m_hWnd, point);
    CDialogEx::OnLButtonDown(flags, point);
}
