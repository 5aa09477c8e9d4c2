// Reading and updating a loaded client configuration document (tinyxml2).
// The paths below the root element, whatever its name: "Languages"/"Value",
// "VersionType"/"Value", "ProductType"/"Value", "Translator"/"Value",
// "MultilingualInstallation"/"Value"; only the first child of each name counts.
#pragma once

#include <string>

#include <tinyxml2.h>

// Text of an element: the text of its first child node when that node is
// text or CDATA; empty otherwise, and for a missing element.
std::string ElementText(const tinyxml2::XMLElement* element);

// Text of <root>/<name>/<Value>; empty when any of them is missing.
std::string ConfigValue(const tinyxml2::XMLDocument& document, const char* name);

struct ClientConfigValues {
    std::string languages;
    std::string versionType;
    std::string productType;
};
ClientConfigValues ReadConfigValues(const tinyxml2::XMLDocument& document);

// Sets the language list to the codes and, where the document has
// "MultilingualInstallation"/"Value", that value to mark ("true" when
// installing); nothing else changes. Returns false, changing nothing, when
// the document lacks the root, "Languages" or its "Value".
bool UpdateConfigDocument(tinyxml2::XMLDocument& document, const std::string& codes, const char* mark = "true");

// The bytes to save for a loaded document: updated as above and printed by
// the library's default printing. Returns false when the document lacks the
// language list, or when the printed text would not load back with the new
// list and mark and the other values unchanged (the library accepts some
// documents it cannot print faithfully); nothing is to be saved then.
bool UpdatedConfigBytes(tinyxml2::XMLDocument& document, const std::string& codes, std::string& bytes,
                        const char* mark = "true");

// Whether a document already records these codes (a codes text as written
// by the installer): its language list holds every one of them and, where it
// has the multilingual mark, the mark is "true".
enum class LanguageListState { NoLanguageList, Lists, Lacks };
LanguageListState CheckLanguageList(const tinyxml2::XMLDocument& document, const std::string& codes);

// The document as the library prints it by default (indented, not compact).
std::string PrintDocument(const tinyxml2::XMLDocument& document);

// A configuration text: parsed from memory the way a file is loaded (a
// default document: entities processed, whitespace preserved).
bool ParseConfigText(const std::string& text, tinyxml2::XMLDocument& document);
