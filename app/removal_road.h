// The removal chosen by "/uninstall": undoes what the installations on
// this machine recorded in their receipt.
#pragma once

#include "core/run_outcome.h"

class Installation;
class RunReport;
class UserMessages;
struct InstallRun;

// Finds the client, then puts each configuration copy back as it was before
// the first installation, deletes the files the installations added that
// still hold their bytes, removes the folders they made once empty, and last
// the receipt. A copy changed since gets its earlier languages and mark
// back; a file changed since, or there before, stays. Removed also when
// there is nothing to remove; Failed, with the receipt kept for another
// run, when something of ours could not be undone.
RunOutcome RunRemovalRoad(Installation& installation, InstallRun& run, UserMessages& messages, RunReport& report);
