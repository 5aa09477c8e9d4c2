#include "client/client_probe.h"

#include <cstdlib>
#include <cstring>

#include <tinyxml2.h>

#include "app/registry_text.h"
#include "app/shared_state.h"
#include "client/config_document.h"
#include "client/config_rules.h"
#include "client/edition_table.h"

namespace {

[[noreturn]] void TellAndEnd(const std::string& message) {
    AfxMessageBox(message);
    std::exit(0);
}

}  // namespace

std::string PublicUsersFolder() {
    char drive[MAX_PATH];
    std::memset(drive, 0, sizeof drive);
    const DWORD length = GetEnvironmentVariableA("SYSTEMDRIVE", drive, MAX_PATH);
    // A value that does not fit the buffer counts as unset.
    const bool set = length > 0 && length < MAX_PATH;
    return PublicUsersFolderFor(set, set ? std::string(drive, length) : std::string());
}

void ClientProbe::FindClient() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, clientUninstallKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        TellAndEnd(msgClientNotFound);
    }
    std::string text;
    if (!ReadRegistryText(key, "DisplayVersion", text)) AfxMessageBox(msgRegistryReadFailed);
    m_displayVersion = text;
    if (!ReadRegistryText(key, "InstallLocation", text)) AfxMessageBox(msgRegistryReadFailed);
    m_installLocation = text;
    if (const EditionRow* row = FindEditionRow(brandFlag, productTypeFlag)) {
        m_installLocation += row->editionRoot;
        clientFolder = m_installLocation + row->clientFolder;
    }
    RegCloseKey(key);
}

void ClientProbe::ReadReference() {
    installConfirmed = "1";
    FindClient();
    if (const EditionRow* row = FindEditionRow(brandFlag, productTypeFlag)) {
        benchmarkSetupPath = m_installLocation + row->benchmarkFile;
    }
    ReadClientConfig(benchmarkSetupPath);
    ComposeUserDataPaths();
}

void ClientProbe::CheckClient() {
    ReadReference();
    VerifyCompatibility();
}

void ClientProbe::ReadClientConfig(const std::string& path) {
    tinyxml2::XMLDocument document;
    if (document.LoadFile(path.c_str()) != tinyxml2::XML_SUCCESS) TellAndEnd(msgClientNotFound);
    const ClientConfigValues values = ReadConfigValues(document);
    m_clientLanguages = values.languages;
    m_versionType = values.versionType;
    m_productType = values.productType;
}

void ClientProbe::ComposeUserDataPaths() {
    UserDataPaths paths;
    if (ComposeUserDataPathsFor(m_versionType, m_productType, PublicUsersFolder(), m_installLocation, paths)) {
        publicSetupPath = paths.publicSetupPath;
        installSetupPath = paths.installSetupPath;
    }
}

void ClientProbe::VerifyCompatibility() {
    const Verdict verdict =
        CompatibilityVerdict(m_versionType, m_productType, m_clientLanguages, brandFlag, productTypeFlag);
    if (verdict != Verdict::Compatible) TellAndEnd(VerdictMessage(verdict));
}

std::string ClientProbe::ReadClientLanguages() {
    ReadReference();
    return m_clientLanguages;
}

std::string ClientProbe::ReadTranslator() {
    for (const std::string* path : {&publicSetupPath, &installSetupPath, &benchmarkSetupPath}) {
        tinyxml2::XMLDocument document;
        if (document.LoadFile(path->c_str()) == tinyxml2::XML_SUCCESS) {
            m_translator = ConfigValue(document, "Translator");
            break;
        }
    }
    return m_translator;
}
