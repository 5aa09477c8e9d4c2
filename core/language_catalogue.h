// The 33 languages the installer can switch on in the client: the numeric
// code the client's configuration lists, the check box that offers the
// language, the picture that labels it and the folder of its translation
// files in the payload. All language logic goes through this table.
#pragma once

#include <string>
#include <vector>

#include "core/shared_state.h"

struct LanguageEntry {
    int position;               // 1 to 33, place in the catalogue
    const char* code;           // decimal text, "0" to "36"
    int checkBox;               // control ID on the language page
    int label;                  // bitmap resource shown by the check box
    const char* payloadFolder;  // folder under client\translations\ and server\translations\ .
    const char* fileTag;        // suffix of the translation file names in that folder
    const char* name;           // the language's name in English, the check box's text
};

extern const LanguageEntry languageCatalogue[kLanguageCount];

// Look-ups: exact, case-sensitive text equality with the code; the check box's
// control ID. nullptr when no entry matches.
const LanguageEntry* FindLanguageByCode(const std::string& code);
const LanguageEntry* FindLanguageByCheckBox(int checkBoxId);

// Codes of the entries whose flag is 1, in catalogue order, joined by ","
// with no spaces and no trailing comma. Any other flag value is unselected.
std::string BuildSelectedCodes(const int flags[kLanguageCount]);

// Items of a codes text, in order: split at every comma, empty items dropped,
// nothing trimmed.
std::vector<std::string> SplitCodeList(const std::string& codes);
