#include "app/app.h"

#include <commctrl.h>

#include "pages/main_window.h"
#include "app/completion.h"
#include "app/message_boxes.h"
#include "app/silent_road.h"
#include "core/install_run.h"
#include "core/shared_state.h"
#include "system/instance.h"
#include "core/startup_rules.h"

InstallerApp theApp;

BOOL InstallerApp::InitInstance() {
    const bool silentMode = HasSilentArgument(__argc, __argv);

    if (!ClaimSingleInstance()) {
        // No owner window and a caption of its own: no page exists yet.
        MessageBoxA(nullptr, msgAlreadyRunning.c_str(), txtPrompt.c_str(), MB_OK | MB_ICONWARNING);
        return FALSE;
    }

    INITCOMMONCONTROLSEX controls;
    controls.dwSize = sizeof controls;  // 8
    controls.dwICC = ICC_WIN95_CLASSES;  // 0xFF
    InitCommonControlsEx(&controls);

    WriteCompatibilityMark();

    CWinApp::InitInstance();

    MessageBoxes boxes;
    // A running sibling tool is stopped after the user is told.
    if (const DWORD tool = FindProcessByName(ombrixExeName)) {
        boxes.Tell(msgOmbrixRunning);
        StopProcess(tool);
    }

    AfxInitRichEdit2();
    AfxInitRichEdit();
    CMFCButton::RegisterWindowClass();

    InstallRun run;
    MainWindow dlg(run, boxes);
    dlg.m_extractJob.complete = CompleteInstallation;
    if (silentMode) {
        RunSilentRoad(dlg, run, boxes);
    } else {
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
    }
    return FALSE;
}
