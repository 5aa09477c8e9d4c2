#include "core/preset.h"

#include <gtest/gtest.h>

#include "core/language_catalogue.h"

namespace {

int IndexOf(const char* code) { return FindLanguageByCode(code)->position - 1; }

std::vector<int> Checked(const LanguagePreset& preset) {
    std::vector<int> indexes;
    for (int i = 0; i < kLanguageCount; ++i) {
        if (preset.checked[i] == 1) indexes.push_back(i);
    }
    return indexes;
}

void ExpectFlagsFollowBoxes(const LanguagePreset& preset) {
    for (int i = 0; i < kLanguageCount; ++i) EXPECT_EQ(preset.flags[i], preset.checked[i]) << i;
}

TEST(LanguagePreset, SelectAllStartsTickedForTheSingleCodeZeroOrExactly32Items) {
    LanguagePreset preset = ComputePreset("0", "0");
    EXPECT_TRUE(preset.selectAll);
    EXPECT_EQ(Checked(preset).size(), 33u);
    ExpectFlagsFollowBoxes(preset);

    preset = ComputePreset("0,0", "0");
    EXPECT_FALSE(preset.selectAll);
    EXPECT_EQ(Checked(preset), std::vector<int>{0});

    // 32 items of any kind, even ones that name no language.
    std::string thirtyTwo;
    for (int i = 0; i < 32; ++i) thirtyTwo += std::string(i ? "," : "") + "99";
    preset = ComputePreset(thirtyTwo, "5");
    EXPECT_TRUE(preset.selectAll);
    EXPECT_EQ(Checked(preset).size(), 33u);

    // All 33 codes: Select All stays unticked, yet every box is checked.
    preset = ComputePreset("0,2,3,4,5,6,7,8,9,10,11,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,31,32,33,34,35,36",
                           "0");
    EXPECT_FALSE(preset.selectAll);
    EXPECT_EQ(Checked(preset).size(), 33u);
}

TEST(LanguagePreset, BoxesFollowTheListAndUnknownItemsAreIgnored) {
    EXPECT_TRUE(Checked(ComputePreset("", "0")).empty());
    EXPECT_EQ(Checked(ComputePreset("2,12,99", "0")), std::vector<int>{IndexOf("2")});
    const LanguagePreset indonesian = ComputePreset("36", "0");
    EXPECT_FALSE(indonesian.selectAll);
    EXPECT_EQ(Checked(indonesian), std::vector<int>{32});
    EXPECT_EQ(languageCatalogue[32].checkBox, 1097);
    ExpectFlagsFollowBoxes(indonesian);
}

TEST(LanguagePreset, TheCurrentLanguageIsDisabled) {
    const LanguagePreset russian = ComputePreset("0,2", "8");
    EXPECT_EQ(russian.disabled, IndexOf("8"));
    EXPECT_EQ(russian.checked[IndexOf("8")], 0);
    for (const char* none : {"1", "30", "40", "-3", "12"}) EXPECT_EQ(ComputePreset("0", none).disabled, -1) << none;
    for (const char* english : {"", "abc", " 0", "0x5", "+0"}) {
        EXPECT_EQ(ComputePreset("0", english).disabled, 0) << '"' << english << '"';
    }
    EXPECT_EQ(ComputePreset("", " 36 ").disabled, 32);
}

TEST(LanguagePage, SelectAllLeavesADisabledBoxAsItIs) {
    LanguagePreset preset = ComputePreset("0,2", "8");
    bool enabled[kLanguageCount];
    for (bool& e : enabled) e = true;
    enabled[preset.disabled] = false;
    ApplySelectAll(true, enabled, preset.checked, preset.flags);
    EXPECT_EQ(preset.checked[IndexOf("8")], 1);
    ApplySelectAll(false, enabled, preset.checked, preset.flags);
    EXPECT_EQ(Checked(preset), std::vector<int>{IndexOf("8")});
    EXPECT_EQ(preset.flags[IndexOf("8")], 1);
    EXPECT_EQ(TakeOverBoxes(preset.checked, preset.flags), "8");
}

TEST(LanguagePage, InstallNowTakesTheBoxesAsTheyAre) {
    LanguagePreset preset = ComputePreset("0", "30");
    ASSERT_TRUE(preset.selectAll);
    preset.checked[IndexOf("5")] = 0;  // unchecked by hand; Select All stays ticked
    EXPECT_EQ(TakeOverBoxes(preset.checked, preset.flags),
              "0,2,3,4,6,7,8,9,10,11,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,31,32,33,34,35,36");
    EXPECT_EQ(preset.flags[IndexOf("5")], 0);

    int onlyTwo[kLanguageCount] = {};
    onlyTwo[IndexOf("34")] = 1;
    onlyTwo[IndexOf("35")] = 1;
    EXPECT_EQ(TakeOverBoxes(onlyTwo, preset.flags), "34,35");

    int none[kLanguageCount] = {};
    EXPECT_EQ(TakeOverBoxes(none, preset.flags), "");
    for (int flag : preset.flags) EXPECT_EQ(flag, 0);  // a refused choice leaves all flags 0
}

}  // namespace
