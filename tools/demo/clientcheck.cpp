// Runs the installer's client check against the client installed on this
// machine and prints what it found: the client folder, the three
// configuration paths, the client's languages and translator, the verdict.
// A client that does not qualify is reported the installer's way, with its
// message box, and the program ends there.
#include <cstdio>

#include "app/installation.h"
#include "app/message_boxes.h"
#include "core/install_run.h"
#include "system/run_log.h"

int main() {
    MessageBoxes boxes;
    RunLog noLog;
    RunReport report(noLog);
    InstallRun run;
    Installation installation(run, boxes, report);
    installation.ReadUserEntry();
    if (installation.CheckClient() != ClientStatus::Qualifies) {
        boxes.Tell(installation.ClientFailure());
        return 0;
    }
    LanguagePreset preset;
    if (!installation.ReadPreset(preset, true)) return 0;
    ClientProbe reader(run);
    std::string languages;
    reader.ReadClientLanguages(languages);
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
