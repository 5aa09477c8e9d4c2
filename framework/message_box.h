// The program's message box.
#pragma once

#include <string>

// A message box with one OK button, the warning icon and this caption; modal
// to the page the user works with on this thread (none when the thread shows
// no page). Returns when the user closed it.
int ShowMessageBox(const std::string& text, const std::string& caption);
