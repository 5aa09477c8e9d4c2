// libFuzzer target over the client configuration rules: any text is read as a
// configuration file, checked, and updated; an update that is accepted must
// load back with the new list and the other values unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/config_document.h"
#include "core/config_rules.h"
#include "core/language_catalogue.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    tinyxml2::XMLDocument document;
    if (!ParseConfigText(text, document)) return 0;
    const ClientConfigValues values = ReadConfigValues(document);
    const std::string translator = ConfigValue(document, "Translator");
    UserDataPaths paths;
    ComposeUserDataPathsFor(values.versionType, values.productType, "C:/Users/Public", "C:\\x", paths);
    CompatibilityVerdict(values.versionType, values.productType, values.languages, "0", "0");
    SplitCodeList(values.languages);

    std::string bytes;
    if (!UpdatedConfigBytes(document, "3,5", bytes)) return 0;
    tinyxml2::XMLDocument again;
    if (!ParseConfigText(bytes, again) || ConfigValue(again, "Languages") != "3,5" ||
        ConfigValue(again, "VersionType") != values.versionType ||
        ConfigValue(again, "ProductType") != values.productType || ConfigValue(again, "Translator") != translator) {
        std::abort();  // an update that would be saved does not read back
    }
    return 0;
}
