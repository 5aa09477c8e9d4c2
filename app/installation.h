// One installation of the language pack: the client check, the choice of
// languages, the working files, the extraction and its completion. Every
// road (the wizard, "/silent", "/quiet", "/check", "/uninstall") drives the
// same object; only the road decides what the user sees.
#pragma once

#include <memory>
#include <string>

#include "app/run_report.h"
#include "core/install_run.h"
#include "core/preset.h"
#include "core/user_messages.h"
#include "framework/thread.h"
#include "system/client_probe.h"
#include "system/extraction.h"
#include "system/scoped.h"

class Installation {
public:
    Installation(InstallRun& run, UserMessages& messages, RunReport& report);
    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;

    // Reads the installer's own entry: once, before any client check.
    void ReadUserEntry();
    // The entry says the language pack is installed already.
    bool AlreadyInstalled() const;

    // A client check, which fills in the run's client paths. Registry values
    // that could not be read are told on the way; ClientFailure() says why a
    // client does not qualify.
    ClientStatus CheckClient();
    std::string ClientFailure() const;
    // The outcome of a client that does not qualify.
    static RunOutcome OutcomeOf(ClientStatus status);

    // The language page's starting state, from the client's list and current
    // language, or from the languages the command line chose; the run's
    // selection flags are set from it. False when the client's list is
    // needed and cannot be read (the user has been told).
    bool ReadPreset(LanguagePreset& preset, bool clientListNeeded);

    // Writes the working files and runs the counting pass; then waits for
    // the extraction's turn on this machine (handling the window's messages
    // meanwhile, where there is a progress bar). A pass that cannot run is told.
    void PrepareExtraction(HWND progressBar);
    // The extraction pass on this thread.
    void Extract();
    // The extraction pass on a worker thread, which posts this message to
    // the window when it has ended.
    bool StartExtraction(HWND window, unsigned message);
    // Waits for the worker (if any) and tells why the extraction could not run.
    void EndExtraction();

    // All the payload's data was written: the installation can be completed.
    bool AllDataWritten() const { return m_job.allDataWritten; }
    // Records the chosen languages in the client's configuration copies and
    // the receipt. Only after the extraction has ended.
    void Complete();
    // Installed, or installed with a copy that could not be updated.
    RunOutcome CompletedOutcome() const;

    const ExtractionJob& Job() const { return m_job; }

private:
    void TellUnreadable(int values);

    InstallRun& m_run;
    UserMessages& m_messages;
    RunReport& m_report;
    UserEntry m_entry;
    ClientStatus m_client = ClientStatus::NotFound;
    Verdict m_verdict = Verdict::Compatible;
    ExtractionJob m_job;
    std::unique_ptr<ExtractionTurn> m_turn;
    WorkerThread m_worker;  // last: a worker still running is waited for before the job goes
};
