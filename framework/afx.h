// A small dialog framework for the installer's pages: the application object,
// windows and dialogs, and the application message box. Only what the pages
// need, written over plain Win32.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }

    HWND m_hWnd = nullptr;
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

// Base of every page. The parent is kept for the modal run.
class CDialogEx : public CWnd {
public:
    CDialogEx(UINT templateId, CWnd* parent) : m_templateId(templateId), m_pParentWnd(parent) {}

    UINT m_templateId;
    CWnd* m_pParentWnd;
};

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
inline void AfxEnableControlContainer() {}
