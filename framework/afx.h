// A small dialog framework for the installer's pages: the application object,
// windows bound to C++ objects, modal dialogs run from templates with a
// message map, the few control classes the pages use, files and threads, and
// the application message box. Only what the pages need, over plain Win32.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <commctrl.h>
#include <richedit.h>

#include <string>

class CWnd;

// One entry of a window's message map: the message (and for WM_COMMAND the
// notification code and control ID) and the call of the handler.
struct AFX_MSGMAP_ENTRY {
    UINT message;
    UINT code;
    UINT id;
    LRESULT (*call)(CWnd* window, WPARAM wParam, LPARAM lParam);
};

// Any WM_CTLCOLOR* message, in a message map.
constexpr UINT AFX_WM_CTLCOLOR_ANY = 0xFFFF0001u;

#define DECLARE_MESSAGE_MAP() \
protected:                    \
    const AFX_MSGMAP_ENTRY* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                 \
    const AFX_MSGMAP_ENTRY* theClass::GetMessageMap() const {  \
        typedef theClass ThisClass;                            \
        static const AFX_MSGMAP_ENTRY entries[] = {
#define END_MESSAGE_MAP()    \
    {0, 0, 0, nullptr}       \
    }                        \
    ;                        \
    return entries;          \
    }

#define AFX_COMMAND_ENTRY(code, id, fn)                                            \
    {WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id),                   \
     [](CWnd* w, WPARAM, LPARAM) -> LRESULT { static_cast<ThisClass*>(w)->fn(); return 0; }},
#define ON_BN_CLICKED(id, fn) AFX_COMMAND_ENTRY(BN_CLICKED, id, fn)
#define ON_STN_CLICKED(id, fn) AFX_COMMAND_ENTRY(STN_CLICKED, id, fn)
#define ON_EN_CHANGE(id, fn) AFX_COMMAND_ENTRY(EN_CHANGE, id, fn)
#define ON_COMMAND(id, fn) AFX_COMMAND_ENTRY(0, id, fn)
#define ON_WM_PAINT() \
    {WM_PAINT, 0, 0, [](CWnd* w, WPARAM, LPARAM) -> LRESULT { static_cast<ThisClass*>(w)->OnPaint(); return 0; }},
#define ON_WM_CTLCOLOR()                                                                                 \
    {AFX_WM_CTLCOLOR_ANY, 0, 0, [](CWnd* w, WPARAM wp, LPARAM lp) -> LRESULT {                          \
         return reinterpret_cast<LRESULT>(static_cast<ThisClass*>(w)->OnCtlColor(                         \
             reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp), CWnd::CtlColorType(w->m_currentMsg))); \
     }},
#define ON_WM_LBUTTONDOWN()                                                                   \
    {WM_LBUTTONDOWN, 0, 0, [](CWnd* w, WPARAM wp, LPARAM lp) -> LRESULT {                    \
         POINT point{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};          \
         static_cast<ThisClass*>(w)->OnLButtonDown(static_cast<UINT>(wp), point);              \
         return 0;                                                                             \
     }},
#define ON_WM_SYSCOMMAND()                                                                           \
    {WM_SYSCOMMAND, 0, 0, [](CWnd* w, WPARAM wp, LPARAM lp) -> LRESULT {                            \
         static_cast<ThisClass*>(w)->OnSysCommand(static_cast<UINT>(wp), lp);                        \
         return 0;                                                                                    \
     }},
#define ON_WM_TIMER()                                                                                  \
    {WM_TIMER, 0, 0, [](CWnd* w, WPARAM wp, LPARAM) -> LRESULT {                                      \
         static_cast<ThisClass*>(w)->OnTimer(static_cast<UINT_PTR>(wp));                               \
         return 0;                                                                                     \
     }},
#define ON_WM_QUERYDRAGICON()                                                                          \
    {WM_QUERYDRAGICON, 0, 0, [](CWnd* w, WPARAM, LPARAM) -> LRESULT {                                 \
         return reinterpret_cast<LRESULT>(static_cast<ThisClass*>(w)->OnQueryDragIcon());              \
     }},
#define ON_MESSAGE(message, fn)                                                                        \
    {static_cast<UINT>(message), 0, 0,                                                                 \
     [](CWnd* w, WPARAM wp, LPARAM lp) -> LRESULT { return static_cast<ThisClass*>(w)->fn(wp, lp); }},

// A window bound to a C++ object. Controls are bound by subclassing: the
// object's WindowProc sees every message first and passes on what it does
// not handle.
class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    // The object bound to a window, or nullptr.
    static CWnd* FromHandle(HWND hwnd);

    // Binds the control with this ID of the parent to this object.
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    BOOL SubclassWindow(HWND hwnd);

    // What a control does with a notification it sent to its parent before the
    // parent's handlers see it (reflection). True when the parent must not see it.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Owner drawing, reflected from the parent's WM_DRAWITEM.
    virtual void DrawItem(LPDRAWITEMSTRUCT drawItem);
    // Called for every message of the modal loop that is meant for this window
    // or one of its children, before it is dispatched. True: handled.
    virtual BOOL PreTranslateMessage(MSG* msg);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    void Invalidate(BOOL erase = TRUE) const { ::InvalidateRect(m_hWnd, nullptr, erase); }
    BOOL ShowWindow(int command) const { return ::ShowWindow(m_hWnd, command); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL EnableWindow(BOOL enable = TRUE) const { return ::EnableWindow(m_hWnd, enable); }
    void SetWindowText(const std::string& text) const { ::SetWindowTextA(m_hWnd, text.c_str()); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }

    // The WM_CTLCOLOR* message's control type (CTLCOLOR_BTN, ...).
    static UINT CtlColorType(UINT message);

    HWND m_hWnd = nullptr;
    UINT m_currentMsg = 0;  // the message being handled

protected:
    virtual const AFX_MSGMAP_ENTRY* GetMessageMap() const { return nullptr; }
    // Runs the message map; true when an entry handled the message.
    BOOL DispatchMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Before a control is bound (styles may still be changed here).
    virtual void PreSubclassWindow() {}
    // Every message of a bound control; the default passes it on.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The control's own handling of a message.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The default handling of the message being handled.
    LRESULT Default();

    // Makes a message the one being handled for as long as it lives (messages
    // nest: a handler may send another).
    class CurrentMessage {
    public:
        CurrentMessage(CWnd* window, UINT message, WPARAM wParam, LPARAM lParam)
            : m_window(window),
              m_message(window->m_currentMsg),
              m_wParam(window->m_currentWParam),
              m_lParam(window->m_currentLParam) {
            window->m_currentMsg = message;
            window->m_currentWParam = wParam;
            window->m_currentLParam = lParam;
        }
        ~CurrentMessage() {
            m_window->m_currentMsg = m_message;
            m_window->m_currentWParam = m_wParam;
            m_window->m_currentLParam = m_lParam;
        }
        CurrentMessage(const CurrentMessage&) = delete;
        CurrentMessage& operator=(const CurrentMessage&) = delete;

    private:
        CWnd* m_window;
        UINT m_message;
        WPARAM m_wParam;
        LPARAM m_lParam;
    };

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    WNDPROC m_originalProc = nullptr;
    WPARAM m_currentWParam = 0;
    LPARAM m_currentLParam = 0;
    friend class CDialogEx;
};

// Binding of controls to member objects, during DoDataExchange.
class CDataExchange {
public:
    explicit CDataExchange(CWnd* dialog) : m_pDlgWnd(dialog) {}
    CWnd* m_pDlgWnd;
};
void DDX_Control(CDataExchange* exchange, int id, CWnd& control);

// Base of every page: a modal dialog run from a dialog template resource.
class CDialogEx : public CWnd {
public:
    CDialogEx(UINT templateId, CWnd* parent) : m_templateId(templateId), m_pParentWnd(parent) {}
    ~CDialogEx() override;

    // Creates the page from its template, shows it and runs its modal loop
    // until EndDialog; returns the result given to EndDialog (-1 when the
    // page could not be created).
    virtual INT_PTR DoModal();
    void EndDialog(int result);

    BOOL PreTranslateMessage(MSG* msg) override;

    UINT m_templateId;
    CWnd* m_pParentWnd;

protected:
    // The dialog's initialisation: binds the controls (DoDataExchange) and
    // centres the page over its owner, or in the work area of the screen.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* exchange);
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

    // Handlers the pages' message maps call on their base.
    void OnPaint() { Default(); }
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT type);
    void OnLButtonDown(UINT, POINT) { Default(); }
    void OnSysCommand(UINT, LPARAM) { Default(); }
    void OnTimer(UINT_PTR) { Default(); }

    // Centres the window over the visible, not minimised owner, or else in the
    // work area of the monitor of the application's main window.
    void CenterWindow();

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool m_modalRunning = false;
    bool m_endModal = false;
    INT_PTR m_modalResult = -1;
    HWND m_owner = nullptr;
    bool m_ownerDisabled = false;
};

// A button or check box control.
class CButton : public CWnd {
public:
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int check) const { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
    HBITMAP SetBitmap(HBITMAP bitmap) const {
        return reinterpret_cast<HBITMAP>(SendMessage(BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    }
};

// The flat push button of the pages, window class "MfcButton": a face colour,
// a text colour and a font, no focus rectangle. Dialog templates name the
// class; the page binds it and sets its look.
class CMFCButton : public CButton {
public:
    void SetFaceColor(COLORREF color, BOOL redraw = TRUE);
    void SetTextColor(COLORREF color);

    BOOL m_bDrawFocus = TRUE;

    // Registers the "MfcButton" window class; the start-up does it once.
    static BOOL RegisterWindowClass();
    // Draws a "MfcButton" that is not bound to an object.
    static void DrawUnbound(LPDRAWITEMSTRUCT drawItem);

protected:
    void PreSubclassWindow() override;
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;

private:
    COLORREF m_faceColor = CLR_DEFAULT;
    COLORREF m_textColor = CLR_DEFAULT;
};

// The rich-edit text control ("RichEdit20A").
class CRichEditCtrl : public CWnd {
public:
    long StreamIn(int format, EDITSTREAM& stream) const {
        return static_cast<long>(SendMessage(EM_STREAMIN, static_cast<WPARAM>(format),
                                             reinterpret_cast<LPARAM>(&stream)));
    }
};

// The progress bar control of a page; without a window until the page binds it.
class CProgressCtrl : public CWnd {};

// A worker thread started by AfxBeginThread. The object deletes itself when
// the thread ends; callers do not keep it.
class CWinThread {
public:
    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;
};

typedef UINT(__cdecl* AFX_THREADPROC)(LPVOID);

// Starts proc(param) on a new thread, which runs at once unless the creation
// flags say otherwise. nullptr when the thread cannot be started.
CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority = THREAD_PRIORITY_NORMAL,
                           UINT stackSize = 0, DWORD createFlags = 0,
                           LPSECURITY_ATTRIBUTES security = nullptr);

// The application object. Exactly one exists, as a static object of the
// program; the framework's start-up calls its InitInstance once.
class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Start-up override. When it returns false the program ends without
    // entering a message loop.
    virtual BOOL InitInstance();

    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
    // The process's exit status when start-up returns.
    int m_exitCode = 0;
};

CWinApp* AfxGetApp();

// The program's own module, where its resources live.
HINSTANCE AfxGetResourceHandle();

// Full path of the running executable (GetModuleFileNameA, 260 bytes).
std::string AfxModulePath();

// The application's name: the executable's file name without its extension.
std::string AfxAppName();

// The application message box: modal, one OK button, the warning icon, the
// application's name as caption. Returns when the user closed it.
int AfxMessageBox(const std::string& text);

// Preparation for the pages: the rich-edit control libraries the licence
// page's text control needs (version 2.0, then 1.0).
BOOL AfxInitRichEdit2();
BOOL AfxInitRichEdit();

// ActiveX hosting is not used by any page; kept as the start-up step it is.
