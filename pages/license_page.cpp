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

LicensePage::LicensePage(UserMessages& messages, const Window* owner)
    : Dialog(IDD_LICENSE_PAGE, owner), m_messages(messages) {}

bool LicensePage::OnInitDialog() {
    SetAccentStyle(m_btnOk);
    m_text.Bind(Handle(), IDC_LICENSE_TEXT);
    m_btnOk.Bind(Handle(), IDC_LICENSE_OK);
    SetDlgItemTextA(Handle(), IDC_LICENSE_TITLE, txtWizardTitle.c_str());
    m_labelFonts.Apply(Handle(), IDC_LICENSE_TITLE, 17, FW_NORMAL);
    m_btnOk.SetText(txtOk);
    m_buttonFont = CreatePageFont(19, FW_BOLD);
    m_btnOk.Send(WM_SETFONT, reinterpret_cast<WPARAM>(m_buttonFont.get()), TRUE);
    MakePageTranslucent(Handle());
    m_picture.Load(IDB_WHITE_PAGE);
    LoadLicenseText();
    PostMessageA(Handle(), kShowStart, 0, 0);
    return true;
}

bool LicensePage::OnOwnMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
    if (message != kShowStart) return false;
    ShowStart();
    result = 0;
    return true;
}

void LicensePage::ShowStart() {
    m_text.Send(EM_SETSEL, 0, 0);
    m_text.Send(EM_SCROLLCARET);
}

void LicensePage::LoadLicenseText() {
    // Held from the check of its bytes until the text box has read it.
    const HeldWorkingFile licenseFile = HoldLicenseFile();
    if (!licenseFile.Usable()) {
        m_messages.Tell(msgLicenseOpenFailed);
        return;
    }
    m_text.SetText("");
    EDITSTREAM stream;
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(licenseFile.Handle());
    stream.dwError = 0;
    stream.pfnCallback = ReadLicense;
    m_text.StreamIn(SF_RTF, stream);
    ShowStart();
}

void LicensePage::OnOK() { LoadLicenseText(); }

bool LicensePage::OnCommand(int id, int notification) {
    if (id == IDC_LICENSE_OK && notification == BN_CLICKED) {
        End(IDCANCEL);
        return true;
    }
    return Dialog::OnCommand(id, notification);
}

bool LicensePage::OnPaint() {
    m_picture.Paint(Handle(), COLORONCOLOR);
    return true;
}

HBRUSH LicensePage::OnCtlColor(HDC dc, HWND control) {
    SetBkMode(dc, TRANSPARENT);
    if (GetDlgCtrlID(control) == IDC_LICENSE_TITLE) StyleLabel(dc, kGrey);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

bool LicensePage::OnLButtonDown(POINT point) {
    DragPage(Handle(), point);
    return false;
}
