#include "core/preset.h"

#include "core/config_rules.h"
#include "core/language_catalogue.h"

LanguagePreset ComputePreset(const std::string& clientLanguages, const std::string& translator) {
    LanguagePreset preset;
    const std::vector<std::string> items = SplitCodeList(clientLanguages);
    int inList[kLanguageCount] = {};
    for (const std::string& item : items) {
        if (const LanguageEntry* entry = FindLanguageByCode(item)) inList[entry->position - 1] = 1;
    }
    const int current = DecimalValue(translator);
    if (const LanguageEntry* entry = FindLanguageByCode(std::to_string(current))) preset.disabled = entry->position - 1;

    preset.selectAll = (items.size() == 1 && items[0] == "0") || items.size() == 32;
    for (int i = 0; i < kLanguageCount; ++i) {
        preset.checked[i] = preset.selectAll ? 1 : inList[i];
        preset.flags[i] = preset.checked[i];
    }
    return preset;
}

LanguagePreset ComputePresetForChoice(const std::string& chosenCodes, const std::string& translator) {
    LanguagePreset preset = ComputePreset(std::string(), translator);
    int chosen = 0;
    for (int i = 0; i < kLanguageCount; ++i) preset.checked[i] = 0;
    for (const std::string& item : SplitCodeList(chosenCodes)) {
        if (const LanguageEntry* entry = FindLanguageByCode(item)) {
            chosen += preset.checked[entry->position - 1] == 0;
            preset.checked[entry->position - 1] = 1;
        }
    }
    if (preset.disabled >= 0 && preset.checked[preset.disabled] == 0) {
        preset.checked[preset.disabled] = 1;
        ++chosen;
    }
    preset.selectAll = chosen == kLanguageCount;
    for (int i = 0; i < kLanguageCount; ++i) preset.flags[i] = preset.checked[i];
    return preset;
}

std::string CommandLineCodes(const std::string& chosenCodes, bool addToClientList, const std::string& clientLanguages) {
    int flags[kLanguageCount] = {};
    if (addToClientList) {
        const LanguagePreset listed = ComputePreset(clientLanguages, std::string());
        for (int i = 0; i < kLanguageCount; ++i) flags[i] = listed.checked[i];
    }
    for (const std::string& item : SplitCodeList(chosenCodes)) {
        if (const LanguageEntry* entry = FindLanguageByCode(item)) flags[entry->position - 1] = 1;
    }
    return BuildSelectedCodes(flags);
}

void ApplySelectAll(bool ticked, const bool enabled[kLanguageCount], int checked[kLanguageCount],
                    int flags[kLanguageCount]) {
    for (int i = 0; i < kLanguageCount; ++i) {
        if (ticked) {
            checked[i] = 1;
            flags[i] = 1;
        } else if (enabled[i]) {
            checked[i] = 0;
            flags[i] = 0;
        }
    }
}

std::string TakeOverBoxes(const int checked[kLanguageCount], int flags[kLanguageCount]) {
    for (int i = 0; i < kLanguageCount; ++i) flags[i] = checked[i] == 1 ? 1 : 0;
    return BuildSelectedCodes(flags);
}
