// The client checks: discovery of the installed client through the registry,
// reading of its reference configuration and the compatibility rules.
#pragma once

#include <string>

#include "core/config_rules.h"
#include "core/install_run.h"

// The folder of the public users' files: SYSTEMDRIVE followed by
// "/Users/Public".
std::string PublicUsersFolder();

// What a client check found.
enum class ClientStatus {
    Qualifies,      // found, and it accepts language packs
    NotFound,       // no registry entry, or no reference configuration that loads
    NotCompatible,  // found, but the compatibility rules turn it down (see Verdict())
};

// The installer's own entry below HKEY_CURRENT_USER, at the client's
// Uninstall key path.
struct UserEntry {
    std::string productGuid;   // empty when absent or unreadable
    int unreadableValues = 0;  // values of a present key that could not be read
};

// Completes the run's client Uninstall key path with the registry root of
// the running system (once per run, before any client check) and reads the
// installer's own entry there.
UserEntry ReadUserEntry(InstallRun& run);

// One client check, filling in the run's client paths. Nothing here talks to
// the user: the caller tells what the results say.
class ClientProbe {
public:
    explicit ClientProbe(InstallRun& run) : m_run(run) {}

    // Finds the client's registry entry and folders; false when there is no entry.
    bool FindClient();

    // The full check.
    ClientStatus Check();

    // Steps of the check.
    bool ReadClientConfig(const std::string& path);
    void ComposeUserDataPaths();

    // The client's language list: the check without its rules. NotFound when
    // the client is not found; Qualifies otherwise.
    ClientStatus ReadClientLanguages(std::string& languages);

    // "Translator" of the first configuration copy that loads (public, install,
    // reference); empty when none loads.
    std::string ReadTranslator();

    // The rules' verdict of the last full check (Compatible until one ran).
    Verdict RulesVerdict() const { return m_verdict; }
    // Registry values of the client's entry that could not be read so far
    // (each is told "Searching related registry information failed.").
    int UnreadableValues() const { return m_unreadableValues; }

    std::string m_installLocation;
    std::string m_displayVersion;
    std::string m_clientLanguages;
    std::string m_versionType;
    std::string m_productType;

private:
    // Discovery and the reference configuration, before the rules.
    ClientStatus ReadReference();

    InstallRun& m_run;
    Verdict m_verdict = Verdict::Compatible;
    int m_unreadableValues = 0;
};
