// The language page: the 33 languages preset from the client's
// configuration, "Select All", the licence agreement, "Install Now".
#pragma once

#include "core/install_run.h"
#include "core/preset.h"
#include "core/shared_state.h"
#include "core/user_messages.h"
#include "framework/controls.h"
#include "pages/caption_button.h"
#include "pages/page_skin.h"
#include "resources/resource.h"

class LanguagePage : public Dialog {
public:
    // Shows the boxes as the preset says; what the user chooses goes into
    // the run's selection flags and, with "Install Now", its codes. The page
    // stands alone (no owner).
    LanguagePage(InstallRun& run, const LanguagePreset& preset, UserMessages& messages);

    // The user chose "Install Now" with at least one language; otherwise the
    // page was closed and the setup ends.
    bool InstallChosen() const { return m_installChosen; }

protected:
    bool OnInitDialog() override;
    void OnOK() override;      // the Enter key
    void OnCancel() override;  // the Escape key
    bool OnCommand(int id, int notification) override;
    bool OnPaint() override;
    HBRUSH OnCtlColor(HDC dc, HWND control) override;
    bool OnLButtonDown(POINT point) override;

private:
    void OnSelectAll();
    void OnAgreementTick();
    void OnLicenseLink();
    void OnInstallNow();
    void OnClosePage();
    void ReadBoxes(int checked[kLanguageCount], bool enabled[kLanguageCount]) const;
    void WriteBoxes(const int checked[kLanguageCount]) const;

    SkinButton m_btnInstall;
    CheckBox m_languageBoxes[kLanguageCount];
    CaptionButton m_btnMinimize;
    CaptionButton m_btnClose;
    PagePicture m_picture;
    ScopedBitmap m_labels[kLanguageCount];
    ScopedFont m_buttonFont;
    PageFonts m_labelFonts;
    InstallRun& m_run;
    const LanguagePreset& m_preset;
    UserMessages& m_messages;
    bool m_installChosen = false;
};
