#include "pages/language_page.h"

#include "core/language_catalogue.h"
#include "pages/license_page.h"
#include "pages/page_skin.h"
#include "resources/resource.h"

namespace {

constexpr COLORREF kDisabledFace = RGB(130, 130, 130);
constexpr COLORREF kEnabledFace = RGB(255, 20, 57);

}  // namespace

LanguagePage::LanguagePage(InstallRun& run, const LanguagePreset& preset, UserMessages& messages)
    : Dialog(IDD_LANGUAGE_PAGE, nullptr), m_run(run), m_preset(preset), m_messages(messages) {}

bool LanguagePage::OnInitDialog() {
    m_btnInstall.Bind(Handle(), IDC_LANGUAGE_INSTALL);
    for (int i = 0; i < kLanguageCount; ++i) m_languageBoxes[i].Bind(Handle(), languageCatalogue[i].checkBox);
    m_btnMinimize.Bind(Handle(), IDC_LANGUAGE_MINIMISE);
    m_btnClose.Bind(Handle(), IDC_LANGUAGE_CLOSE);

    m_btnInstall.SetColours(kDisabledFace, RGB(102, 102, 102));
    m_btnInstall.Enable(false);

    if (brandFlag != "0") {
        ::ShowWindow(Item(IDC_LANGUAGE_AGREEMENT), SW_HIDE);
        ::ShowWindow(Item(IDC_LANGUAGE_LICENSE_LINK), SW_HIDE);
        CheckDlgButton(Handle(), IDC_LANGUAGE_AGREEMENT, BST_CHECKED);
        OnAgreementTick();
    }

    SetDlgItemTextA(Handle(), IDC_LANGUAGE_TITLE, txtWizardTitle.c_str());
    SetDlgItemTextA(Handle(), IDC_LANGUAGE_HEADING, txtInstallTo.c_str());
    SetDlgItemTextA(Handle(), IDC_LANGUAGE_BACK, txtBack.c_str());
    m_btnInstall.SetText(txtInstallNow);
    SetDlgItemTextA(Handle(), IDC_LANGUAGE_LICENSE_LINK, txtLicenseAgreement.c_str());
    SetDlgItemTextA(Handle(), IDC_LANGUAGE_AGREEMENT, txtReadAndAccept.c_str());
    ::ShowWindow(Item(IDC_LANGUAGE_BACK), SW_HIDE);
    m_labelFonts.Apply(Handle(), IDC_LANGUAGE_TITLE, 17, FW_NORMAL);
    m_labelFonts.Apply(Handle(), IDC_LANGUAGE_HEADING, 17, FW_BOLD);
    m_labelFonts.Apply(Handle(), IDC_LANGUAGE_LICENSE_LINK, 17, FW_NORMAL);
    m_labelFonts.Apply(Handle(), IDC_LANGUAGE_AGREEMENT, 17, FW_BOLD);
    // In these fonts the tick's text and the link are longer than their
    // places on the page: they grow to show whole, the link keeping its
    // distance from the tick.
    {
        RECT tick{}, link{};
        GetWindowRect(Item(IDC_LANGUAGE_AGREEMENT), &tick);
        GetWindowRect(Item(IDC_LANGUAGE_LICENSE_LINK), &link);
        const int gap = link.left - tick.right;
        const int tickRight = FitToText(Handle(), IDC_LANGUAGE_AGREEMENT, GetSystemMetrics(SM_CXMENUCHECK) + 4);
        MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&link), 2);
        if (tickRight + gap > link.left) {
            ::SetWindowPos(Item(IDC_LANGUAGE_LICENSE_LINK), nullptr, tickRight + gap, link.top, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        FitToText(Handle(), IDC_LANGUAGE_LICENSE_LINK, 0);
    }

    KeepClassicLook(Item(IDC_LANGUAGE_SELECT_ALL));
    KeepClassicLook(Item(IDC_LANGUAGE_AGREEMENT));
    for (int i = 0; i < kLanguageCount; ++i) {
        KeepClassicLook(m_languageBoxes[i].Handle());
        m_labels[i].reset(LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(languageCatalogue[i].label)));
        m_languageBoxes[i].SetBitmap(m_labels[i].get());
    }
    SkinCaptionButtons(m_btnClose, IDI_CLOSE_RED, m_btnMinimize, IDI_MINIMISE_GREY);
    MakePageTranslucent(Handle());
    m_picture.Load(IDB_WHITE_PAGE);

    if (m_preset.disabled >= 0) m_languageBoxes[m_preset.disabled].Enable(false);
    CheckDlgButton(Handle(), IDC_LANGUAGE_SELECT_ALL, m_preset.selectAll ? BST_CHECKED : BST_UNCHECKED);
    WriteBoxes(m_preset.checked);

    m_buttonFont = CreatePageFont(19, FW_BOLD);
    m_btnInstall.Send(WM_SETFONT, reinterpret_cast<WPARAM>(m_buttonFont.get()), TRUE);
    return true;
}

void LanguagePage::ReadBoxes(int checked[kLanguageCount], bool enabled[kLanguageCount]) const {
    for (int i = 0; i < kLanguageCount; ++i) {
        checked[i] = m_languageBoxes[i].IsChecked() ? 1 : 0;
        if (enabled != nullptr) enabled[i] = m_languageBoxes[i].IsEnabled();
    }
}

void LanguagePage::WriteBoxes(const int checked[kLanguageCount]) const {
    for (int i = 0; i < kLanguageCount; ++i) m_languageBoxes[i].SetChecked(checked[i] == 1);
}

void LanguagePage::OnSelectAll() {
    int checked[kLanguageCount];
    bool enabled[kLanguageCount];
    ReadBoxes(checked, enabled);
    ApplySelectAll(IsDlgButtonChecked(Handle(), IDC_LANGUAGE_SELECT_ALL) == BST_CHECKED, enabled, checked, m_run.selectionFlags);
    WriteBoxes(checked);
}

void LanguagePage::OnAgreementTick() {
    const bool agreed = IsDlgButtonChecked(Handle(), IDC_LANGUAGE_AGREEMENT) == BST_CHECKED;
    m_btnInstall.SetColours(agreed ? kEnabledFace : kDisabledFace, kWhite);
    m_btnInstall.Enable(agreed);
}

void LanguagePage::OnLicenseLink() {
    // The licence's text box is a rich edit: its libraries load the first
    // time the page opens, not at start-up.
    RichTextBox::LoadLibraries();
    LicensePage page(m_messages, this);
    page.RunModal();
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
    End(IDOK);
}

// Enter does what "Install Now" does, and only while it can be clicked: no
// installation starts without the licence agreement ticked.
void LanguagePage::OnOK() {
    if (m_btnInstall.IsEnabled()) OnInstallNow();
}

// Escape (and the window's close command) ends the setup as the page's close
// button does: nothing is written or extracted.
void LanguagePage::OnCancel() { OnClosePage(); }

void LanguagePage::OnClosePage() {
    m_installChosen = false;
    End(IDCANCEL);
}

bool LanguagePage::OnCommand(int id, int notification) {
    // A click of a button, or of the link (STN_CLICKED is the same code).
    if (notification != BN_CLICKED) return Dialog::OnCommand(id, notification);
    switch (id) {
        case IDC_LANGUAGE_SELECT_ALL: OnSelectAll(); return true;
        case IDC_LANGUAGE_AGREEMENT: OnAgreementTick(); return true;
        case IDC_LANGUAGE_LICENSE_LINK: OnLicenseLink(); return true;
        case IDC_LANGUAGE_INSTALL: OnInstallNow(); return true;
        case IDC_LANGUAGE_MINIMISE: Show(SW_MINIMIZE); return true;
        case IDC_LANGUAGE_CLOSE: OnClosePage(); return true;
        default: return Dialog::OnCommand(id, notification);
    }
}

bool LanguagePage::OnPaint() {
    m_btnClose.RetakeBackground();
    m_btnMinimize.RetakeBackground();
    m_picture.Paint(Handle(), COLORONCOLOR);
    return true;
}

HBRUSH LanguagePage::OnCtlColor(HDC dc, HWND control) {
    HBRUSH brush = Dialog::OnCtlColor(dc, control);
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

bool LanguagePage::OnLButtonDown(POINT point) {
    DragPage(Handle(), point);
    return false;
}
