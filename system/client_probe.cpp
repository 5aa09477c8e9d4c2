#include "system/client_probe.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstring>

#include <tinyxml2.h>

#include "system/registry_text.h"
#include "system/scoped.h"
#include "core/shared_state.h"
#include "core/config_document.h"
#include "core/config_rules.h"
#include "core/edition_table.h"

std::string PublicUsersFolder() {
    char drive[MAX_PATH];
    std::memset(drive, 0, sizeof drive);
    const DWORD length = GetEnvironmentVariableA("SYSTEMDRIVE", drive, MAX_PATH);
    // A value that does not fit the buffer counts as unset.
    const bool set = length > 0 && length < MAX_PATH;
    return PublicUsersFolderFor(set, set ? std::string(drive, length) : std::string());
}

bool ClientProbe::FindClient() {
    ScopedKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, m_run.clientUninstallKey.c_str(), 0, KEY_READ, key.out()) != ERROR_SUCCESS) {
        m_failure = msgClientNotFound;
        return false;
    }
    std::string text;
    if (!ReadRegistryText(key.get(), "DisplayVersion", text)) m_messages.Tell(msgRegistryReadFailed);
    m_displayVersion = text;
    if (!ReadRegistryText(key.get(), "InstallLocation", text)) m_messages.Tell(msgRegistryReadFailed);
    m_installLocation = text;
    if (const EditionRow* row = FindEditionRow(brandFlag, productTypeFlag)) {
        m_installLocation += row->editionRoot;
        m_run.clientFolder = m_installLocation + row->clientFolder;
    }
    return true;
}

bool ClientProbe::ReadReference() {
    m_run.installConfirmed = "1";
    if (!FindClient()) return false;
    if (const EditionRow* row = FindEditionRow(brandFlag, productTypeFlag)) {
        m_run.benchmarkSetupPath = m_installLocation + row->benchmarkFile;
    }
    if (!ReadClientConfig(m_run.benchmarkSetupPath)) return false;
    ComposeUserDataPaths();
    return true;
}

bool ClientProbe::CheckClient() { return ReadReference() && VerifyCompatibility(); }

bool ClientProbe::ReadClientConfig(const std::string& path) {
    tinyxml2::XMLDocument document;
    if (document.LoadFile(path.c_str()) != tinyxml2::XML_SUCCESS) {
        m_failure = msgClientNotFound;
        return false;
    }
    const ClientConfigValues values = ReadConfigValues(document);
    m_clientLanguages = values.languages;
    m_versionType = values.versionType;
    m_productType = values.productType;
    return true;
}

void ClientProbe::ComposeUserDataPaths() {
    UserDataPaths paths;
    if (ComposeUserDataPathsFor(m_versionType, m_productType, PublicUsersFolder(), m_installLocation, paths)) {
        m_run.publicSetupPath = paths.publicSetupPath;
        m_run.installSetupPath = paths.installSetupPath;
    }
}

bool ClientProbe::VerifyCompatibility() {
    const Verdict verdict =
        CompatibilityVerdict(m_versionType, m_productType, m_clientLanguages, brandFlag, productTypeFlag);
    if (verdict == Verdict::Compatible) return true;
    m_failure = VerdictMessage(verdict);
    return false;
}

std::string ClientProbe::ReadClientLanguages() {
    if (!ReadReference()) return std::string();
    return m_clientLanguages;
}

std::string ClientProbe::ReadTranslator() {
    for (const std::string* path : {&m_run.publicSetupPath, &m_run.installSetupPath, &m_run.benchmarkSetupPath}) {
        tinyxml2::XMLDocument document;
        if (document.LoadFile(path->c_str()) == tinyxml2::XML_SUCCESS) {
            m_translator = ConfigValue(document, "Translator");
            break;
        }
    }
    return m_translator;
}
