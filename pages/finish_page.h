// The finish page: shown when the installation is complete; may start the
// runtime installer, and "Start Now" starts the maker's sibling tool.
#pragma once

#include "core/install_run.h"
#include "framework/afx.h"
#include "pages/caption_button.h"
#include "pages/page_skin.h"
#include "resources/resource.h"

class FinishPage : public CDialogEx {
public:
    enum { IDD = IDD_FINISH_PAGE };

    explicit FinishPage(InstallRun& run, CWnd* parent = nullptr);
    ~FinishPage() override;

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
    InstallRun& m_run;
};
