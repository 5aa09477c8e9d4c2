#include "engine/completion.h"

#include <cstdlib>

#include "app/shared_state.h"
#include "client/config_update.h"
#include "framework/afx.h"
#include "languages/catalogue.h"

void CompleteInstallation(bool silent) {
    selectedCodes = BuildSelectedCodes(selectionFlags);
    UpdateClientConfigCopies();
    CWinApp* app = AfxGetApp();
    if (app != nullptr && app->m_pMainWnd != nullptr && app->m_pMainWnd->m_hWnd != nullptr) {
        ShowWindow(app->m_pMainWnd->m_hWnd, SW_HIDE);
    }
    if (silent) std::exit(0);
    // The finish page runs here on the interactive road.
}
