// The finish page: shown when the installation is complete; may start the
// runtime installer, and "Start Now" starts the maker's sibling tool.
#pragma once

#include "framework/afx.h"
#include "ui/button_st.h"
#include "ui/page_skin.h"
#include "resources/resource.h"

class wancheng : public CDialogEx {
public:
    enum { IDD = IDD_FINISH_PAGE };

    explicit wancheng(CWnd* parent = nullptr);
    ~wancheng() override;

    CMFCButton m_btnStart;
    CButtonST m_btnClose;
    CButtonST m_btnMinimize;

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
    [[noreturn]] void StartToolAndEnd();
    HFONT m_buttonFont = nullptr;
    PageFonts m_labelFonts;
};
