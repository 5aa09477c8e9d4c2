// The program's message box, and the names it shows.
#pragma once

#include <string>

// Full path of the running program (GetModuleFileNameA into 260 bytes).
std::string ProgramPath();

// The program's name: its file name without the extension.
std::string ProgramName();

// The program's message box: one OK button, the warning icon, the program's
// name as caption; modal to the page the user works with on this thread (none
// when the thread shows no page). Returns when the user closed it.
int ShowMessageBox(const std::string& text);
