// The installer's run: reads the command line, takes the road it chooses,
// writes the log's last line and gives the process's exit status. The only
// place that decides how the program ends.
#pragma once

// Runs the installer once; the exit status.
int RunInstaller();
