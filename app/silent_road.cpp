#include "app/silent_road.h"

#include "app/main_window.h"
#include "app/working_files.h"
#include "client/client_probe.h"

void RunSilentRoad(MainWindow& mainWindow) {
    // The installed marker is read for its messages only: this road installs
    // whether or not it is present.
    mainWindow.ReadUserEntry();
    ClientProbe check;
    check.CheckClient();
    WriteArchiveFile();
    WriteUninstallerFile();
    // The bar has no window: no progress message is sent.
    mainWindow.m_extractJob.progressBar = &mainWindow.m_progress;
    // Returns only when the extraction stopped before completion; the
    // completion step ends the process otherwise.
    mainWindow.StartInstall(true);
}
