// The main window of the wizard road. Its initialisation runs the language
// page; then it shows the installation progress over alternating slides while
// the archive is extracted on a worker thread.
#pragma once

#include <string>

#include "core/install_run.h"
#include "core/user_messages.h"
#include "system/extraction.h"
#include "framework/afx.h"
#include "pages/caption_button.h"
#include "pages/page_skin.h"
#include "resources/resource.h"

// Posted by the main window to itself, once, to start the installation.
constexpr UINT WM_BEGIN_INSTALL = WM_USER + 100;
// Posted by the worker when the extraction ended without completing.
constexpr UINT WM_INSTALL_STOPPED = WM_USER + 101;
constexpr UINT_PTR SLIDE_TIMER_ID = 1;

// The about box of the system menu.
class CAboutDlg : public CDialogEx {
public:
    enum { IDD = IDD_ABOUT };
    CAboutDlg() : CDialogEx(IDD, nullptr) {}
};

class MainWindow : public CDialogEx {
public:
    enum { IDD = IDD_MAIN_WINDOW };

    MainWindow(InstallRun& run, UserMessages& messages);
    ~MainWindow() override;

    // Completes the client's Uninstall key path and reads the installer's
    // own entry under HKEY_CURRENT_USER. Runs once per process, before any
    // client check.
    void ReadUserEntry();

    // Whether the setup ended on the language page (closed there, or the
    // client does not qualify): nothing was installed.
    bool EndedBeforeInstalling() const { return m_endedBeforeInstalling; }

    // 1 when the installed marker is absent, 0 when it is present.
    int NeedsInstall();

    // Counts the archive in the temporary folder and extracts it into the
    // client folder: on this thread when synchronous, else on a new worker.
    void StartInstall(bool synchronous);

    BOOL PreTranslateMessage(MSG* msg) override;

    ExtractionJob m_extractJob;
    HICON m_hIcon = nullptr;
    CWnd m_percentLabel;
    CProgressCtrl m_progress;
    CaptionButton m_btnMinimize;
    CaptionButton m_btnClose;
    int m_slideState = 0;
    int m_needInstall = 0;
    std::string m_productGuid;

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
    LRESULT OnInstallStopped(WPARAM, LPARAM);
    void OnTimer(UINT_PTR id);
    void OnMinimize();
    void OnCloseButton() {}
    void OnIgnore() {}

    DECLARE_MESSAGE_MAP()

private:
    PageFonts m_labelFonts;
    InstallRun& m_run;
    UserMessages& m_messages;
    bool m_endedBeforeInstalling = false;
};
