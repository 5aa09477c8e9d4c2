// The program's entry point: runs the application object's start-up. The
// installer never enters a message loop of its own; every page runs modally.
#include "framework/afx.h"
#include "framework/library_search.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    RestrictLibrarySearchToSystem();
    CWinApp* app = AfxGetApp();
    if (app == nullptr) return 0;
    app->m_hInstance = instance;
    if (app->InitInstance()) {
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return app->m_exitCode;
}
