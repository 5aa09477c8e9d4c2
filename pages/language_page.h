// The language page: the 33 languages preset from the client's
// configuration, "Select All", the licence agreement, "Install Now".
#pragma once

#include "core/shared_state.h"
#include "core/install_run.h"
#include "core/user_messages.h"
#include "framework/controls.h"
#include "pages/caption_button.h"
#include "pages/page_skin.h"
#include "resources/resource.h"

class LanguagePage : public Dialog {
public:
    // Writes the licence text into the temporary folder for the licence page.
    LanguagePage(InstallRun& run, UserMessages& messages, const Window* owner);

    // Whether the setup ends with this page: the user closed it, or the
    // client does not qualify (the user has been told why).
    bool EndsSetup() const { return m_endsSetup; }

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
    // Ends the page, tells the owner and checks the client once more.
    void LeaveForInstallation();
    void ReadBoxes(int checked[kLanguageCount], bool enabled[kLanguageCount]) const;
    void WriteBoxes(const int checked[kLanguageCount]) const;
    bool Preset();
    // Tells why the client does not qualify and ends the page and the setup.
    void EndForFailure(const std::string& failure);

    SkinButton m_btnInstall;
    CheckBox m_languageBoxes[kLanguageCount];
    CaptionButton m_btnMinimize;
    CaptionButton m_btnClose;
    PagePicture m_picture;
    ScopedBitmap m_labels[kLanguageCount];
    ScopedFont m_buttonFont;
    PageFonts m_labelFonts;
    InstallRun& m_run;
    UserMessages& m_messages;
    bool m_endsSetup = false;
};
