#include "core/command_line.h"

#include <gtest/gtest.h>

#include "core/config_document.h"
#include "core/language_catalogue.h"
#include "core/preset.h"
#include "core/run_outcome.h"

namespace {

using Args = std::vector<std::string>;

CommandLine Parse(const std::string& commandLine) { return ParseCommandLine(SplitCommandLine(commandLine)); }

TEST(CommandLineSplit, QuotesAndBackslashesAsWindowsProgramsRead) {
    EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\Quennel.exe\" /quiet"),
              (Args{"C:\\Program Files\\Quennel.exe", "/quiet"}));
    EXPECT_EQ(SplitCommandLine("Quennel.exe  /log=\"C:\\my logs\\q.log\"\t/check"),
              (Args{"Quennel.exe", "/log=C:\\my logs\\q.log", "/check"}));
    EXPECT_EQ(SplitCommandLine("q \"/log=C:\\dir\\\\\" x"), (Args{"q", "/log=C:\\dir\\", "x"}));
    EXPECT_EQ(SplitCommandLine("q a\\\\\"b c\" d\\\"e f\\g"), (Args{"q", "a\\b c", "d\"e", "f\\g"}));
    EXPECT_EQ(SplitCommandLine("q \"\""), (Args{"q", ""}));
    // UTF-8 passes through untouched.
    EXPECT_EQ(SplitCommandLine("q \"/log=C:\\\xce\xb1\xce\xb2 \xc3\xa9.log\""), (Args{"q", "/log=C:\\\xce\xb1\xce\xb2 \xc3\xa9.log"}));
}

TEST(CommandLineParse, SwitchesWithoutRegardToCaseButSilentExact) {
    const CommandLine line = Parse("q /QUIET /Check /forceCloseApplications /HELP /LOG=a.log /Languages=34,35 other");
    EXPECT_TRUE(line.quiet && line.check && line.forceClose && line.help);
    EXPECT_FALSE(line.silent);
    EXPECT_EQ(line.logPath, "a.log");
    EXPECT_TRUE(line.error.empty());
    EXPECT_EQ(BuildSelectedCodes(line.languageFlags), "34,35");
    EXPECT_TRUE(Parse("q x /silent").silent);
    EXPECT_FALSE(Parse("q /SILENT").silent);
    EXPECT_TRUE(Parse("q /?").help);
    EXPECT_EQ(Parse("q /log=a /log=b").logPath, "b");
    EXPECT_TRUE(Parse("q /log /languagesx=1 /quietly").error.empty());  // not the installer's: ignored
    EXPECT_FALSE(Parse("q /log /quietly").quiet);
}

TEST(CommandLineParse, EveryMalformedLanguageListIsABadCommandLine) {
    for (const char* bad : {"/languages=", "/languages", "/languages=34,", "/languages=,34", "/languages=34,,35",
                            "/languages=34,34", "/languages=99", "/languages=1", "/languages=034", "/languages=+34",
                            "\"/languages= 34\"", "/languages=34;35", "/languages=34 /languages=35"}) {
        EXPECT_FALSE(Parse(std::string("q /quiet ") + bad).error.empty()) << bad;
    }
    const CommandLine all = Parse("q /languages=36,0,2,3,4,5,6,7,8,9,10,11,14,15,16,17,18,19,20,21,22,23,24,25,26,27,"
                                  "28,29,31,32,33,34,35");
    EXPECT_TRUE(all.error.empty());
    EXPECT_EQ(BuildSelectedCodes(all.languageFlags),
              "0,2,3,4,5,6,7,8,9,10,11,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,31,32,33,34,35,36");
}

TEST(RunOutcome, QuietAndCheckTellEveryOutcomeTheOtherRoadsOnlyTwo) {
    EXPECT_EQ(ExitStatus(RunOutcome::Installed, Road::Quiet), 0);
    EXPECT_EQ(ExitStatus(RunOutcome::NotInstalledYet, Road::Check), 1);
    EXPECT_EQ(ExitStatus(RunOutcome::CopiesNotUpdated, Road::Quiet), 5);
    EXPECT_EQ(ExitStatus(RunOutcome::ToolRunning, Road::Quiet), 170);
    EXPECT_EQ(ExitStatus(RunOutcome::Failed, Road::Quiet), 1603);
    EXPECT_EQ(ExitStatus(RunOutcome::ClientMissing, Road::Check), 1605);
    EXPECT_EQ(ExitStatus(RunOutcome::AlreadyRunning, Road::Quiet), 1618);
    EXPECT_EQ(ExitStatus(RunOutcome::ClientIncompatible, Road::Quiet), 1642);
    for (Road road : {Road::Wizard, Road::Silent, Road::Quiet, Road::Check}) {
        EXPECT_EQ(ExitStatus(RunOutcome::BadCommandLine, road), 87);
    }
    for (RunOutcome outcome : {RunOutcome::ClientMissing, RunOutcome::ClientIncompatible, RunOutcome::AlreadyRunning,
                               RunOutcome::CopiesNotUpdated}) {
        EXPECT_EQ(ExitStatus(outcome, Road::Silent), 0);
        EXPECT_EQ(ExitStatus(outcome, Road::Wizard), 0);
    }
    EXPECT_EQ(ExitStatus(RunOutcome::Failed, Road::Silent), 1603);
    EXPECT_EQ(ExitStatus(RunOutcome::Failed, Road::Wizard), 0);
}

TEST(CheckLanguageList, EveryCodeListedAndTheMarkSetWhereThereIsOne) {
    auto state = [](const std::string& text, const std::string& codes) {
        tinyxml2::XMLDocument document;
        EXPECT_TRUE(ParseConfigText(text, document));
        return CheckLanguageList(document, codes);
    };
    const std::string withMark = "<C><Languages><Value>0,2,34,35</Value></Languages>"
                                 "<MultilingualInstallation><Value>true</Value></MultilingualInstallation></C>";
    EXPECT_EQ(state(withMark, "34,35"), LanguageListState::Lists);
    EXPECT_EQ(state(withMark, "34,36"), LanguageListState::Lacks);
    EXPECT_EQ(state("<C><Languages><Value>34,35</Value></Languages><MultilingualInstallation><Value>false</Value>"
                    "</MultilingualInstallation></C>",
                    "34,35"),
              LanguageListState::Lacks);
    EXPECT_EQ(state("<C><Languages><Value>3,34,35</Value></Languages></C>", "34,35"), LanguageListState::Lists);
    EXPECT_EQ(state("<C><Languages><Value>340</Value></Languages></C>", "34"), LanguageListState::Lacks);
    EXPECT_EQ(state("<C><Other/></C>", "34"), LanguageListState::NoLanguageList);
}

TEST(PresetForChoice, TheChosenBoxesAndTheCurrentLanguageAndSelectAllOnlyForAll) {
    const LanguagePreset some = ComputePresetForChoice("0,34", "35");
    EXPECT_FALSE(some.selectAll);
    for (const LanguageEntry& entry : languageCatalogue) {
        const std::string code = entry.code;
        const int expected = code == "0" || code == "34" || code == "35";  // 35: the current language, kept
        EXPECT_EQ(some.checked[entry.position - 1], expected) << entry.code;
        EXPECT_EQ(some.flags[entry.position - 1], expected) << entry.code;
    }
    EXPECT_EQ(some.disabled, FindLanguageByCode("35")->position - 1);
    // The client's rule that a lone "0" means every language does not apply.
    EXPECT_FALSE(ComputePresetForChoice("0", "0").selectAll);
    int all[kLanguageCount];
    for (int& flag : all) flag = 1;
    EXPECT_TRUE(ComputePresetForChoice(BuildSelectedCodes(all), "0").selectAll);
}

TEST(PresetForChoice, AddedLanguagesJoinTheClientsList) {
    EXPECT_EQ(CommandLineCodes("34", false, "0,2,35"), "34");
    EXPECT_EQ(CommandLineCodes("34", true, "0,2,35"), "0,2,34,35");
    EXPECT_EQ(CommandLineCodes("35,2", true, "0,2,x,99"), "0,2,35");  // unknown items dropped, none twice
    int all[kLanguageCount];
    for (int& flag : all) flag = 1;
    EXPECT_EQ(CommandLineCodes("34", true, "0"), BuildSelectedCodes(all));  // a lone "0" lists every language
}

TEST(CommandLineParse, AddLanguagesAndUnknownSwitches) {
    const CommandLine added = Parse("q /quiet /AddLanguages=34,35 /S /VERYSILENT -qn /silent x");
    EXPECT_TRUE(added.error.empty());
    EXPECT_TRUE(added.languagesGiven && added.addLanguages);
    EXPECT_EQ(BuildSelectedCodes(added.languageFlags), "34,35");
    EXPECT_EQ(added.unknownSwitches, (std::vector<std::string>{"/S", "/VERYSILENT", "-qn"}));
    for (const char* bad : {"/addlanguages=", "/addlanguages", "/addlanguages=99", "/addlanguages=34 /languages=35",
                            "/languages=34 /addlanguages=35", "/addlanguages=34 /addlanguages=35"}) {
        EXPECT_FALSE(Parse(std::string("q ") + bad).error.empty()) << bad;
    }
}

}  // namespace
