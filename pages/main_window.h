// The main window of the wizard road: the installation's progress over
// alternating slides while the archive is extracted.
#pragma once

#include "framework/window.h"
#include "pages/caption_button.h"
#include "pages/page_skin.h"
#include "resources/resource.h"

// Posted by the main window to itself, once, to begin the installation.
constexpr UINT kBeginInstall = WM_USER + 100;
// Posted to the main window when the extraction has ended: the window closes.
constexpr UINT kExtractionEnded = WM_USER + 101;
// Every second while installing, the next slide.
constexpr UINT_PTR kSlideTimer = 1;

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
class AboutBox : public Dialog {
public:
    explicit AboutBox(const Window* owner) : Dialog(IDD_ABOUT, owner) {}
};

class MainWindow : public Dialog {
public:
    explicit MainWindow(ProgressEvents& events);

    bool PreTranslateMessage(MSG& msg) override;

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
    PageFonts m_labelFonts;
    ProgressEvents& m_events;
};
