// Windows bound to C++ objects: a control of a page (Window) and a page
// itself (Dialog). Each message reaches one routing function, which turns it
// into one call of a virtual handler below; a handler left as it is here
// passes the message on to the default handling.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

// A window bound to this object. A page's control is bound by subclassing:
// from then on each of its messages comes to OnMessage first, and what that
// does not handle goes on to the control's own procedure. The binding ends
// when the window is destroyed or the object goes, whichever comes first.
class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return hwnd_; }
    // The object bound to a window (a bound control, a running page), or nullptr.
    static Window* FromHandle(HWND hwnd);

    // Binds the control with this ID of the page to this object. False when
    // the page has no such control or another object is bound to it.
    bool Bind(HWND page, int controlId);

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageA(hwnd_, message, wParam, lParam);
    }
    // Marks the whole window for repainting, background included.
    void Invalidate() const { ::InvalidateRect(hwnd_, nullptr, TRUE); }
    void Show(int command) const { ::ShowWindow(hwnd_, command); }
    bool IsEnabled() const { return ::IsWindowEnabled(hwnd_) != FALSE; }
    void Enable(bool enable) const { ::EnableWindow(hwnd_, enable ? TRUE : FALSE); }
    void SetText(const std::string& text) const { ::SetWindowTextA(hwnd_, text.c_str()); }
    // The child window with this control ID, or nullptr.
    HWND Item(int controlId) const { return ::GetDlgItem(hwnd_, controlId); }

    // A message of a page's modal loop meant for this window or a window below
    // it, before it is dispatched. True: handled here, not dispatched.
    virtual bool PreTranslateMessage(MSG& msg);

    // Reflection: what a bound control sent to its page, handed back to the
    // control by the page (Dialog) before the page's own handlers see it.
    // WM_COMMAND: the control's own reaction to its notification; the page
    // still handles the command.
    virtual void OnReflectedCommand(int notification);
    // WM_CTLCOLOR*: the brush the control is drawn with; nullptr leaves the
    // choice to the page.
    virtual HBRUSH OnReflectedCtlColor(HDC dc);
    // WM_DRAWITEM: draws an owner-drawn control.
    virtual void OnDrawItem(const DRAWITEMSTRUCT& item);

protected:
    // Just before a control is bound: its styles may still be changed.
    virtual void OnBinding() {}
    // Every message of a bound control. The default is the control's own handling.
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The control's own procedure, as before it was bound.
    LRESULT CallDefault(UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend class Dialog;
    // Ties the window and this object together (a window property), or unties them.
    void Attach(HWND hwnd);
    void Detach();
    static LRESULT CALLBACK ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    WNDPROC originalProc_ = nullptr;  // a bound control's own procedure
};

// A page: a modal dialog made from a dialog template of the program. Its
// dialog procedure turns each message into one call:
//   WM_INITDIALOG      the page is centred, then OnInitDialog
//   WM_COMMAND         the bound control's OnReflectedCommand, then OnCommand
//                      (whose default turns clicks of IDOK and IDCANCEL, and
//                      so Enter and Escape, into OnOK and OnCancel)
//   WM_DRAWITEM        the bound control's OnDrawItem; an unbound flat button
//                      ("MfcButton") is drawn in the system's colours
//   WM_CTLCOLOR*       OnCtlColor (default: the bound control's reflected brush)
//   WM_PAINT           OnPaint          WM_LBUTTONDOWN    OnLButtonDown
//   WM_SYSCOMMAND      OnSysCommand     WM_TIMER          OnTimer
//   WM_QUERYDRAGICON   OnQueryDragIcon
//   WM_USER and up     OnOwnMessage (the page's own messages)
// Every other message, and each one whose handler says it did not handle it,
// goes to the dialog's default handling.
class Dialog : public Window {
public:
    // The page is modal to its owner (disabled while the page runs), or
    // stands alone when the owner is nullptr.
    Dialog(int templateId, const Window* owner) : templateId_(templateId), owner_(owner) {}
    ~Dialog() override;

    // Creates the page from its template, shows it and runs its modal loop
    // until End; returns the result given to End (-1 when the page could not
    // be created).
    INT_PTR RunModal();
    // Ends the modal loop with this result; the owner is enabled again before
    // the page disappears, so that activation returns to it.
    void End(INT_PTR result);

    // Without a visible owner the page is centred in the work area of this
    // screen (by default the owner's, else the page's own).
    void CentreOnScreen(HMONITOR screen) { screen_ = screen; }

    // Tab, arrows, Enter, Escape and mnemonics as in any dialog.
    bool PreTranslateMessage(MSG& msg) override;

protected:
    // Once the controls exist, before the page is shown: bind and set up the
    // controls. True lets the dialog give the first control the focus.
    virtual bool OnInitDialog() { return true; }
    virtual void OnOK() { End(IDOK); }
    virtual void OnCancel() { End(IDCANCEL); }
    // A command of a control or menu; false: not handled.
    virtual bool OnCommand(int id, int notification);
    // The brush for a control's background; nullptr: the dialog's colours.
    virtual HBRUSH OnCtlColor(HDC dc, HWND control);
    // False from these: the dialog's default handling follows.
    virtual bool OnPaint() { return false; }
    virtual bool OnLButtonDown(POINT) { return false; }
    virtual bool OnSysCommand(UINT) { return false; }
    virtual bool OnTimer(UINT_PTR) { return false; }
    virtual HICON OnQueryDragIcon() { return nullptr; }
    virtual bool OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Route(UINT message, WPARAM wParam, LPARAM lParam);
    // Over the visible, not minimised owner, else in the work area of a screen.
    void CentreWindow();

    const int templateId_;
    const Window* const owner_;
    HMONITOR screen_ = nullptr;
    HWND ownerHwnd_ = nullptr;
    bool ownerDisabled_ = false;
    bool endModal_ = false;
    INT_PTR result_ = -1;
};
