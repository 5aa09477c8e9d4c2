#include "app/app.h"

#include <commctrl.h>
#include <cstdlib>

#include "app/main_window.h"
#include "app/silent_road.h"
#include "app/startup.h"
#include "app/startup_rules.h"

CsetupApp theApp;

BOOL CsetupApp::InitInstance() {
    const bool silentMode = HasSilentArgument(__argc, __argv);

    EnsureSingleInstance();

    INITCOMMONCONTROLSEX controls;
    controls.dwSize = sizeof controls;  // 8
    controls.dwICC = ICC_WIN95_CLASSES;  // 0xFF
    InitCommonControlsEx(&controls);

    WriteCompatibilityMark();

    CWinApp::InitInstance();

    StopSiblingTool();

    AfxEnableControlContainer();
    AfxInitRichEdit2();
    AfxInitRichEdit();

    CsetupDlg dlg;
    if (silentMode) {
        RunSilentRoad(dlg);
    } else {
        m_pMainWnd = &dlg;
        // The pages of the wizard road are run from the main window's
        // initialisation; the first thing it does is the installed-marker check.
        dlg.m_needInstall = dlg.NeedsInstall();
        m_pMainWnd = nullptr;
    }
    return FALSE;
}
