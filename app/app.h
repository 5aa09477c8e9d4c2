// The installer's application object: all of its work happens in start-up,
// which also decides the process's exit status.
#pragma once

#include "core/command_line.h"
#include "core/run_outcome.h"
#include "framework/afx.h"

class RunReport;

class InstallerApp : public CWinApp {
public:
    BOOL InitInstance() override;

private:
    // The run on the road the command line chose; the outcome decides the
    // exit status.
    RunOutcome Run(const CommandLine& line, Road road, RunReport& report);
};

extern InstallerApp theApp;
