#include "app/silent_road.h"

#include "app/main_window.h"

void RunSilentRoad(CsetupDlg& mainWindow) {
    // The installed marker is read for its messages only: this road installs
    // whether or not it is present.
    mainWindow.ReadUserEntry();
    // Client check, working files and extraction follow here; until they
    // exist the road ends after reading the entry.
}
