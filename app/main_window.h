// The main window of the wizard road. It runs the language page, shows the
// installation progress and owns the installation.
#pragma once

#include <string>

#include "engine/extraction.h"
#include "framework/afx.h"

class CsetupDlg : public CDialogEx {
public:
    enum { IDD = 102 };

    explicit CsetupDlg(CWnd* parent = nullptr);
    ~CsetupDlg() override;

    // Completes the client's Uninstall key path and reads the installer's
    // own entry under HKEY_CURRENT_USER. Runs once per process, before any
    // client check.
    void ReadUserEntry();

    // 1 when the installed marker is absent, 0 when it is present.
    int NeedsInstall();

    // Counts the archive in the temporary folder and extracts it into the
    // client folder: on this thread when synchronous, else on a new worker.
    void StartInstall(bool synchronous);

    ExtractionJob m_extractJob;
    CProgressCtrl m_progress;
    HICON m_hIcon = nullptr;
    int m_slideState = 0;
    int m_needInstall = 0;
    std::string m_productGuid;
};
