// The main window of the wizard road: the installation's progress over
// alternating slides while the archive is extracted.
#pragma once

#include "framework/afx.h"
#include "pages/caption_button.h"
#include "pages/page_skin.h"
#include "resources/resource.h"

// Posted by the main window to itself, once, to begin the installation.
constexpr UINT WM_BEGIN_INSTALL = WM_USER + 100;
// Posted to the main window when the extraction has ended: the window closes.
constexpr UINT kExtractionEnded = WM_USER + 101;
constexpr UINT_PTR SLIDE_TIMER_ID = 1;

// What the main window asks of the installation it shows.
class ProgressEvents {
public:
    // Once, on the window's thread, when the window has been shown: the
    // extraction is to begin, moving this bar (0 to 100) and posting
    // kExtractionEnded to the window when it ends. False: nothing began,
    // and the window closes.
    virtual bool Begin(HWND window, HWND progressBar) = 0;
    // kExtractionEnded arrived; the window closes after this returns.
    virtual void Ended() = 0;

protected:
    ~ProgressEvents() = default;
};

// The about box of the system menu.
class CAboutDlg : public CDialogEx {
public:
    enum { IDD = IDD_ABOUT };
    CAboutDlg() : CDialogEx(IDD, nullptr) {}
};

class MainWindow : public CDialogEx {
public:
    enum { IDD = IDD_MAIN_WINDOW };

    explicit MainWindow(ProgressEvents& events);
    ~MainWindow() override;

    BOOL PreTranslateMessage(MSG* msg) override;

    HICON m_hIcon = nullptr;
    CWnd m_percentLabel;
    CProgressCtrl m_progress;
    CaptionButton m_btnMinimize;
    CaptionButton m_btnClose;
    int m_slideState = 0;

protected:
    void DoDataExchange(CDataExchange* exchange) override;
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}

    void OnSysCommand(UINT id, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT type);
    void OnLButtonDown(UINT flags, POINT point);
    LRESULT OnBeginInstall(WPARAM, LPARAM);
    LRESULT OnExtractionEnded(WPARAM, LPARAM);
    void OnTimer(UINT_PTR id);
    void OnMinimize();
    void OnCloseButton() {}
    void OnIgnore() {}

    DECLARE_MESSAGE_MAP()

private:
    PageFonts m_labelFonts;
    ProgressEvents& m_events;
};
