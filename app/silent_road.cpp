#include "app/silent_road.h"

#include "pages/main_window.h"
#include "system/working_files.h"
#include "system/client_probe.h"

void RunSilentRoad(MainWindow& mainWindow, InstallRun& run, UserMessages& messages) {
    // The installed marker is read for its messages only: this road installs
    // whether or not it is present.
    mainWindow.ReadUserEntry();
    ClientProbe check(run, messages);
    if (!check.CheckClient()) {
        messages.Tell(check.Failure());
        return;
    }
    WriteArchiveFile();
    WriteUninstallerFile();
    // The bar has no window: no progress message is sent.
    mainWindow.m_extractJob.progressBar = nullptr;
    // Returns only when the extraction stopped before completion; the
    // completion step ends the process otherwise.
    mainWindow.StartInstall(true);
}
