#include "pages/license_page.h"

#include "core/shared_state.h"
#include "system/working_files.h"
#include "pages/page_skin.h"
#include "resources/resource.h"

namespace {

// Posted at the end of the initialisation: the text is shown from its start
// once the dialog has given the text box the focus (which selects all of it).
constexpr UINT kShowStart = WM_APP + 1;

// Reads the held file for the text box; the cookie is its handle.
DWORD CALLBACK ReadLicense(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* read) {
    DWORD got = 0;
    const BOOL ok = ReadFile(reinterpret_cast<HANDLE>(cookie), buffer, static_cast<DWORD>(wanted), &got, nullptr);
    *read = ok ? static_cast<LONG>(got) : 0;
    return 0;
}

}  // namespace

BEGIN_MESSAGE_MAP(LicensePage, CDialogEx)
    ON_BN_CLICKED(IDC_LICENSE_OK, OnButtonOk)
    ON_EN_CHANGE(IDC_LICENSE_TEXT, OnTextChange)
    ON_WM_PAINT()
    ON_WM_CTLCOLOR()
    ON_WM_LBUTTONDOWN()
    ON_MESSAGE(kShowStart, OnShowStart)
END_MESSAGE_MAP()

LicensePage::LicensePage(UserMessages& messages, CWnd* parent) : CDialogEx(IDD, parent), m_messages(messages) {}

LicensePage::~LicensePage() {
    if (m_buttonFont != nullptr) DeleteObject(m_buttonFont);
}

void LicensePage::DoDataExchange(CDataExchange* exchange) {
    CDialogEx::DoDataExchange(exchange);
    DDX_Control(exchange, IDC_LICENSE_TEXT, m_text);
    DDX_Control(exchange, IDC_LICENSE_OK, m_btnOk);
}

BOOL LicensePage::OnInitDialog() {
    SetAccentStyle(m_btnOk);
    CDialogEx::OnInitDialog();
    SetDlgItemTextA(m_hWnd, IDC_LICENSE_TITLE, txtWizardTitle.c_str());
    m_labelFonts.Apply(m_hWnd, IDC_LICENSE_TITLE, 17, FW_NORMAL);
    m_btnOk.SetWindowText(txtOk);
    m_buttonFont = CreatePageFont(19, FW_BOLD);
    m_btnOk.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_buttonFont), TRUE);
    LoadLicenseText();
    PostMessageA(m_hWnd, kShowStart, 0, 0);
    return TRUE;
}

LRESULT LicensePage::OnShowStart(WPARAM, LPARAM) {
    m_text.SendMessage(EM_SETSEL, 0, 0);
    m_text.SendMessage(EM_SCROLLCARET);
    return 0;
}

void LicensePage::LoadLicenseText() {
    // Held from the check of its bytes until the text box has read it.
    const HeldWorkingFile licenseFile = HoldLicenseFile();
    if (!licenseFile.Usable()) {
        m_messages.Tell(msgLicenseOpenFailed);
        return;
    }
    m_text.SetWindowText("");
    EDITSTREAM stream;
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(licenseFile.Handle());
    stream.dwError = 0;
    stream.pfnCallback = ReadLicense;
    m_text.StreamIn(SF_RTF, stream);
    OnShowStart(0, 0);
}

// Enter loads the text again.
void LicensePage::OnOK() { LoadLicenseText(); }

void LicensePage::OnButtonOk() { EndDialog(IDCANCEL); }

void LicensePage::OnPaint() {
    MakePageTranslucent(m_hWnd);
    PaintPagePicture(m_hWnd, IDB_WHITE_PAGE, COLORONCOLOR);
}

HBRUSH LicensePage::OnCtlColor(HDC dc, HWND control, UINT) {
    SetBkMode(dc, TRANSPARENT);
    if (GetDlgCtrlID(control) == IDC_LICENSE_TITLE) StyleLabel(dc, kGrey);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

void LicensePage::OnLButtonDown(UINT flags, POINT point) {
    DragPage(m_hWnd, point);
    CDialogEx::OnLButtonDown(flags, point);
}
