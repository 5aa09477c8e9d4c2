#include "app/wizard_road.h"

#include "app/installation.h"
#include "app/run_report.h"
#include "core/shared_state.h"
#include "pages/finish_page.h"
#include "pages/language_page.h"
#include "pages/main_window.h"
#include "system/start_program.h"
#include "system/working_files.h"

namespace {

// Told when the installed marker says the language pack is already there.
const char* const kAlreadyInstalled =
    "The Quennel language pack is already installed on this computer. Click OK to close the setup.";
// Told when the extraction stopped before all files were in place.
const char* const kNotCompleted =
    "The installation did not complete. The client's configuration was not changed. Click OK to close the setup.";

// What the progress window asks of the installation.
class Progress : public ProgressEvents {
public:
    Progress(Installation& installation, UserMessages& messages) : m_installation(installation), m_messages(messages) {}

    bool Begin(HWND window, HWND progressBar) override {
        m_window = window;
        if (m_installation.AlreadyInstalled()) {
            // Nothing to install: say so, and let the user close the setup.
            m_messages.Tell(kAlreadyInstalled);
            return false;
        }
        m_installation.PrepareExtraction(progressBar);
        m_begun = true;
        if (m_installation.StartExtraction(window, kExtractionEnded)) return true;
        // No worker: the extraction ends here, and so does the window.
        Ended();
        return false;
    }

    // The worker has ended: the user learns here, over the progress window,
    // when the extraction stopped before all data was written.
    void Ended() override {
        m_screen = MonitorFromWindow(m_window, MONITOR_DEFAULTTOPRIMARY);
        m_installation.EndExtraction();
        if (!m_installation.AllDataWritten()) m_messages.Tell(kNotCompleted);
    }

    bool Begun() const { return m_begun; }
    // The screen the window was on when the extraction ended.
    HMONITOR Screen() const { return m_screen; }

private:
    Installation& m_installation;
    UserMessages& m_messages;
    HWND m_window = nullptr;
    HMONITOR m_screen = nullptr;
    bool m_begun = false;
};

// The client check of the wizard: a client that does not qualify is told,
// and the setup ends.
bool ClientQualifies(Installation& installation, UserMessages& messages) {
    if (installation.CheckClient() == ClientStatus::Qualifies) return true;
    messages.Tell(installation.ClientFailure());
    return false;
}

}  // namespace

RunOutcome RunWizardRoad(Installation& installation, InstallRun& run, UserMessages& messages, RunReport& report) {
    installation.ReadUserEntry();
    // The licence page's text is ready before the language page shows.
    WriteLicenseFile();
    LanguagePreset preset;
    if (!ClientQualifies(installation, messages) || !installation.ReadPreset(preset, true)) return RunOutcome::Closed;
    {
        LanguagePage page(run, preset, messages);
        page.RunModal();
        if (!page.InstallChosen()) return RunOutcome::Closed;
    }
    // The client is checked once more: it may have changed while the page was open.
    if (!ClientQualifies(installation, messages)) return RunOutcome::Closed;

    Progress progress(installation, messages);
    {
        MainWindow window(progress);
        window.RunModal();
    }
    if (!progress.Begun()) return RunOutcome::Closed;
    if (!installation.AllDataWritten()) {
        report.Client(run);
        report.Extraction(installation.Job());
        return RunOutcome::Failed;
    }

    installation.Complete();
    report.Client(run);
    report.Verdict(std::string());
    report.Extraction(installation.Job());
    report.Copies(run);

    // The tool and the runtime installer are looked for in the client folder.
    run.installPath = run.clientFolder;
    while (!run.installPath.empty() && (run.installPath.back() == '\\' || run.installPath.back() == '/')) {
        run.installPath.pop_back();
    }
    run.ombrixExePath = run.installPath + "\\" + ombrixExeName;
    run.runtimeSetupPath = run.installPath + "\\" + runtimeSetupName;
    FinishPage page(progress.Screen(), [&run] {
        if (run.runtimeMissing) OpenWithShell(run.runtimeSetupPath);
    });
    page.RunModal();
    // The tool is the user's own program: it runs with the user's rights, not
    // with the installer's. (The runtime installer needs the rights.)
    if (page.StartChosen()) StartAsSignedInUser(run.ombrixExePath);
    return installation.CompletedOutcome();
}
