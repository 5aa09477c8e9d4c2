// The client checks: discovery of the installed client through the registry,
// reading of its reference configuration and the compatibility rules.
#pragma once

#include <string>

#include "core/install_run.h"
#include "core/shared_state.h"
#include "core/user_messages.h"

// The folder of the public users' files: SYSTEMDRIVE followed by
// "/Users/Public".
std::string PublicUsersFolder();

// One client check, filling in the run's client paths. What the registry could not give is told on the way
// ("Searching related registry information failed.", once per value); a
// client that does not qualify is reported by the result, with the message
// that says why, and the caller ends the installation.
class ClientProbe {
public:
    ClientProbe(InstallRun& run, UserMessages& messages) : m_run(run), m_messages(messages) {}

    // Finds the client's registry entry and folders; false when there is no
    // entry (Failure() then holds the not-found message).
    bool FindClient();

    // The full check; true when the client qualifies, otherwise Failure()
    // says why.
    bool CheckClient();

    // Steps of the check; each false step leaves its message in Failure().
    bool ReadClientConfig(const std::string& path);
    void ComposeUserDataPaths();
    bool VerifyCompatibility();

    // The client's language list: the check without its rules. Empty, with
    // Failure() set, when the client is not found.
    std::string ReadClientLanguages();

    // "Translator" of the first configuration copy that loads (public, install,
    // reference); unchanged, without a message, when none loads.
    std::string ReadTranslator();

    // Why the client does not qualify; empty while it does.
    const std::string& Failure() const { return m_failure; }
    // The failure is that no client was found (no registry entry, or no
    // reference configuration that loads), not that it does not qualify.
    bool ClientMissing() const { return m_failure == msgClientNotFound; }

    std::string m_installLocation;
    std::string m_displayVersion;
    std::string m_clientLanguages;
    std::string m_versionType;
    std::string m_productType;
    std::string m_translator;

private:
    // Steps 1 to 5 of the check.
    bool ReadReference();

    InstallRun& m_run;
    UserMessages& m_messages;
    std::string m_failure;
};
