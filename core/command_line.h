// The installer's command line: how it is split into arguments and what the
// switches ask for. "/silent" is matched exactly; every other switch without
// regard to case. Arguments that are no switch of the installer are ignored.
#pragma once

#include <string>
#include <vector>

#include "core/shared_state.h"

// Splits a command line the way Windows programs' start-up code does: the
// program's name first (up to the next quote when quoted, else up to the
// first blank), then arguments separated by blanks, where quotes group and
// are removed, 2n backslashes before a quote give n backslashes and a
// grouping quote, 2n+1 give n backslashes and a literal quote. Works on
// UTF-8 text: only ASCII bytes carry meaning.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

struct CommandLine {
    bool silent = false;      // "/silent", exact
    bool quiet = false;       // "/quiet": no window, no box, an exit code
    bool check = false;       // "/check": report whether installed, change nothing
    bool help = false;        // "/?" or "/help"
    bool forceClose = false;  // "/forcecloseapplications"
    bool uninstall = false;   // "/uninstall": undo the installations recorded on this machine
    std::string logPath;      // "/log=PATH" (the last one given); empty for none

    // "/languages=CODES" or "/addlanguages=CODES": the chosen languages, one
    // flag per catalogue entry; added to the client's list instead of
    // replacing it when addLanguages.
    bool languagesGiven = false;
    bool addLanguages = false;
    int languageFlags[kLanguageCount] = {};

    // Arguments that look like switches but are none of the installer's
    // (another installer's "/S" or "/qn", say): ignored, and named in the log.
    std::vector<std::string> unknownSwitches;

    // Why the command line is not valid; empty when it is.
    std::string error;

    // No box and no page: "/quiet" and "/check".
    bool Unattended() const { return quiet || check; }
};

// Reads the arguments after the program's name (arguments[0] is skipped).
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// Reads a "/languages=" list: catalogue codes separated by commas, each once.
// False, with the reason in error, for an empty list or item, a code the
// catalogue does not have or a code given twice.
bool ParseLanguageList(const std::string& list, int flags[kLanguageCount], std::string& error);

// The help text: the switches and the exit codes.
std::string UsageText();
