#include "core/config_rules.h"

#include <climits>

#include "core/shared_state.h"
#include "core/language_catalogue.h"

int DecimalValue(const std::string& text) {
    std::string::size_type i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

std::string PublicUsersFolderFor(bool systemDriveSet, const std::string& systemDrive) {
    // '<' and '>' may not appear in a Windows path, so nothing loads from
    // below this folder and nothing is written there.
    if (!systemDriveSet) return "<SYSTEMDRIVE unset>/Users/Public";
    return systemDrive + "/Users/Public";
}

bool ComposeUserDataPathsFor(const std::string& versionType, const std::string& productType,
                             const std::string& publicUsersFolder, const std::string& editionRoot,
                             UserDataPaths& paths) {
    std::string prefix;
    switch (DecimalValue(versionType)) {
        case 0: prefix = "Kestrova "; break;
        case 1: prefix = "Palomind "; break;
        default: return false;
    }
    std::string part;
    switch (DecimalValue(productType)) {
        case 0: part = "Site/"; break;
        case 1: part = "AC/"; break;
        case 2: part = "VS/"; break;
        default: break;
    }
    paths.publicSetupPath = publicUsersFolder + "/" + prefix + part + "UserData/Framework.C/Setup.xml";
    paths.installSetupPath = editionRoot + "\\UserData\\Framework.C\\Setup.xml";
    return true;
}

Verdict CompatibilityVerdict(const std::string& versionType, const std::string& productType,
                             const std::string& clientLanguages, const std::string& brand,
                             const std::string& productTypeSetting) {
    if (versionType != brand) return Verdict::VersionTypeMismatch;
    if (productType != productTypeSetting) return Verdict::ProductTypeMismatch;
    for (const std::string& item : SplitCodeList(clientLanguages)) {
        if (item == "1") return Verdict::LanguageTypeMismatch;
    }
    return Verdict::Compatible;
}

const std::string& VerdictMessage(Verdict verdict) {
    static const std::string none;
    switch (verdict) {
        case Verdict::VersionTypeMismatch: return msgVersionTypeMismatch;
        case Verdict::ProductTypeMismatch: return msgProductTypeMismatch;
        case Verdict::LanguageTypeMismatch: return msgLanguageTypeMismatch;
        case Verdict::Compatible: break;
    }
    return none;
}
