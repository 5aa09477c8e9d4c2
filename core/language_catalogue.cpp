#include "core/language_catalogue.h"

#include "resources/resource.h"

const LanguageEntry languageCatalogue[kLanguageCount] = {
    {1, "0", IDC_LANGUAGE_ENGLISH, IDB_LABEL_ENGLISH, "English", "en", "English"},
    {2, "2", IDC_LANGUAGE_GREEK, IDB_LABEL_GREEK, "Greek", "gr", "Greek"},
    {3, "3", IDC_LANGUAGE_DUTCH, IDB_LABEL_DUTCH, "Dutch", "du", "Dutch"},
    {4, "4", IDC_LANGUAGE_CZECH, IDB_LABEL_CZECH, "Czech", "cz", "Czech"},
    {5, "5", IDC_LANGUAGE_SLOVAK, IDB_LABEL_SLOVAK, "Slovak", "sl", "Slovak"},
    {6, "6", IDC_LANGUAGE_FRENCH, IDB_LABEL_FRENCH, "French", "fr", "French"},
    {7, "7", IDC_LANGUAGE_ITALIAN, IDB_LABEL_ITALIAN, "Italian", "it", "Italian"},
    {8, "8", IDC_LANGUAGE_RUSSIAN, IDB_LABEL_RUSSIAN, "Russian", "ru", "Russian"},
    {9, "9", IDC_LANGUAGE_KOREAN, IDB_LABEL_KOREAN, "Korean", "ko", "Korean"},
    {10, "10", IDC_LANGUAGE_THAI, IDB_LABEL_THAI, "Thai", "th", "Thai"},
    {11, "11", IDC_LANGUAGE_TRADITIONAL_CHINESE, IDB_LABEL_TRADITIONAL_CHINESE, "zh_TW", "TW", "Traditional Chinese"},
    {12, "14", IDC_LANGUAGE_BULGARIAN, IDB_LABEL_BULGARIAN, "Bulgarian", "bu", "Bulgarian"},
    {13, "15", IDC_LANGUAGE_PORTUGUESE, IDB_LABEL_PORTUGUESE, "Portuguese", "pt", "Portuguese"},
    {14, "16", IDC_LANGUAGE_SPANISH, IDB_LABEL_SPANISH, "Spainish", "sp", "Spanish"},
    {15, "17", IDC_LANGUAGE_POLISH, IDB_LABEL_POLISH, "Polish", "po", "Polish"},
    {16, "18", IDC_LANGUAGE_HUNGARIAN, IDB_LABEL_HUNGARIAN, "Hungarian", "hg", "Hungarian"},
    {17, "19", IDC_LANGUAGE_GERMAN, IDB_LABEL_GERMAN, "Deutsch", "gm", "German"},
    {18, "20", IDC_LANGUAGE_CROATIAN, IDB_LABEL_CROATIAN, "Croatian", "cr", "Croatian"},
    {19, "21", IDC_LANGUAGE_FINNISH, IDB_LABEL_FINNISH, "Finnish", "fi", "Finnish"},
    {20, "22", IDC_LANGUAGE_VIETNAMESE, IDB_LABEL_VIETNAMESE, "Vietnamese", "vn", "Vietnamese"},
    {21, "23", IDC_LANGUAGE_JAPANESE, IDB_LABEL_JAPANESE, "Japanese", "ja", "Japanese"},
    {22, "24", IDC_LANGUAGE_TURKISH, IDB_LABEL_TURKISH, "Turkish", "tu", "Turkish"},
    {23, "25", IDC_LANGUAGE_DANISH, IDB_LABEL_DANISH, "Danish", "da", "Danish"},
    {24, "26", IDC_LANGUAGE_NORWEGIAN, IDB_LABEL_NORWEGIAN, "Norwegian", "nw", "Norwegian"},
    {25, "27", IDC_LANGUAGE_ROMANIAN, IDB_LABEL_ROMANIAN, "Romanian", "ro", "Romanian"},
    {26, "28", IDC_LANGUAGE_SLOVENIAN, IDB_LABEL_SLOVENIAN, "Slovenian", "sv", "Slovenian"},
    {27, "29", IDC_LANGUAGE_SERBIAN, IDB_LABEL_SERBIAN, "Serbian", "sr", "Serbian"},
    {28, "31", IDC_LANGUAGE_SWEDISH, IDB_LABEL_SWEDISH, "Swedish", "se", "Swedish"},
    {29, "32", IDC_LANGUAGE_LITHUANIAN, IDB_LABEL_LITHUANIAN, "Lithuanian", "lt", "Lithuanian"},
    {30, "33", IDC_LANGUAGE_BRAZILIAN_PORTUGUESE, IDB_LABEL_BRAZILIAN_PORTUGUESE, "PortugueseBrazil", "pb", "Brazilian Portuguese"},
    {31, "34", IDC_LANGUAGE_ARABIC_SAUDI_ARABIA, IDB_LABEL_ARABIC_SAUDI_ARABIA, "Arabic", "ar", "Arabic (Saudi Arabia)"},
    {32, "35", IDC_LANGUAGE_UKRAINIAN, IDB_LABEL_UKRAINIAN, "Ukrainian", "uk", "Ukrainian"},
    {33, "36", IDC_LANGUAGE_INDONESIAN, IDB_LABEL_INDONESIAN, "Indonesia", "id", "Indonesian"},
};

const LanguageEntry* FindLanguageByCode(const std::string& code) {
    for (const LanguageEntry& entry : languageCatalogue) {
        if (code == entry.code) return &entry;
    }
    return nullptr;
}

const LanguageEntry* FindLanguageByCheckBox(int checkBoxId) {
    for (const LanguageEntry& entry : languageCatalogue) {
        if (entry.checkBox == checkBoxId) return &entry;
    }
    return nullptr;
}

std::string BuildSelectedCodes(const int flags[kLanguageCount]) {
    std::string codes;
    for (int i = 0; i < kLanguageCount; ++i) {
        if (flags[i] == 1) {
            codes += languageCatalogue[i].code;
            codes += ",";
        }
    }
    if (!codes.empty()) codes.pop_back();
    return codes;
}

std::vector<std::string> SplitCodeList(const std::string& codes) {
    std::vector<std::string> items;
    std::string::size_type position = 0;
    for (;;) {
        const std::string::size_type comma = codes.find(',', position);
        if (comma == std::string::npos) break;
        if (comma > position) items.push_back(codes.substr(position, comma - position));
        position = comma + 1;
    }
    if (position < codes.size()) items.push_back(codes.substr(position));
    return items;
}
