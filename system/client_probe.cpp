#include "system/client_probe.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstring>

#include <tinyxml2.h>

#include "core/config_document.h"
#include "core/edition_table.h"
#include "core/shared_state.h"
#include "core/startup_rules.h"
#include "system/registry_text.h"
#include "system/scoped.h"

std::string PublicUsersFolder() {
    char drive[MAX_PATH];
    std::memset(drive, 0, sizeof drive);
    const DWORD length = GetEnvironmentVariableA("SYSTEMDRIVE", drive, MAX_PATH);
    // A value that does not fit the buffer counts as unset.
    const bool set = length > 0 && length < MAX_PATH;
    return PublicUsersFolderFor(set, set ? std::string(drive, length) : std::string());
}

UserEntry ReadUserEntry(InstallRun& run) {
    char systemWow64[MAX_PATH];
    std::memset(systemWow64, 0, sizeof systemWow64);
    const bool is64BitSystem = GetSystemWow64DirectoryA(systemWow64, MAX_PATH) != 0;
    run.clientUninstallKey = CompleteUninstallKey(is64BitSystem, run.clientUninstallKey);

    UserEntry entry;
    ScopedKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, run.clientUninstallKey.c_str(), 0, KEY_READ, key.out()) != ERROR_SUCCESS) {
        return entry;
    }
    std::string text;
    if (!ReadRegistryText(key.get(), "ProductGuid", text)) ++entry.unreadableValues;
    entry.productGuid = text;
    // Read as the client's own entry is, though only the product code decides.
    if (!ReadRegistryText(key.get(), "DisplayVersion", text)) ++entry.unreadableValues;
    if (!ReadRegistryText(key.get(), "installpath", text)) ++entry.unreadableValues;
    return entry;
}

bool ClientProbe::FindClient() {
    ScopedKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, m_run.clientUninstallKey.c_str(), 0, KEY_READ, key.out()) != ERROR_SUCCESS) {
        return false;
    }
    std::string text;
    if (!ReadRegistryText(key.get(), "DisplayVersion", text)) ++m_unreadableValues;
    m_displayVersion = text;
    if (!ReadRegistryText(key.get(), "InstallLocation", text)) ++m_unreadableValues;
    m_installLocation = text;
    if (const EditionRow* row = FindEditionRow(brandFlag, productTypeFlag)) {
        m_installLocation += row->editionRoot;
        m_run.clientFolder = m_installLocation + row->clientFolder;
    }
    return true;
}

ClientStatus ClientProbe::ReadReference() {
    if (!FindClient()) return ClientStatus::NotFound;
    if (const EditionRow* row = FindEditionRow(brandFlag, productTypeFlag)) {
        m_run.benchmarkSetupPath = m_installLocation + row->benchmarkFile;
    }
    if (!ReadClientConfig(m_run.benchmarkSetupPath)) return ClientStatus::NotFound;
    ComposeUserDataPaths();
    return ClientStatus::Qualifies;
}

ClientStatus ClientProbe::Check() {
    const ClientStatus found = ReadReference();
    if (found != ClientStatus::Qualifies) return found;
    m_verdict = CompatibilityVerdict(m_versionType, m_productType, m_clientLanguages, brandFlag, productTypeFlag);
    return m_verdict == Verdict::Compatible ? ClientStatus::Qualifies : ClientStatus::NotCompatible;
}

bool ClientProbe::ReadClientConfig(const std::string& path) {
    tinyxml2::XMLDocument document;
    if (document.LoadFile(path.c_str()) != tinyxml2::XML_SUCCESS) return false;
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

ClientStatus ClientProbe::ReadClientLanguages(std::string& languages) {
    const ClientStatus found = ReadReference();
    languages = found == ClientStatus::Qualifies ? m_clientLanguages : std::string();
    return found;
}

std::string ClientProbe::ReadTranslator() {
    for (const std::string* path : {&m_run.publicSetupPath, &m_run.installSetupPath, &m_run.benchmarkSetupPath}) {
        tinyxml2::XMLDocument document;
        if (document.LoadFile(path->c_str()) == tinyxml2::XML_SUCCESS) return ConfigValue(document, "Translator");
    }
    return std::string();
}
