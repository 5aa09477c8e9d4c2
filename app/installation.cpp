#include "app/installation.h"

#include "app/receipt_keeper.h"
#include "core/config_rules.h"
#include "core/language_catalogue.h"
#include "core/shared_state.h"
#include "core/startup_rules.h"
#include "system/config_update.h"
#include "system/start_program.h"
#include "system/working_files.h"

Installation::Installation(InstallRun& run, UserMessages& messages, RunReport& report)
    : m_run(run), m_messages(messages), m_report(report) {
    m_job.run = &run;
}

void Installation::TellUnreadable(int values) {
    for (int i = 0; i < values; ++i) m_messages.Tell(msgRegistryReadFailed);
}

void Installation::ReadUserEntry() {
    m_entry = ::ReadUserEntry(m_run);
    TellUnreadable(m_entry.unreadableValues);
}

bool Installation::AlreadyInstalled() const { return !NeedsInstallFor(m_entry.productGuid); }

ClientStatus Installation::CheckClient() {
    ClientProbe probe(m_run);
    m_client = probe.Check();
    m_verdict = probe.RulesVerdict();
    TellUnreadable(probe.UnreadableValues());
    return m_client;
}

std::string Installation::ClientFailure() const {
    switch (m_client) {
        case ClientStatus::Qualifies: return std::string();
        case ClientStatus::NotFound: return msgClientNotFound;
        case ClientStatus::NotCompatible: return VerdictMessage(m_verdict);
    }
    return std::string();
}

RunOutcome Installation::OutcomeOf(ClientStatus status) {
    return status == ClientStatus::NotFound ? RunOutcome::ClientMissing : RunOutcome::ClientIncompatible;
}

bool Installation::ReadPreset(LanguagePreset& preset, bool clientListNeeded) {
    ClientProbe reader(m_run);
    std::string languages;
    const ClientStatus found = reader.ReadClientLanguages(languages);
    TellUnreadable(reader.UnreadableValues());
    if (found != ClientStatus::Qualifies && clientListNeeded) {
        m_messages.Tell(msgClientNotFound);
        return false;
    }
    const std::string translator = reader.ReadTranslator();
    // Languages chosen on the command line take the place of the client's
    // list, which they may be added to.
    preset = m_run.presetCodes.empty()
                 ? ComputePreset(languages, translator)
                 : ComputePresetForChoice(CommandLineCodes(m_run.presetCodes, m_run.addToClientList, languages),
                                          translator);
    for (int i = 0; i < kLanguageCount; ++i) m_run.selectionFlags[i] = preset.flags[i];
    return true;
}

namespace {

void TellPassEnd(UserMessages& messages, ExtractionEnd end) {
    if (end == ExtractionEnd::LibraryNotLoaded) messages.Tell(msgLoadLibraryFailed);
    if (end == ExtractionEnd::ArchiveNotOpened) messages.Tell(msgArchiveOpenFailed);
}

}  // namespace

void Installation::PrepareExtraction(HWND progressBar) {
    m_job.archiveFile = PrepareArchiveFile();
    m_job.uninstallerFileBytes = WriteUninstallerFile();
    m_job.progressBar = progressBar;
    m_job.destinationFolder = m_run.clientFolder;
    TellPassEnd(m_messages, m_job.CountArchive(TempFolder() + archiveFileName));
    m_turn = std::make_unique<ExtractionTurn>(progressBar != nullptr);
    m_run.runtimeMissing = !RuntimeProductInstalled();
}

void Installation::Extract() { ExtractArchive(m_job); }

bool Installation::StartExtraction(HWND window, unsigned message) {
    // The worker touches nothing but the job until it posts its end.
    return m_worker.Start([this, window, message] {
        ExtractArchive(m_job);
        PostMessageA(window, message, 0, 0);
    });
}

void Installation::EndExtraction() {
    m_worker.Join();
    TellPassEnd(m_messages, m_job.end);
}

void Installation::Complete() {
    m_run.selectedCodes = BuildSelectedCodes(m_run.selectionFlags);
    ReceiptKeeper receipt(m_run);
    receipt.BeforeCopies(m_run, m_job);
    UpdateClientConfigCopies(m_run);
    m_report.Line("receipt: " + receipt.PathForLog() +
                  (receipt.AfterCopies(m_run, m_job) ? " written" : " could not be written"));
    m_run.completed = true;
    // The extraction and its completion are one turn.
    m_turn.reset();
}

RunOutcome Installation::CompletedOutcome() const {
    for (CopyUpdate update : m_run.copyUpdates) {
        if (CopyNotUpdated(update)) return RunOutcome::CopiesNotUpdated;
    }
    return RunOutcome::Installed;
}
