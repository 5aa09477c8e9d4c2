// The wizard road: the language page, the progress window while the archive
// is extracted on a worker thread, the completion and the finish page, all
// on the program's thread.
#pragma once

#include "core/run_outcome.h"

class Installation;
class RunReport;
class UserMessages;
struct InstallRun;

RunOutcome RunWizardRoad(Installation& installation, InstallRun& run, UserMessages& messages, RunReport& report);
