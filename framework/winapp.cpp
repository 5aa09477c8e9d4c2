#include "framework/afx.h"
#include "framework/library_search.h"


namespace {
CWinApp* g_app = nullptr;
}

CWinApp::CWinApp() { g_app = this; }

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

CWinApp* AfxGetApp() { return g_app; }

HINSTANCE AfxGetResourceHandle() { return GetModuleHandleA(nullptr); }

std::string AfxModulePath() {
    // A 260-byte buffer, cleared first; one more byte keeps a full path terminated.
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::string AfxAppName() {
    // The executable's file name without its extension.
    std::string name = AfxModulePath();
    const std::string::size_type slash = name.find_last_of('\\');
    if (slash != std::string::npos) name.erase(0, slash + 1);
    const std::string::size_type dot = name.find_last_of('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

int AfxMessageBox(const std::string& text) {
    // Owned by the window the user is working with on this thread, so the box
    // is modal to that page; no owner when the thread shows none.
    HWND owner = GetActiveWindow();
    if (owner != nullptr) owner = GetLastActivePopup(GetAncestor(owner, GA_ROOTOWNER));
    if (owner != nullptr && !IsWindowVisible(owner)) owner = nullptr;
    const std::string caption = AfxAppName();
    return MessageBoxA(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONWARNING);
}

BOOL AfxInitRichEdit2() { return LoadSystemLibrary("riched20.dll") != nullptr; }

BOOL AfxInitRichEdit() { return LoadSystemLibrary("riched32.dll") != nullptr; }
