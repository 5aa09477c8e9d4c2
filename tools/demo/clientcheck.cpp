// Runs the installer's client check against the client installed on this
// machine and prints what it found: the client folder, the three
// configuration paths, the client's languages and translator, the verdict.
// A client that does not qualify is reported the installer's way, with its
// message box, and the program ends there.
#include <cstdio>

#include "app/message_boxes.h"
#include "core/shared_state.h"
#include "pages/main_window.h"
#include "system/client_probe.h"

int main() {
    MessageBoxes boxes;
    MainWindow mainWindow(boxes);
    mainWindow.ReadUserEntry();
    {
        ClientProbe check(boxes);
        if (!check.CheckClient()) {
            boxes.Tell(check.Failure());
            return 0;
        }
    }
    ClientProbe reader(boxes);
    const std::string languages = reader.ReadClientLanguages();
    if (!reader.Failure().empty()) {
        boxes.Tell(reader.Failure());
        return 0;
    }
    const std::string translator = reader.ReadTranslator();
    std::printf("client key:              HKLM\\%s\n", clientUninstallKey.c_str());
    std::printf("client folder:           %s\n", clientFolder.c_str());
    std::printf("reference configuration: %s\n", benchmarkSetupPath.c_str());
    std::printf("install configuration:   %s\n", installSetupPath.c_str());
    std::printf("public configuration:    %s\n", publicSetupPath.c_str());
    std::printf("client languages:        %s\n", languages.c_str());
    std::printf("translator:              %s\n", translator.c_str());
    std::printf("verdict:                 compatible\n");
    return 0;
}
