// The finish page: shown when the installation is complete; may start the
// runtime installer, and "Start Now" starts the maker's sibling tool.
#pragma once

#include "core/install_run.h"
#include "framework/controls.h"
#include "pages/caption_button.h"
#include "pages/page_skin.h"
#include "resources/resource.h"

class FinishPage : public Dialog {
public:
    // The page stands alone (no owner); without one it is centred on the
    // screen of the window given here (the main window), or on its own.
    explicit FinishPage(InstallRun& run, HWND screenOf = nullptr);

protected:
    bool OnInitDialog() override;
    void OnOK() override;  // the Enter key: start the tool
    bool OnCommand(int id, int notification) override;
    bool OnPaint() override;
    HBRUSH OnCtlColor(HDC dc, HWND control) override;
    bool OnLButtonDown(POINT point) override;

private:
    void StartToolAndEnd();

    SkinButton m_btnStart;
    CaptionButton m_btnClose;
    CaptionButton m_btnMinimize;
    PagePicture m_picture;
    ScopedFont m_buttonFont;
    PageFonts m_labelFonts;
    InstallRun& m_run;
};
