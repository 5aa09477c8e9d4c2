#include "languages/catalogue.h"

const LanguageEntry languageCatalogue[kLanguageCount] = {
    {1, "0", 1007, 229, "English", "en", "English"},
    {2, "2", 1008, 226, "Greek", "gr", "Greek"},
    {3, "3", 1009, 209, "Dutch", "du", "Dutch"},
    {4, "4", 1011, 210, "Czech", "cz", "Czech"},
    {5, "5", 1064, 220, "Slovak", "sl", "Slovak"},
    {6, "6", 1065, 205, "French", "fr", "French"},
    {7, "7", 1066, 228, "Italian", "it", "Italian"},
    {8, "8", 1067, 204, "Russian", "ru", "Russian"},
    {9, "9", 1068, 208, "Korean", "ko", "Korean"},
    {10, "10", 1069, 222, "Thai", "th", "Thai"},
    {11, "11", 1070, 206, "zh_TW", "TW", "Traditional Chinese"},
    {12, "14", 1071, 200, "Bulgarian", "bu", "Bulgarian"},
    {13, "15", 1072, 216, "Portuguese", "pt", "Portuguese"},
    {14, "16", 1073, 224, "Spainish", "sp", "Spanish"},
    {15, "17", 1074, 201, "Polish", "po", "Polish"},
    {16, "18", 1075, 227, "Hungarian", "hg", "Hungarian"},
    {17, "19", 1076, 203, "Deutsch", "gm", "German"},
    {18, "20", 1077, 211, "Croatian", "cr", "Croatian"},
    {19, "21", 1078, 207, "Finnish", "fi", "Finnish"},
    {20, "22", 1079, 230, "Vietnamese", "vn", "Vietnamese"},
    {21, "23", 1080, 217, "Japanese", "ja", "Japanese"},
    {22, "24", 1083, 223, "Turkish", "tu", "Turkish"},
    {23, "25", 1084, 202, "Danish", "da", "Danish"},
    {24, "26", 1085, 215, "Norwegian", "nw", "Norwegian"},
    {25, "27", 1086, 213, "Romanian", "ro", "Romanian"},
    {26, "28", 1087, 221, "Slovenian", "sv", "Slovenian"},
    {27, "29", 1088, 219, "Serbian", "sr", "Serbian"},
    {28, "31", 1089, 218, "Swedish", "se", "Swedish"},
    {29, "32", 1090, 212, "Lithuanian", "lt", "Lithuanian"},
    {30, "33", 1091, 199, "PortugueseBrazil", "pb", "Brazilian Portuguese"},
    {31, "34", 1092, 214, "Arabic", "ar", "Arabic (Saudi Arabia)"},
    {32, "35", 1093, 233, "Ukrainian", "uk", "Ukrainian"},
    {33, "36", 1097, 235, "Indonesia", "id", "Indonesian"},
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
