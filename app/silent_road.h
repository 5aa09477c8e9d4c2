// The roads without pages: the installation chosen by "/silent" or
// "/quiet", and the check chosen by "/check". Neither creates a window.
#pragma once

#include "core/run_outcome.h"

class Installation;
class RunReport;
class UserMessages;
struct InstallRun;

// Runs the whole installation on the calling thread and says how it ended.
// What the user is to be told goes to the messages on the way.
RunOutcome RunSilentRoad(Installation& installation, InstallRun& run, UserMessages& messages, RunReport& report);

// Finds and checks the client as the installation would, then reads whether
// every configuration copy already records the run's languages. Writes and
// extracts nothing.
RunOutcome RunCheckRoad(Installation& installation, InstallRun& run, UserMessages& messages, RunReport& report);
