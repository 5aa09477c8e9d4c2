#include "core/config_rules.h"

#include <gtest/gtest.h>

#include <climits>

#include "core/shared_state.h"

namespace {

TEST(DecimalValue, ReadsLikeTheStandardConversion) {
    EXPECT_EQ(DecimalValue("0"), 0);
    EXPECT_EQ(DecimalValue("1"), 1);
    EXPECT_EQ(DecimalValue("00"), 0);
    EXPECT_EQ(DecimalValue(" 0"), 0);
    EXPECT_EQ(DecimalValue("\t\n 2"), 2);
    EXPECT_EQ(DecimalValue("0 "), 0);
    EXPECT_EQ(DecimalValue("1abc"), 1);
    EXPECT_EQ(DecimalValue("+1"), 1);
    EXPECT_EQ(DecimalValue("-1"), -1);
    EXPECT_EQ(DecimalValue(""), 0);
    EXPECT_EQ(DecimalValue("abc"), 0);
    EXPECT_EQ(DecimalValue("- 1"), 0);
    EXPECT_EQ(DecimalValue("99999999999999999999"), INT_MAX);
    EXPECT_EQ(DecimalValue("-99999999999999999999"), INT_MIN);
}

TEST(UserDataPaths, ComposedFromTheFilesOwnValues) {
    UserDataPaths paths;
    ASSERT_TRUE(ComposeUserDataPathsFor("0", "0", "C:/Users/Public", "C:\\Program Files\\Kestrova Site", paths));
    EXPECT_EQ(paths.publicSetupPath, "C:/Users/Public/Kestrova Site/UserData/Framework.C/Setup.xml");
    EXPECT_EQ(paths.installSetupPath, "C:\\Program Files\\Kestrova Site\\UserData\\Framework.C\\Setup.xml");

    ASSERT_TRUE(ComposeUserDataPathsFor(" 1", "2x", "D:/Users/Public", "E:\\", paths));
    EXPECT_EQ(paths.publicSetupPath, "D:/Users/Public/Palomind VS/UserData/Framework.C/Setup.xml");
    EXPECT_EQ(paths.installSetupPath, "E:\\\\UserData\\Framework.C\\Setup.xml");  // no separator removed

    ASSERT_TRUE(ComposeUserDataPathsFor("00", "7", "C:/Users/Public", "R", paths));
    EXPECT_EQ(paths.publicSetupPath, "C:/Users/Public/Kestrova UserData/Framework.C/Setup.xml");
    ASSERT_TRUE(ComposeUserDataPathsFor("0", "1", "C:/Users/Public", "R", paths));
    EXPECT_EQ(paths.publicSetupPath, "C:/Users/Public/Kestrova AC/UserData/Framework.C/Setup.xml");
}

TEST(UserDataPaths, UnknownVersionTypeKeepsThePreviousPaths) {
    UserDataPaths paths{"old public", "old install"};
    for (const char* versionType : {"2", "-1", "99", " 3"}) {
        EXPECT_FALSE(ComposeUserDataPathsFor(versionType, "0", "C:/Users/Public", "R", paths));
        EXPECT_EQ(paths.publicSetupPath, "old public");
        EXPECT_EQ(paths.installSetupPath, "old install");
    }
    // An empty text reads as 0.
    EXPECT_TRUE(ComposeUserDataPathsFor("", "", "C:/Users/Public", "R", paths));
}

TEST(UserDataPaths, PublicFolderWithoutSystemDriveCannotBeAFile) {
    EXPECT_EQ(PublicUsersFolderFor(true, "C:"), "C:/Users/Public");
    const std::string unset = PublicUsersFolderFor(false, "");
    EXPECT_NE(unset.find_first_of("<>"), std::string::npos);
    EXPECT_NE(unset, PublicUsersFolderFor(true, ""));
}

Verdict Check(const std::string& version, const std::string& product, const std::string& languages) {
    return CompatibilityVerdict(version, product, languages, "0", "0");
}

TEST(Compatibility, VersionTypeIsExactText) {
    EXPECT_EQ(Check("0", "0", "0,2"), Verdict::Compatible);
    for (const char* version : {"00", " 0", "0 ", "", "1", "+0"}) {
        EXPECT_EQ(Check(version, "0", "0"), Verdict::VersionTypeMismatch) << '"' << version << '"';
    }
    EXPECT_EQ(CompatibilityVerdict("1", "2", "", "1", "2"), Verdict::Compatible);
}

TEST(Compatibility, RulesInOrderFirstFailureWins) {
    EXPECT_EQ(Check("1", "1", "1"), Verdict::VersionTypeMismatch);
    EXPECT_EQ(Check("0", "1", "1"), Verdict::ProductTypeMismatch);
    EXPECT_EQ(Check("0", "", "0"), Verdict::ProductTypeMismatch);
    EXPECT_EQ(Check("0", "0", "1"), Verdict::LanguageTypeMismatch);
}

TEST(Compatibility, LanguageListMustNotHoldTheCodeOne) {
    for (const char* passes : {"", "0,2,3", "11,21", " 1", "1 ", "01", ",,,", "12,13"}) {
        EXPECT_EQ(Check("0", "0", passes), Verdict::Compatible) << '"' << passes << '"';
    }
    for (const char* fails : {"2,1", "1", "0,,1,", ",1", "1,1"}) {
        EXPECT_EQ(Check("0", "0", fails), Verdict::LanguageTypeMismatch) << '"' << fails << '"';
    }
}

TEST(Compatibility, EachVerdictHasItsMessage) {
    EXPECT_EQ(VerdictMessage(Verdict::VersionTypeMismatch),
              "Current client version type does not support multilingual installation packages.");
    EXPECT_EQ(VerdictMessage(Verdict::ProductTypeMismatch),
              "Current client product type does not support multilingual installation packages.");
    EXPECT_EQ(VerdictMessage(Verdict::LanguageTypeMismatch),
              "Current client language type does not support multilingual installation packages.");
    EXPECT_TRUE(VerdictMessage(Verdict::Compatible).empty());
}

}  // namespace
