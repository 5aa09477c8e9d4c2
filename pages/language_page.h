// The language page: the 33 languages preset from the client's
// configuration, "Select All", the licence agreement, "Install Now".
#pragma once

#include "core/install_run.h"
#include "core/preset.h"
#include "core/shared_state.h"
#include "core/user_messages.h"
#include "framework/afx.h"
#include "pages/caption_button.h"
#include "pages/page_skin.h"
#include "resources/resource.h"

class LanguagePage : public CDialogEx {
public:
    enum { IDD = IDD_LANGUAGE_PAGE };

    // Shows the boxes as the preset says; what the user chooses goes into
    // the run's selection flags and, with "Install Now", its codes.
    LanguagePage(InstallRun& run, const LanguagePreset& preset, UserMessages& messages);
    ~LanguagePage() override;

    // The user chose "Install Now" with at least one language; otherwise the
    // page was closed and the setup ends.
    bool InstallChosen() const { return m_installChosen; }

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
    void ReadBoxes(int checked[kLanguageCount], bool enabled[kLanguageCount]) const;
    void WriteBoxes(const int checked[kLanguageCount]) const;

    HBITMAP m_labels[kLanguageCount] = {};
    HFONT m_buttonFont = nullptr;
    PageFonts m_labelFonts;
    InstallRun& m_run;
    const LanguagePreset& m_preset;
    UserMessages& m_messages;
    bool m_installChosen = false;
};
