// The rules of the language page over its 33 boxes and the selection flags,
// free of any window: the preset from the client's texts, "Select All", and
// the take-over of the boxes by "Install Now".
#pragma once

#include <string>

#include "core/shared_state.h"

struct LanguagePreset {
    bool selectAll = false;       // "Select All" starts ticked
    int disabled = -1;            // catalogue index of the box disabled for the page's life, -1 for none
    int checked[kLanguageCount];  // the boxes' starting check states (1 checked)
    int flags[kLanguageCount];    // the selection flags the page starts with
};

// The preset for the client's language list and its current language (the
// "Translator" text, read as a decimal number).
LanguagePreset ComputePreset(const std::string& clientLanguages, const std::string& translator);

// The preset for languages chosen on the command line: exactly their boxes
// checked, and the box of the client's current language, which is disabled
// as above and checked (a choice never drops the language the client is
// shown in); "Select All" ticked only when all are checked.
LanguagePreset ComputePresetForChoice(const std::string& chosenCodes, const std::string& translator);

// The codes a command-line choice stands for: the chosen codes, joined by
// the client's own list when they are added to it ("/addlanguages=").
std::string CommandLineCodes(const std::string& chosenCodes, bool addToClientList, const std::string& clientLanguages);

// "Select All" was clicked and is now ticked or not: when ticked every box is
// checked and every flag set; when unticked every enabled box is unchecked and
// its flag cleared, a disabled box keeps its mark and its flag.
void ApplySelectAll(bool ticked, const bool enabled[kLanguageCount], int checked[kLanguageCount],
                    int flags[kLanguageCount]);

// "Install Now": the flags take over the boxes' states; returns the codes text.
std::string TakeOverBoxes(const int checked[kLanguageCount], int flags[kLanguageCount]);
