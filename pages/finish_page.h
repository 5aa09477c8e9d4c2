// The finish page: shown when the installation is complete; "Start Now" (or
// Enter) asks for the maker's sibling tool to be started.
#pragma once

#include <functional>

#include "framework/controls.h"
#include "pages/caption_button.h"
#include "pages/page_skin.h"
#include "resources/resource.h"

class FinishPage : public Dialog {
public:
    // The page stands alone (no owner), centred on this screen (the one the
    // main window was on). shown: called once, when the page has been shown
    // with its texts (the runtime installer may start then).
    FinishPage(HMONITOR screen, std::function<void()> shown);

    // The user chose "Start Now"; otherwise the page was closed.
    bool StartChosen() const { return m_startChosen; }

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
    std::function<void()> m_shown;
    bool m_startChosen = false;
};
