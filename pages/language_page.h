// The language page: the 33 languages preset from the client's
// configuration, "Select All", the licence agreement, "Install Now".
#pragma once

#include "core/shared_state.h"
#include "core/install_run.h"
#include "core/user_messages.h"
#include "framework/afx.h"
#include "pages/caption_button.h"
#include "pages/page_skin.h"
#include "resources/resource.h"

class LanguagePage : public CDialogEx {
public:
    enum { IDD = IDD_LANGUAGE_PAGE };

    // Writes the licence text into the temporary folder for the licence page.
    LanguagePage(InstallRun& run, UserMessages& messages, CWnd* parent);

    // Whether the setup ends with this page: the user closed it, or the
    // client does not qualify (the user has been told why).
    bool EndsSetup() const { return m_endsSetup; }
    ~LanguagePage() override;

    CMFCButton m_btnInstall;
    CButton m_languageBoxes[kLanguageCount];
    CaptionButton m_btnMinimize;
    CaptionButton m_btnClose;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* exchange) override;
    void OnOK() override;      // the Enter key
    void OnCancel() override;  // the Escape key

    void OnSelectAll();
    void OnAgreementTick();
    void OnLicenseLink();
    void OnInstallNow();
    void OnMinimize();
    void OnClosePage();
    void OnPaint();
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT type);
    void OnLButtonDown(UINT flags, POINT point);

    DECLARE_MESSAGE_MAP()

private:
    // Ends the page, tells the owner and checks the client once more.
    void LeaveForInstallation();
    void ReadBoxes(int checked[kLanguageCount], bool enabled[kLanguageCount]) const;
    void WriteBoxes(const int checked[kLanguageCount]) const;
    bool Preset();
    // Tells why the client does not qualify and ends the page and the setup.
    void EndForFailure(const std::string& failure);

    HBITMAP m_labels[kLanguageCount] = {};
    HFONT m_buttonFont = nullptr;
    PageFonts m_labelFonts;
    InstallRun& m_run;
    UserMessages& m_messages;
    bool m_endsSetup = false;
};
