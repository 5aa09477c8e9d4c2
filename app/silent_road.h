// The installation without pages, chosen by "/silent".
#pragma once

class MainWindow;

// Runs the whole installation on the calling thread with the never-shown
// main-window object. Returns only when the installation did not complete.
void RunSilentRoad(MainWindow& mainWindow);
