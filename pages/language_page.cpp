#include "pages/language_page.h"

#include "core/language_catalogue.h"
#include "pages/license_page.h"
#include "pages/page_skin.h"
#include "resources/resource.h"

namespace {


constexpr COLORREF kDisabledFace = RGB(130, 130, 130);
constexpr COLORREF kEnabledFace = RGB(255, 20, 57);

}  // namespace

BEGIN_MESSAGE_MAP(LanguagePage, CDialogEx)
    ON_BN_CLICKED(IDC_LANGUAGE_SELECT_ALL, OnSelectAll)
    ON_BN_CLICKED(IDC_LANGUAGE_AGREEMENT, OnAgreementTick)
    ON_STN_CLICKED(IDC_LANGUAGE_LICENSE_LINK, OnLicenseLink)
    ON_BN_CLICKED(IDC_LANGUAGE_INSTALL, OnInstallNow)
    ON_BN_CLICKED(IDC_LANGUAGE_MINIMISE, OnMinimize)
    ON_BN_CLICKED(IDC_LANGUAGE_CLOSE, OnClosePage)
    ON_WM_PAINT()
    ON_WM_CTLCOLOR()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

LanguagePage::LanguagePage(InstallRun& run, const LanguagePreset& preset, UserMessages& messages)
    : CDialogEx(IDD, nullptr), m_run(run), m_preset(preset), m_messages(messages) {}

LanguagePage::~LanguagePage() {
    for (HBITMAP label : m_labels) {
        if (label != nullptr) DeleteObject(label);
    }
    if (m_buttonFont != nullptr) DeleteObject(m_buttonFont);
}

void LanguagePage::DoDataExchange(CDataExchange* exchange) {
    CDialogEx::DoDataExchange(exchange);
    DDX_Control(exchange, IDC_LANGUAGE_INSTALL, m_btnInstall);
    for (int i = 0; i < kLanguageCount; ++i) DDX_Control(exchange, languageCatalogue[i].checkBox, m_languageBoxes[i]);
    DDX_Control(exchange, IDC_LANGUAGE_MINIMISE, m_btnMinimize);
    DDX_Control(exchange, IDC_LANGUAGE_CLOSE, m_btnClose);
}

BOOL LanguagePage::OnInitDialog() {
    m_btnInstall.m_bDrawFocus = FALSE;
    CDialogEx::OnInitDialog();

    m_btnInstall.SetFaceColor(kDisabledFace, TRUE);
    m_btnInstall.SetTextColor(RGB(102, 102, 102));
    m_btnInstall.EnableWindow(FALSE);

    if (brandFlag != "0") {
        ::ShowWindow(GetDlgItem(IDC_LANGUAGE_AGREEMENT), SW_HIDE);
        ::ShowWindow(GetDlgItem(IDC_LANGUAGE_LICENSE_LINK), SW_HIDE);
        CheckDlgButton(m_hWnd, IDC_LANGUAGE_AGREEMENT, BST_CHECKED);
        OnAgreementTick();
    }

    SetDlgItemTextA(m_hWnd, IDC_LANGUAGE_TITLE, txtWizardTitle.c_str());
    SetDlgItemTextA(m_hWnd, IDC_LANGUAGE_HEADING, txtInstallTo.c_str());
    SetDlgItemTextA(m_hWnd, IDC_LANGUAGE_BACK, txtBack.c_str());
    m_btnInstall.SetWindowText(txtInstallNow);
    SetDlgItemTextA(m_hWnd, IDC_LANGUAGE_LICENSE_LINK, txtLicenseAgreement.c_str());
    SetDlgItemTextA(m_hWnd, IDC_LANGUAGE_AGREEMENT, txtReadAndAccept.c_str());
    ::ShowWindow(GetDlgItem(IDC_LANGUAGE_BACK), SW_HIDE);
    m_labelFonts.Apply(m_hWnd, IDC_LANGUAGE_TITLE, 17, FW_NORMAL);
    m_labelFonts.Apply(m_hWnd, IDC_LANGUAGE_HEADING, 17, FW_BOLD);
    m_labelFonts.Apply(m_hWnd, IDC_LANGUAGE_LICENSE_LINK, 17, FW_NORMAL);
    m_labelFonts.Apply(m_hWnd, IDC_LANGUAGE_AGREEMENT, 17, FW_BOLD);
    // In these fonts the tick's text and the link are longer than their
    // places on the page: they grow to show whole, the link keeping its
    // distance from the tick.
    {
        RECT tick{}, link{};
        GetWindowRect(GetDlgItem(IDC_LANGUAGE_AGREEMENT), &tick);
        GetWindowRect(GetDlgItem(IDC_LANGUAGE_LICENSE_LINK), &link);
        const int gap = link.left - tick.right;
        const int tickRight = FitToText(m_hWnd, IDC_LANGUAGE_AGREEMENT, GetSystemMetrics(SM_CXMENUCHECK) + 4);
        MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&link), 2);
        if (tickRight + gap > link.left) {
            ::SetWindowPos(GetDlgItem(IDC_LANGUAGE_LICENSE_LINK), nullptr, tickRight + gap, link.top, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        FitToText(m_hWnd, IDC_LANGUAGE_LICENSE_LINK, 0);
    }

    KeepClassicLook(GetDlgItem(IDC_LANGUAGE_SELECT_ALL));
    KeepClassicLook(GetDlgItem(IDC_LANGUAGE_AGREEMENT));
    for (int i = 0; i < kLanguageCount; ++i) {
        KeepClassicLook(m_languageBoxes[i].m_hWnd);
        m_labels[i] = LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(languageCatalogue[i].label));
        m_languageBoxes[i].SetBitmap(m_labels[i]);
    }

    if (m_preset.disabled >= 0) m_languageBoxes[m_preset.disabled].EnableWindow(FALSE);
    CheckDlgButton(m_hWnd, IDC_LANGUAGE_SELECT_ALL, m_preset.selectAll ? BST_CHECKED : BST_UNCHECKED);
    WriteBoxes(m_preset.checked);

    m_buttonFont = CreatePageFont(19, FW_BOLD);
    m_btnInstall.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_buttonFont), TRUE);
    return TRUE;
}

void LanguagePage::ReadBoxes(int checked[kLanguageCount], bool enabled[kLanguageCount]) const {
    for (int i = 0; i < kLanguageCount; ++i) {
        checked[i] = m_languageBoxes[i].GetCheck() == BST_CHECKED ? 1 : 0;
        if (enabled != nullptr) enabled[i] = m_languageBoxes[i].IsWindowEnabled() != FALSE;
    }
}

void LanguagePage::WriteBoxes(const int checked[kLanguageCount]) const {
    for (int i = 0; i < kLanguageCount; ++i) m_languageBoxes[i].SetCheck(checked[i] == 1 ? BST_CHECKED : BST_UNCHECKED);
}

void LanguagePage::OnSelectAll() {
    int checked[kLanguageCount];
    bool enabled[kLanguageCount];
    ReadBoxes(checked, enabled);
    ApplySelectAll(IsDlgButtonChecked(m_hWnd, IDC_LANGUAGE_SELECT_ALL) == BST_CHECKED, enabled, checked, m_run.selectionFlags);
    WriteBoxes(checked);
}

void LanguagePage::OnAgreementTick() {
    if (IsDlgButtonChecked(m_hWnd, IDC_LANGUAGE_AGREEMENT) == BST_CHECKED) {
        m_btnInstall.SetFaceColor(kEnabledFace, TRUE);
        m_btnInstall.SetTextColor(kWhite);
        m_btnInstall.EnableWindow(TRUE);
    } else {
        m_btnInstall.SetFaceColor(kDisabledFace, TRUE);
        m_btnInstall.SetTextColor(kWhite);
        m_btnInstall.EnableWindow(FALSE);
    }
}

void LanguagePage::OnLicenseLink() {
    // The licence's text box is a rich edit: its libraries load the first
    // time the page opens, not at start-up.
    AfxInitRichEdit2();
    AfxInitRichEdit();
    LicensePage page(m_messages, this);
    page.DoModal();
}

void LanguagePage::OnInstallNow() {
    int checked[kLanguageCount];
    ReadBoxes(checked, nullptr);
    m_run.selectedCodes = TakeOverBoxes(checked, m_run.selectionFlags);
    if (m_run.selectedCodes.empty()) {
        m_messages.Tell(msgNoLanguage);
        return;
    }
    m_installChosen = true;
    EndDialog(IDOK);
}

// Enter does what "Install Now" does, and only while it can be clicked: no
// installation starts without the licence agreement ticked.
void LanguagePage::OnOK() {
    if (m_btnInstall.IsWindowEnabled()) OnInstallNow();
}

// Escape (and the window's close command) ends the setup as the page's close
// button does: nothing is written or extracted.
void LanguagePage::OnCancel() { OnClosePage(); }

void LanguagePage::OnMinimize() { ShowWindow(SW_MINIMIZE); }

void LanguagePage::OnClosePage() {
    m_installChosen = false;
    EndDialog(IDCANCEL);
}

void LanguagePage::OnPaint() {
    SkinCaptionButtons(m_btnClose, IDI_CLOSE_RED, m_btnMinimize, IDI_MINIMISE_GREY);
    MakePageTranslucent(m_hWnd);
    PaintPagePicture(m_hWnd, IDB_WHITE_PAGE, COLORONCOLOR);
    CDialogEx::OnPaint();
}

HBRUSH LanguagePage::OnCtlColor(HDC dc, HWND control, UINT type) {
    HBRUSH brush = CDialogEx::OnCtlColor(dc, control, type);
    const int id = GetDlgCtrlID(control);
    int weight = -1;
    COLORREF colour = 0;
    switch (id) {
        case IDC_LANGUAGE_TITLE: weight = FW_NORMAL; colour = RGB(102, 102, 102); break;
        case IDC_LANGUAGE_HEADING: weight = FW_BOLD; colour = RGB(102, 102, 102); break;
        case IDC_LANGUAGE_LICENSE_LINK: weight = FW_NORMAL; colour = RGB(255, 50, 57); break;
        case IDC_LANGUAGE_AGREEMENT: weight = FW_BOLD; colour = RGB(0, 0, 0); break;
        default: break;
    }
    const bool languageBox = FindLanguageByCheckBox(id) != nullptr || id == IDC_LANGUAGE_SELECT_ALL;
    if (weight < 0 && !languageBox) return brush;
    if (weight >= 0) {
        StyleLabel(dc, colour);
    } else {
        SetBkMode(dc, TRANSPARENT);  // the boxes keep their font and colour
    }
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

void LanguagePage::OnLButtonDown(UINT flags, POINT point) {
    DragPage(m_hWnd, point);
    CDialogEx::OnLButtonDown(flags, point);
}
