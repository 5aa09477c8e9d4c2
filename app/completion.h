// The completion step: entered once, when all the payload's data is written.
#pragma once

#include "app/run_report.h"
#include "core/install_run.h"
#include "system/extraction.h"

// Records the chosen languages in the client's three configuration copies
// and hides the progress page (mainWindow, nullptr when none is shown). On the silent roads it then returns: the
// extraction goes on to the archive's end and the road reports the outcome.
// On the wizard road it shows the finish page and ends the process.
void CompleteInstallation(InstallRun& run, bool silent, const ExtractionJob& job, RunReport& report,
                          HWND mainWindow);
