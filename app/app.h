// The installer's start-up: all of its work happens there, which also
// decides the process's exit status.
#pragma once

#include "core/command_line.h"
#include "core/run_outcome.h"

class RunReport;

class InstallerApp {
public:
    // Runs the road the command line chose; returns the process's exit status.
    int Start();

private:
    // The run on the road the command line chose; the outcome decides the
    // exit status.
    RunOutcome Run(const CommandLine& line, Road road, RunReport& report);
};
