#include "app/silent_road.h"

#include "app/main_window.h"
#include "client/yemian1.h"

void RunSilentRoad(CsetupDlg& mainWindow) {
    // The installed marker is read for its messages only: this road installs
    // whether or not it is present.
    mainWindow.ReadUserEntry();
    yemian1 check;
    check.CheckClient();
    // Working files and extraction follow here; until they exist the road
    // ends after the client check.
}
