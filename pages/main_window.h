// The main window of the wizard road. Its initialisation runs the language
// page; then it shows the installation progress over alternating slides while
// the archive is extracted on a worker thread.
#pragma once

#include <string>

#include "core/install_run.h"
#include "core/user_messages.h"
#include "system/extraction.h"
#include "framework/thread.h"
#include "framework/window.h"
#include "pages/caption_button.h"
#include "pages/page_skin.h"
#include "resources/resource.h"

// Posted by the main window to itself, once, to start the installation.
constexpr UINT WM_BEGIN_INSTALL = WM_USER + 100;
// Posted by the worker when the extraction ended without completing.
constexpr UINT WM_INSTALL_STOPPED = WM_USER + 101;
// Every second while installing, the next slide.
constexpr UINT_PTR SLIDE_TIMER_ID = 1;

// The about box of the system menu.
class AboutBox : public Dialog {
public:
    explicit AboutBox(const Window* owner) : Dialog(IDD_ABOUT, owner) {}
};

class MainWindow : public Dialog {
public:
    MainWindow(InstallRun& run, UserMessages& messages);

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

    bool PreTranslateMessage(MSG& msg) override;

    ExtractionJob m_extractJob;

protected:
    bool OnInitDialog() override;
    // Enter and Escape do nothing here: the installation runs to its end.
    void OnOK() override {}
    void OnCancel() override {}
    bool OnCommand(int id, int notification) override;
    bool OnSysCommand(UINT id) override;
    bool OnPaint() override;
    HICON OnQueryDragIcon() override { return m_hIcon; }
    HBRUSH OnCtlColor(HDC dc, HWND control) override;
    bool OnLButtonDown(POINT point) override;
    bool OnTimer(UINT_PTR id) override;
    bool OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void OnBeginInstall();
    void OnInstallStopped();

    // The slide shown: none before the installation begins, then A and B
    // taking turns every second.
    enum class Slide { None, A, B };

    HICON m_hIcon = nullptr;  // the program's icon, shared (never destroyed)
    Window m_progress;
    CaptionButton m_btnMinimize;
    CaptionButton m_btnClose;
    PagePicture m_slideA;
    PagePicture m_slideB;
    Slide m_slide = Slide::None;
    int m_needInstall = 0;
    std::string m_productGuid;
    PageFonts m_labelFonts;
    InstallRun& m_run;
    UserMessages& m_messages;
    bool m_endedBeforeInstalling = false;
    // Declared last: waited for first when the window goes, while the rest
    // of the window it uses still exists.
    WorkerThread m_worker;
};
