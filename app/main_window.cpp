#include "app/main_window.h"

#include <cstring>

#include "app/registry_text.h"
#include "app/shared_state.h"
#include "app/startup_rules.h"
#include "app/working_files.h"

namespace {
constexpr WORD kAppIconId = 128;
}

CsetupDlg::CsetupDlg(CWnd*) : CDialogEx(IDD, nullptr) {
    m_hIcon = LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(kAppIconId));
}

CsetupDlg::~CsetupDlg() = default;

void CsetupDlg::ReadUserEntry() {
    char systemWow64[MAX_PATH];
    std::memset(systemWow64, 0, sizeof systemWow64);
    const bool is64BitSystem = GetSystemWow64DirectoryA(systemWow64, MAX_PATH) != 0;
    clientUninstallKey = CompleteUninstallKey(is64BitSystem, clientUninstallKey);

    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, clientUninstallKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return;
    }
    std::string text;
    if (!ReadRegistryText(key, "ProductGuid", text)) AfxMessageBox(msgRegistryReadFailed);
    m_productGuid = text;
    if (!ReadRegistryText(key, "DisplayVersion", text)) AfxMessageBox(msgRegistryReadFailed);
    if (!ReadRegistryText(key, "installpath", text)) AfxMessageBox(msgRegistryReadFailed);
    RegCloseKey(key);
}

int CsetupDlg::NeedsInstall() {
    ReadUserEntry();
    return NeedsInstallFor(m_productGuid);
}

void CsetupDlg::StartInstall(bool synchronous) {
    m_extractJob.CountArchive(TempFolder() + archiveFileName);
    m_extractJob.destinationFolder = clientFolder;
    m_extractJob.silent = synchronous;
    if (synchronous) {
        ExtractArchive(&m_extractJob);
    } else {
        AfxBeginThread(ExtractArchive, &m_extractJob, THREAD_PRIORITY_NORMAL, 0, 0, nullptr);
    }
}
