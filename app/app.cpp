#include "app/app.h"

#include <commctrl.h>
#include <cstdlib>

#include "app/main_window.h"
#include "app/silent_road.h"
#include "app/startup.h"
#include "app/startup_rules.h"

InstallerApp theApp;

BOOL InstallerApp::InitInstance() {
    const bool silentMode = HasSilentArgument(__argc, __argv);

    EnsureSingleInstance();

    INITCOMMONCONTROLSEX controls;
    controls.dwSize = sizeof controls;  // 8
    controls.dwICC = ICC_WIN95_CLASSES;  // 0xFF
    InitCommonControlsEx(&controls);

    WriteCompatibilityMark();

    CWinApp::InitInstance();

    StopSiblingTool();

    AfxInitRichEdit2();
    AfxInitRichEdit();
    CMFCButton::RegisterWindowClass();

    MainWindow dlg;
    if (silentMode) {
        RunSilentRoad(dlg);
    } else {
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
    }
    return FALSE;
}
