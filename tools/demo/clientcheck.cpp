// Runs the installer's client check against the client installed on this
// machine and prints what it found: the client folder, the three
// configuration paths, the client's languages and translator, the verdict.
// A client that does not qualify is reported the installer's way, with its
// message box, and the program ends there.
#include <cstdio>

#include "app/message_boxes.h"
#include "core/install_run.h"
#include "pages/main_window.h"
#include "system/client_probe.h"

int main() {
    MessageBoxes boxes;
    InstallRun run;
    MainWindow mainWindow(run, boxes);
    mainWindow.ReadUserEntry();
    {
        ClientProbe check(run, boxes);
        if (!check.CheckClient()) {
            boxes.Tell(check.Failure());
            return 0;
        }
    }
    ClientProbe reader(run, boxes);
    const std::string languages = reader.ReadClientLanguages();
    if (!reader.Failure().empty()) {
        boxes.Tell(reader.Failure());
        return 0;
    }
    const std::string translator = reader.ReadTranslator();
    std::printf("client key:              HKLM\\%s\n", run.clientUninstallKey.c_str());
    std::printf("client folder:           %s\n", run.clientFolder.c_str());
    std::printf("reference configuration: %s\n", run.benchmarkSetupPath.c_str());
    std::printf("install configuration:   %s\n", run.installSetupPath.c_str());
    std::printf("public configuration:    %s\n", run.publicSetupPath.c_str());
    std::printf("client languages:        %s\n", languages.c_str());
    std::printf("translator:              %s\n", translator.c_str());
    std::printf("verdict:                 compatible\n");
    return 0;
}
