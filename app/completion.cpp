#include "app/completion.h"

#include <cstdlib>

#include "core/shared_state.h"
#include "system/config_update.h"
#include "framework/afx.h"
#include "core/language_catalogue.h"
#include "pages/finish_page.h"

void CompleteInstallation(InstallRun& run, bool silent) {
    run.selectedCodes = BuildSelectedCodes(run.selectionFlags);
    UpdateClientConfigCopies(run);
    CWinApp* app = AfxGetApp();
    if (app != nullptr && app->m_pMainWnd != nullptr && app->m_pMainWnd->m_hWnd != nullptr) {
        ShowWindow(app->m_pMainWnd->m_hWnd, SW_HIDE);
    }
    if (silent) std::exit(0);
    {
        FinishPage page(run);
        page.DoModal();
    }
    // The finish page ends with "Start Now" (the tool started), its close
    // button or Escape: each ends the program, and nothing is left on the
    // screen.
    std::exit(0);
}
