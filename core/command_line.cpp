#include "core/command_line.h"

#include "core/language_catalogue.h"
#include "core/startup_rules.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Lower(const std::string& text) {
    std::string lower = text;
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
    std::vector<std::string> arguments;
    std::string::size_type i = 0;
    const std::string::size_type n = commandLine.size();

    // The program's name: no backslash rule, a quote only groups.
    std::string program;
    if (i < n && commandLine[i] == '"') {
        ++i;
        while (i < n && commandLine[i] != '"') program += commandLine[i++];
        if (i < n) ++i;
    } else {
        while (i < n && !IsBlank(commandLine[i])) program += commandLine[i++];
    }
    arguments.push_back(program);

    for (;;) {
        while (i < n && IsBlank(commandLine[i])) ++i;
        if (i >= n) break;
        std::string argument;
        bool quoted = false;
        while (i < n && (quoted || !IsBlank(commandLine[i]))) {
            if (commandLine[i] == '\\') {
                std::string::size_type backslashes = 0;
                while (i < n && commandLine[i] == '\\') {
                    ++backslashes;
                    ++i;
                }
                if (i < n && commandLine[i] == '"') {
                    argument.append(backslashes / 2, '\\');
                    if (backslashes % 2 == 1) {
                        argument += '"';
                        ++i;
                    }
                } else {
                    argument.append(backslashes, '\\');
                }
            } else if (commandLine[i] == '"') {
                quoted = !quoted;
                ++i;
            } else {
                argument += commandLine[i++];
            }
        }
        arguments.push_back(argument);
    }
    return arguments;
}

bool ParseLanguageList(const std::string& list, int flags[kLanguageCount], std::string& error) {
    for (int i = 0; i < kLanguageCount; ++i) flags[i] = 0;
    if (list.empty()) {
        error = "the language list is empty";
        return false;
    }
    std::string::size_type start = 0;
    for (;;) {
        const std::string::size_type comma = list.find(',', start);
        const std::string item = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (item.empty()) {
            error = "the language list has an empty item";
            return false;
        }
        const LanguageEntry* entry = FindLanguageByCode(item);
        if (entry == nullptr) {
            error = "\"" + item + "\" is not a language code";
            return false;
        }
        if (flags[entry->position - 1] != 0) {
            error = "the language code " + item + " is given twice";
            return false;
        }
        flags[entry->position - 1] = 1;
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return true;
}

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const std::string lower = Lower(argument);
        if (lower == "/quiet") {
            line.quiet = true;
        } else if (lower == "/check") {
            line.check = true;
        } else if (lower == "/?" || lower == "/help") {
            line.help = true;
        } else if (lower == "/forcecloseapplications") {
            line.forceClose = true;
        } else if (lower == "/uninstall") {
            line.uninstall = true;
        } else if (StartsWith(lower, "/log=")) {
            line.logPath = argument.substr(5);
        } else if (lower == "/languages" || StartsWith(lower, "/languages=") || lower == "/addlanguages" ||
                   StartsWith(lower, "/addlanguages=")) {
            const bool add = lower[1] == 'a';
            const std::string name = add ? "/addlanguages" : "/languages";
            if (!line.error.empty()) continue;
            if (line.languagesGiven) {
                line.error = line.addLanguages == add ? name + "= is given more than once"
                                                      : "/languages= and /addlanguages= cannot both be given";
            } else if (lower == name) {
                line.error = name + " needs a list of language codes after \"=\"";
            } else {
                std::string why;
                if (!ParseLanguageList(argument.substr(name.size() + 1), line.languageFlags, why)) {
                    line.error = argument + ": " + why;
                }
            }
            line.languagesGiven = true;
            line.addLanguages = add;
        } else if (argument.size() > 1 && (argument[0] == '/' || argument[0] == '-') && argument != "/silent") {
            line.unknownSwitches.push_back(argument);
        }
    }
    if (line.error.empty() && line.uninstall && (line.check || line.languagesGiven)) {
        line.error = line.check ? "/uninstall and /check cannot both be given"
                                : "/uninstall takes no languages";
    }
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) argv.push_back(argument.c_str());
    line.silent = HasSilentArgument(static_cast<int>(argv.size()), argv.data());
    return line;
}

std::string UsageText() {
    std::string codes;
    for (const LanguageEntry& entry : languageCatalogue) {
        if (!codes.empty()) codes += ", ";
        codes += std::string(entry.code) + " " + entry.name;
    }
    return "Quennel language pack setup\r\n"
           "\r\n"
           "Switches:\r\n"
           "/silent\tinstall all languages without pages; messages are still shown\r\n"
           "/quiet\tinstall without any window or message; ends with an exit code\r\n"
           "/log=PATH\tappend a log of the run to the file PATH (its folder must exist)\r\n"
           "/languages=CODES\tthe languages to install, a comma list of codes (e.g. /languages=34,35);\r\n"
           "\tthe client's current interface language is always kept\r\n"
           "/addlanguages=CODES\tadd these languages to those the client lists\r\n"
           "/forcecloseapplications\twith /quiet: close the client's running tool (Ombrix.exe)\r\n"
           "/uninstall\tremove what the installations on this computer added (with /quiet and /log= too)\r\n"
           "/check\treport whether the languages are installed; changes nothing\r\n"
           "/? or /help\tshow this text\r\n"
           "\r\n"
           "Exit codes:\r\n"
           "0\tinstalled (/check: the languages are installed; /uninstall: removed, or nothing to remove)\r\n"
           "1\t/check: not installed yet\r\n"
           "5\tinstalled, but a configuration copy could not be updated\r\n"
           "87\tbad command line\r\n"
           "170\tthe client's tool is running (/quiet without /forcecloseapplications)\r\n"
           "1602\tno one can answer here (no interactive desktop), and no switch said to go on alone\r\n"
           "1603\tthe installation (or removal) failed\r\n"
           "1605\tno client is installed\r\n"
           "1618\tanother installation is running\r\n"
           "1642\tthe client does not accept language packs\r\n"
           "\r\n"
           "Language codes: " +
           codes + ".";
}
