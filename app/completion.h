// The completion step: entered once, when all the payload's data is written.
#pragma once

#include "core/install_run.h"

// Records the chosen languages in the client's three configuration copies,
// hides the progress page, then ends the process (silent) or shows the
// finish page.
void CompleteInstallation(InstallRun& run, bool silent);
