#include "app/silent_road.h"

#include "app/run_report.h"
#include "core/language_catalogue.h"
#include "core/preset.h"
#include "pages/main_window.h"
#include "system/client_probe.h"
#include "system/config_update.h"
#include "system/working_files.h"

namespace {

// The installed marker is read for its messages only: these roads go on
// whether or not it is present. False, with the outcome, when the client
// does not qualify (the user has been told).
bool CheckTheClient(MainWindow& mainWindow, InstallRun& run, UserMessages& messages, RunReport& report,
                    RunOutcome& failure) {
    mainWindow.ReadUserEntry();
    ClientProbe check(run, messages);
    const bool qualifies = check.CheckClient();
    report.Client(run);
    report.Verdict(check);
    if (qualifies) return true;
    messages.Tell(check.Failure());
    failure = check.ClientMissing() ? RunOutcome::ClientMissing : RunOutcome::ClientIncompatible;
    return false;
}

// Languages given on the command line: the chosen ones (with the client's
// list for "/addlanguages="), and always the client's current interface
// language, as the language page keeps it.
void TakeCommandLineChoice(InstallRun& run, UserMessages& messages) {
    if (run.presetCodes.empty()) return;
    ClientProbe reader(run, messages);
    const std::string languages = reader.ReadClientLanguages();
    const std::string translator = reader.ReadTranslator();
    const LanguagePreset preset =
        ComputePresetForChoice(CommandLineCodes(run.presetCodes, run.addToClientList, languages), translator);
    for (int i = 0; i < kLanguageCount; ++i) run.selectionFlags[i] = preset.flags[i];
}

}  // namespace

RunOutcome RunSilentRoad(MainWindow& mainWindow, InstallRun& run, UserMessages& messages, RunReport& report) {
    RunOutcome failure = RunOutcome::Failed;
    if (!CheckTheClient(mainWindow, run, messages, report, failure)) return failure;
    TakeCommandLineChoice(run, messages);
    ExtractionJob& job = mainWindow.m_extractJob;
    job.archiveFile = PrepareArchiveFile();
    job.uninstallerFileBytes = WriteUninstallerFile();
    // The bar has no window: no progress message is sent.
    job.progressBar = nullptr;
    mainWindow.StartInstall(true);
    report.Extraction(job);
    if (!run.completed) return RunOutcome::Failed;
    report.Copies(run);
    for (CopyUpdate update : run.copyUpdates) {
        if (CopyNotUpdated(update)) return RunOutcome::CopiesNotUpdated;
    }
    return RunOutcome::Installed;
}

RunOutcome RunCheckRoad(MainWindow& mainWindow, InstallRun& run, UserMessages& messages, RunReport& report) {
    RunOutcome failure = RunOutcome::Failed;
    if (!CheckTheClient(mainWindow, run, messages, report, failure)) return failure;
    const std::string codes = BuildSelectedCodes(run.selectionFlags);
    bool installed = true;
    for (const std::string* path : {&run.publicSetupPath, &run.installSetupPath, &run.benchmarkSetupPath}) {
        const CopyCheck check = CheckClientConfig(*path, codes);
        report.CopyChecked(*path, check);
        installed = installed && check != CopyCheck::Lacks && check != CopyCheck::Unreadable;
    }
    return installed ? RunOutcome::Installed : RunOutcome::NotInstalledYet;
}
