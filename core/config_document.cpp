#include "core/config_document.h"

#include <algorithm>

#include "core/language_catalogue.h"

using tinyxml2::XMLDocument;
using tinyxml2::XMLElement;

std::string ElementText(const XMLElement* element) {
    // The first child node decides: a comment in front of the text makes the
    // text read as empty.
    if (element == nullptr) return std::string();
    const tinyxml2::XMLNode* first = element->FirstChild();
    if (first == nullptr || first->ToText() == nullptr) return std::string();
    return first->Value();
}

namespace {

const XMLElement* ValueElement(const XMLDocument& document, const char* name) {
    const XMLElement* root = document.FirstChildElement();
    if (root == nullptr) return nullptr;
    const XMLElement* setting = root->FirstChildElement(name);
    return setting == nullptr ? nullptr : setting->FirstChildElement("Value");
}

XMLElement* ValueElement(XMLDocument& document, const char* name) {
    return const_cast<XMLElement*>(ValueElement(static_cast<const XMLDocument&>(document), name));
}

}  // namespace

std::string ConfigValue(const XMLDocument& document, const char* name) {
    return ElementText(ValueElement(document, name));
}

ClientConfigValues ReadConfigValues(const XMLDocument& document) {
    ClientConfigValues values;
    values.languages = ConfigValue(document, "Languages");
    values.versionType = ConfigValue(document, "VersionType");
    values.productType = ConfigValue(document, "ProductType");
    return values;
}

bool UpdateConfigDocument(XMLDocument& document, const std::string& codes, const char* mark) {
    XMLElement* languages = ValueElement(document, "Languages");
    if (languages == nullptr) return false;
    // SetText replaces the text of a first text child, or puts a new text
    // node in front of the children.
    languages->SetText(codes.c_str());
    if (XMLElement* multilingual = ValueElement(document, "MultilingualInstallation")) {
        multilingual->SetText(mark);
    }
    return true;
}

bool UpdatedConfigBytes(XMLDocument& document, const std::string& codes, std::string& bytes, const char* mark) {
    const std::string versionType = ConfigValue(document, "VersionType");
    const std::string productType = ConfigValue(document, "ProductType");
    const std::string translator = ConfigValue(document, "Translator");
    const bool hasMark = ValueElement(document, "MultilingualInstallation") != nullptr;
    if (!UpdateConfigDocument(document, codes, mark)) return false;
    std::string printed = PrintDocument(document);

    XMLDocument reloaded;
    if (!ParseConfigText(printed, reloaded)) return false;
    if (ConfigValue(reloaded, "Languages") != codes || ConfigValue(reloaded, "VersionType") != versionType ||
        ConfigValue(reloaded, "ProductType") != productType || ConfigValue(reloaded, "Translator") != translator) {
        return false;
    }
    if (hasMark && ConfigValue(reloaded, "MultilingualInstallation") != mark) return false;
    bytes.swap(printed);
    return true;
}

LanguageListState CheckLanguageList(const XMLDocument& document, const std::string& codes) {
    if (ValueElement(document, "Languages") == nullptr) return LanguageListState::NoLanguageList;
    const std::vector<std::string> listed = SplitCodeList(ConfigValue(document, "Languages"));
    for (const std::string& code : SplitCodeList(codes)) {
        if (std::find(listed.begin(), listed.end(), code) == listed.end()) return LanguageListState::Lacks;
    }
    if (ValueElement(document, "MultilingualInstallation") != nullptr &&
        ConfigValue(document, "MultilingualInstallation") != "true") {
        return LanguageListState::Lacks;
    }
    return LanguageListState::Lists;
}

std::string PrintDocument(const XMLDocument& document) {
    tinyxml2::XMLPrinter printer(nullptr, false);
    document.Print(&printer);
    return std::string(printer.CStr(), static_cast<std::string::size_type>(printer.CStrSize() - 1));
}

bool ParseConfigText(const std::string& text, XMLDocument& document) {
    return document.Parse(text.data(), text.size()) == tinyxml2::XML_SUCCESS;
}
