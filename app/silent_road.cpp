#include "app/silent_road.h"

#include "app/installation.h"
#include "app/receipt_keeper.h"
#include "app/run_report.h"
#include "core/language_catalogue.h"
#include "system/config_update.h"

namespace {

// The client check of the roads without pages, with its lines in the log;
// false, with the outcome, when the client does not qualify (the user has
// been told).
bool CheckClientForRoad(Installation& installation, InstallRun& run, UserMessages& messages, RunReport& report,
                        RunOutcome& failure) {
    const ClientStatus status = installation.CheckClient();
    report.Client(run);
    report.Verdict(installation.ClientFailure());
    if (status == ClientStatus::Qualifies) return true;
    messages.Tell(installation.ClientFailure());
    failure = Installation::OutcomeOf(status);
    return false;
}

}  // namespace

RunOutcome RunSilentRoad(Installation& installation, InstallRun& run, UserMessages& messages, RunReport& report) {
    // The installed marker is read for its messages only: these roads go on
    // whether or not it is present.
    installation.ReadUserEntry();
    RunOutcome failure = RunOutcome::Failed;
    if (!CheckClientForRoad(installation, run, messages, report, failure)) return failure;
    if (!run.presetCodes.empty()) {
        LanguagePreset preset;
        installation.ReadPreset(preset, false);
    }
    // No window: no progress message is sent.
    installation.PrepareExtraction(nullptr);
    installation.Extract();
    installation.EndExtraction();
    if (installation.AllDataWritten()) installation.Complete();
    report.Extraction(installation.Job());
    if (!run.completed) return RunOutcome::Failed;
    report.Copies(run);
    return installation.CompletedOutcome();
}

RunOutcome RunCheckRoad(Installation& installation, InstallRun& run, UserMessages& messages, RunReport& report) {
    installation.ReadUserEntry();
    RunOutcome failure = RunOutcome::Failed;
    if (!CheckClientForRoad(installation, run, messages, report, failure)) return failure;
    const std::string codes = BuildSelectedCodes(run.selectionFlags);
    bool installed = true;
    for (int i = 0; i < 3; ++i) {
        const std::string& path = *CopyPaths(run, i);
        const CopyCheck check = CheckClientConfig(path, codes);
        report.CopyChecked(path, check);
        installed = installed && check != CopyCheck::Lacks && check != CopyCheck::Unreadable;
    }
    return installed ? RunOutcome::Installed : RunOutcome::NotInstalledYet;
}
