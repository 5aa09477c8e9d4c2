// The installation without pages, chosen by "/silent".
#pragma once

class MainWindow;
class UserMessages;
struct InstallRun;

// Runs the whole installation on the calling thread with the never-shown
// main-window object. Returns when the client does not qualify (the user has
// been told) or when the installation did not complete.
void RunSilentRoad(MainWindow& mainWindow, InstallRun& run, UserMessages& messages);
