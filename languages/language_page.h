// The language page: the 33 languages preset from the client's
// configuration, "Select All", the licence agreement, "Install Now".
#pragma once

#include "app/shared_state.h"
#include "framework/afx.h"
#include "ui/caption_button.h"
#include "ui/page_skin.h"
#include "resources/resource.h"

class LanguagePage : public CDialogEx {
public:
    enum { IDD = IDD_LANGUAGE_PAGE };

    // Writes the licence text into the temporary folder for the licence page.
    explicit LanguagePage(CWnd* parent = nullptr);
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
    void Preset();

    HBITMAP m_labels[kLanguageCount] = {};
    HFONT m_buttonFont = nullptr;
    PageFonts m_labelFonts;
};
