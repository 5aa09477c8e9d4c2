// The finish page: shown when the installation is complete; "Start Now" (or
// Enter) asks for the maker's sibling tool to be started.
#pragma once

#include <functional>

#include "framework/afx.h"
#include "pages/caption_button.h"
#include "pages/page_skin.h"
#include "resources/resource.h"

class FinishPage : public CDialogEx {
public:
    enum { IDD = IDD_FINISH_PAGE };

    // shown: called once, when the page has been shown and its texts set.
    explicit FinishPage(std::function<void()> shown);
    ~FinishPage() override;

    // The user chose "Start Now"; otherwise the page was closed.
    bool StartChosen() const { return m_startChosen; }

    CMFCButton m_btnStart;
    CaptionButton m_btnClose;
    CaptionButton m_btnMinimize;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* exchange) override;
    void OnOK() override;  // the Enter key: start the tool

    void OnStartNow();
    void OnClosePage();
    void OnMinimize();
    void OnPaint();
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT type);
    void OnLButtonDown(UINT flags, POINT point);

    DECLARE_MESSAGE_MAP()

private:
    void StartToolAndEnd();
    HFONT m_buttonFont = nullptr;
    PageFonts m_labelFonts;
    std::function<void()> m_shown;
    bool m_startChosen = false;
};
