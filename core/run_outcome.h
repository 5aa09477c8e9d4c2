// How a run of the installer ended, and the exit status that tells it to the
// program that started the installer.
#pragma once

#include <string>

// The road the run takes, chosen by the command line.
enum class Road { Wizard, Silent, Quiet, Check, Uninstall };

enum class RunOutcome {
    Installed,           // everything written ("/check": the languages are there)
    CopiesNotUpdated,    // installed, but a configuration copy could not be updated
    NotInstalledYet,     // "/check": a configuration copy lacks the languages
    Closed,              // the wizard was closed, or ended, before installing
    HelpShown,           // "/?" or "/help"
    BadCommandLine,      // nothing was done
    AlreadyRunning,      // another instance holds the installer's mutex
    ToolRunning,         // "/quiet" found the client's tool running and did not stop it
    ClientMissing,       // no client, or its reference configuration does not load
    ClientIncompatible,  // the client does not accept language packs
    Failed,              // working files, library, archive or extraction; a removal left undone
    Removed,             // "/uninstall": removed, or nothing to remove
    NobodyToAnswer,      // the wizard, where no one can answer a window: nothing done
};

// Exit statuses with Windows Installer's meaning where one fits.
constexpr int kExitSuccess = 0;
constexpr int kExitNotInstalledYet = 1;
constexpr int kExitCopiesNotUpdated = 5;         // ERROR_ACCESS_DENIED
constexpr int kExitBadCommandLine = 87;          // ERROR_INVALID_PARAMETER
constexpr int kExitToolRunning = 170;            // ERROR_BUSY
constexpr int kExitNobodyToAnswer = 1602;        // ERROR_INSTALL_USEREXIT: nobody there to go on
constexpr int kExitInstallFailure = 1603;        // ERROR_INSTALL_FAILURE
constexpr int kExitClientMissing = 1605;         // ERROR_UNKNOWN_PRODUCT
constexpr int kExitAlreadyRunning = 1618;        // ERROR_INSTALL_ALREADY_RUNNING
constexpr int kExitClientIncompatible = 1642;    // ERROR_PATCH_TARGET_NOT_FOUND

// The exit status of an outcome on a road. "/quiet", "/check" and
// "/uninstall" tell every outcome by its own status; the wizard and "/silent", which tell the user in
// boxes, end with 0, but for a bad command line and, on "/silent", a failed
// installation.
int ExitStatus(RunOutcome outcome, Road road);

// The outcome in a few words, for the log.
std::string DescribeOutcome(RunOutcome outcome);

// What became of one configuration copy at the completion step.
enum class CopyUpdate {
    NotRun,          // the completion step did not reach it
    Updated,
    Missing,         // no file at the path: nothing to update
    Unreadable,      // there, but held by another program or denied
    NotLoadable,     // not a document the installer can read: left alone
    NoLanguageList,  // no language list: left alone
    Unprintable,     // its new text would not read back as written: left alone
    NotWritable,     // read-only, held by another program or denied
    WriteFailed,     // the new text could not be written
};

// A copy that exists and should carry the languages, but does not.
bool CopyNotUpdated(CopyUpdate update);

// "updated", "skipped, ..." or "could not be updated, ...", for the log.
std::string DescribeCopyUpdate(CopyUpdate update);
