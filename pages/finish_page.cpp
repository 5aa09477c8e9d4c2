#include "pages/finish_page.h"

#include <utility>

#include "core/shared_state.h"
#include "pages/page_skin.h"
#include "resources/resource.h"

FinishPage::FinishPage(HMONITOR screen, std::function<void()> shown)
    : Dialog(IDD_FINISH_PAGE, nullptr), m_shown(std::move(shown)) {
    CentreOnScreen(screen);
}

bool FinishPage::OnInitDialog() {
    SetAccentStyle(m_btnStart);
    m_btnStart.Bind(Handle(), IDC_FINISH_START);
    m_btnClose.Bind(Handle(), IDC_FINISH_CLOSE);
    m_btnMinimize.Bind(Handle(), IDC_FINISH_MINIMISE);
    SkinCaptionButtons(m_btnClose, IDI_CLOSE_WHITE, m_btnMinimize, IDI_MINIMISE_WHITE);
    m_picture.Load(IDB_FINISH_PICTURE);
    SetWindowLongA(Handle(), GWL_EXSTYLE, GetWindowLongA(Handle(), GWL_EXSTYLE) | WS_EX_APPWINDOW);
    Show(SW_SHOW);
    SetDlgItemTextA(Handle(), IDC_FINISH_TITLE, txtInstallingTitle.c_str());
    m_labelFonts.Apply(Handle(), IDC_FINISH_TITLE, 17, FW_NORMAL);
    m_btnStart.SetText(txtStartNow);

    if (m_shown) m_shown();

    m_buttonFont = CreatePageFont(19, FW_BOLD);
    m_btnStart.Send(WM_SETFONT, reinterpret_cast<WPARAM>(m_buttonFont.get()), TRUE);
    // The page was shown before its texts were set: paint it whole once more,
    // picture first, then the labels over it.
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return true;
}

void FinishPage::StartToolAndEnd() {
    m_startChosen = true;
    End(IDOK);
}

void FinishPage::OnOK() { StartToolAndEnd(); }

bool FinishPage::OnCommand(int id, int notification) {
    if (notification != BN_CLICKED) return Dialog::OnCommand(id, notification);
    switch (id) {
        case IDC_FINISH_START: StartToolAndEnd(); return true;
        case IDC_FINISH_CLOSE: End(IDCANCEL); return true;
        case IDC_FINISH_MINIMISE: Show(SW_MINIMIZE); return true;
        default: return Dialog::OnCommand(id, notification);
    }
}

bool FinishPage::OnPaint() {
    m_btnClose.RetakeBackground();
    m_btnMinimize.RetakeBackground();
    m_picture.Paint(Handle(), HALFTONE);
    return true;
}

HBRUSH FinishPage::OnCtlColor(HDC dc, HWND control) {
    HBRUSH brush = Dialog::OnCtlColor(dc, control);
    if (GetDlgCtrlID(control) != IDC_FINISH_TITLE) return brush;
    StyleLabel(dc, kWhite);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

bool FinishPage::OnLButtonDown(POINT point) {
    DragPage(Handle(), point);
    return false;
}
