#include "engine/completion.h"

#include <cstdlib>

#include "app/shared_state.h"
#include "client/config_update.h"
#include "framework/afx.h"
#include "languages/catalogue.h"
#include "ui/finish_page.h"

void CompleteInstallation(bool silent) {
    selectedCodes = BuildSelectedCodes(selectionFlags);
    UpdateClientConfigCopies();
    CWinApp* app = AfxGetApp();
    if (app != nullptr && app->m_pMainWnd != nullptr && app->m_pMainWnd->m_hWnd != nullptr) {
        ShowWindow(app->m_pMainWnd->m_hWnd, SW_HIDE);
    }
    if (silent) std::exit(0);
    {
        FinishPage page;
        page.DoModal();
    }
    // The finish page's own buttons end the program; closed any other way
    // (Escape), it ends the program as well: nothing is left on the screen.
    std::exit(0);
}
