#include "core/run_outcome.h"

int ExitStatus(RunOutcome outcome, Road road) {
    if (outcome == RunOutcome::BadCommandLine) return kExitBadCommandLine;
    if (outcome == RunOutcome::NobodyToAnswer) return kExitNobodyToAnswer;
    if (road == Road::Wizard) return kExitSuccess;
    if (road == Road::Silent) return outcome == RunOutcome::Failed ? kExitInstallFailure : kExitSuccess;
    switch (outcome) {
        case RunOutcome::Installed:
        case RunOutcome::Removed:
        case RunOutcome::Closed:
        case RunOutcome::HelpShown:
            return kExitSuccess;
        case RunOutcome::NotInstalledYet:
            return kExitNotInstalledYet;
        case RunOutcome::CopiesNotUpdated:
            return kExitCopiesNotUpdated;
        case RunOutcome::BadCommandLine:
            return kExitBadCommandLine;
        case RunOutcome::ToolRunning:
            return kExitToolRunning;
        case RunOutcome::Failed:
            return kExitInstallFailure;
        case RunOutcome::ClientMissing:
            return kExitClientMissing;
        case RunOutcome::AlreadyRunning:
            return kExitAlreadyRunning;
        case RunOutcome::ClientIncompatible:
            return kExitClientIncompatible;
        case RunOutcome::NobodyToAnswer:
            return kExitNobodyToAnswer;
    }
    return kExitInstallFailure;
}

std::string DescribeOutcome(RunOutcome outcome) {
    switch (outcome) {
        case RunOutcome::Installed: return "installed";
        case RunOutcome::CopiesNotUpdated: return "installed, but a configuration copy could not be updated";
        case RunOutcome::NotInstalledYet: return "not installed yet";
        case RunOutcome::Closed: return "ended without installing";
        case RunOutcome::HelpShown: return "help shown";
        case RunOutcome::BadCommandLine: return "bad command line, nothing done";
        case RunOutcome::AlreadyRunning: return "another instance of the setup is running, nothing done";
        case RunOutcome::ToolRunning: return "the client's tool is running, nothing changed";
        case RunOutcome::ClientMissing: return "no client installed";
        case RunOutcome::ClientIncompatible: return "the client does not accept language packs";
        case RunOutcome::Failed: return "the installation failed";
        case RunOutcome::Removed: return "removed";
        case RunOutcome::NobodyToAnswer: return "nobody can answer here: the wizard was not shown, nothing done";
    }
    return "unknown";
}

bool CopyNotUpdated(CopyUpdate update) {
    return update == CopyUpdate::Unreadable || update == CopyUpdate::Unprintable || update == CopyUpdate::NotWritable ||
           update == CopyUpdate::WriteFailed;
}

std::string DescribeCopyUpdate(CopyUpdate update) {
    switch (update) {
        case CopyUpdate::NotRun: return "not reached";
        case CopyUpdate::Updated: return "updated";
        case CopyUpdate::Missing: return "skipped, the file does not exist";
        case CopyUpdate::Unreadable:
            return "could not be updated, the file could not be read (held by another program or denied)";
        case CopyUpdate::NotLoadable: return "skipped, the file does not load as a configuration document";
        case CopyUpdate::NoLanguageList: return "skipped, the file has no language list";
        case CopyUpdate::Unprintable: return "could not be updated, its new text would not read back as written";
        case CopyUpdate::NotWritable:
            return "could not be updated, the file is read-only, held by another program or not writable";
        case CopyUpdate::WriteFailed: return "could not be updated, writing the new text failed";
    }
    return "unknown";
}
