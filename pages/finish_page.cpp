#include "pages/finish_page.h"

#include "system/start_program.h"

#include <shellapi.h>

#include "core/shared_state.h"
#include "pages/page_skin.h"
#include "resources/resource.h"

namespace {


}  // namespace

BEGIN_MESSAGE_MAP(FinishPage, CDialogEx)
    ON_BN_CLICKED(IDC_FINISH_START, OnStartNow)
    ON_BN_CLICKED(IDC_FINISH_CLOSE, OnClosePage)
    ON_BN_CLICKED(IDC_FINISH_MINIMISE, OnMinimize)
    ON_WM_PAINT()
    ON_WM_CTLCOLOR()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

FinishPage::FinishPage(InstallRun& run, CWnd* parent) : CDialogEx(IDD, parent), m_run(run) {}

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

    // The tool and the runtime installer are looked for in the client folder.
    m_run.installPath = m_run.clientFolder;
    std::string& folder = m_run.installPath;
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    m_run.ombrixExePath = m_run.installPath + "\\" + ombrixExeName;
    m_run.runtimeSetupPath = m_run.installPath + "\\" + runtimeSetupName;
    if (m_run.runtimeMissing != 0) {
        ShellExecuteA(nullptr, "open", m_run.runtimeSetupPath.c_str(), nullptr, nullptr, SW_SHOW);
    }

    m_buttonFont = CreatePageFont(19, FW_BOLD);
    m_btnStart.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_buttonFont), TRUE);
    // The page was shown before its texts were set: paint it whole once more,
    // picture first, then the labels over it.
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return TRUE;
}

void FinishPage::StartToolAndEnd() {
    // The tool is the user's own program: it runs with the user's rights, not
    // with the installer's. (The runtime installer above needs the rights.)
    StartAsSignedInUser(m_run.ombrixExePath);
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
