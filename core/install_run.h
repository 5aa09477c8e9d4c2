// One run of the installer: the client it serves, the paths found for it,
// the user's choice, the progress of the extraction and what became of the
// runtime product. The program makes one at start-up and hands it, by
// reference, to whatever reads or fills a part of it; nothing else holds
// the run's state.
#pragma once

#include <cstdint>
#include <string>

#include "core/run_outcome.h"
#include "core/shared_state.h"

struct InstallRun {
    // The client's Uninstall key below the registry root; completed once, at
    // the start of the run, with the root of the running system.
    std::string clientUninstallKey = "\\{5B1E7A20-9C44-4D1F-8E63-2A70C9D41E58}";

    // This installer, as its receipt names it.
    std::string version, brandName, editionName;

    // The client's folders and configuration copies, found by the client check.
    std::string clientFolder;        // receives the translation files
    std::string benchmarkSetupPath;  // the reference configuration
    std::string publicSetupPath;
    std::string installSetupPath;

    // Where the finish page looks for the tool and the runtime installer.
    std::string installPath;
    std::string ombrixExePath;
    std::string runtimeSetupPath;

    // The choice: one flag per catalogue entry (1 chosen), and the codes text
    // written into the configuration.
    int selectionFlags[kLanguageCount] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
                                          1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    std::string selectedCodes;
    // Codes chosen on the command line, which take the place of the client's
    // list on every road (joined to it when addToClientList); empty for none.
    std::string presetCodes;
    bool addToClientList = false;

    // The runtime product was not found (its installer is started at the end).
    bool runtimeMissing = true;
    // The extraction's progress: bytes written and the percentage shown.
    std::int64_t processedBytes = 0;
    std::int32_t progressPercent = 0;

    // The completion step: whether it ran, and what became of each
    // configuration copy (public, install, reference).
    bool completed = false;
    CopyUpdate copyUpdates[3] = {CopyUpdate::NotRun, CopyUpdate::NotRun, CopyUpdate::NotRun};
};
