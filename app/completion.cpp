#include "app/completion.h"
#include "app/receipt_keeper.h"

#include <cstdlib>

#include "core/run_outcome.h"
#include "core/language_catalogue.h"
#include "pages/finish_page.h"
#include "system/config_update.h"

void CompleteInstallation(InstallRun& run, bool silent, const ExtractionJob& job, RunReport& report,
                          HWND mainWindow) {
    run.selectedCodes = BuildSelectedCodes(run.selectionFlags);
    ReceiptKeeper receipt(run);
    receipt.BeforeCopies(run, job);
    UpdateClientConfigCopies(run);
    report.Line("receipt: " + receipt.PathForLog() +
                (receipt.AfterCopies(run, job) ? " written" : " could not be written"));
    run.completed = true;
    if (mainWindow != nullptr) ShowWindow(mainWindow, SW_HIDE);
    if (silent) return;

    // The installation got here: the client found qualified.
    report.Client(run);
    report.Line("check: the client qualifies");
    report.Extraction(job);
    report.Copies(run);
    bool allUpdated = true;
    for (CopyUpdate update : run.copyUpdates) allUpdated = allUpdated && !CopyNotUpdated(update);
    {
        FinishPage page(run, mainWindow);
        page.RunModal();
    }
    // The finish page ends with "Start Now" (the tool started), its close
    // button or Escape: each ends the program, and nothing is left on the
    // screen.
    const RunOutcome outcome = allUpdated ? RunOutcome::Installed : RunOutcome::CopiesNotUpdated;
    const int status = ExitStatus(outcome, Road::Wizard);
    report.End(DescribeOutcome(outcome), status);
    std::exit(status);
}
