#include "core/language_catalogue.h"

#include <gtest/gtest.h>

#include <set>

namespace {

const std::string kAllCodes = "0,2,3,4,5,6,7,8,9,10,11,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,31,32,33,34,35,36";

struct Flags {
    int values[kLanguageCount];
    explicit Flags(int value) {
        for (int& flag : values) flag = value;
    }
};

TEST(SelectedCodes, AllSomeOrNone) {
    Flags all(1);
    EXPECT_EQ(BuildSelectedCodes(all.values), kAllCodes);
    EXPECT_EQ(BuildSelectedCodes(all.values).size(), 89u);

    Flags none(0);
    EXPECT_EQ(BuildSelectedCodes(none.values), "");

    Flags ends(0);
    ends.values[0] = 1;
    ends.values[32] = 1;
    EXPECT_EQ(BuildSelectedCodes(ends.values), "0,36");

    Flags one(0);
    one.values[11] = 1;
    EXPECT_EQ(BuildSelectedCodes(one.values), "14");
}

TEST(SelectedCodes, OnlyTheValueOneCountsAsSelected) {
    Flags flags(1);
    flags.values[1] = 2;
    flags.values[2] = -1;
    flags.values[32] = 0;
    EXPECT_EQ(BuildSelectedCodes(flags.values),
              "0,4,5,6,7,8,9,10,11,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,31,32,33,34,35");
    Flags twos(2);
    EXPECT_EQ(BuildSelectedCodes(twos.values), "");
}

TEST(CodeList, SplitsAtEveryCommaAndDropsOnlyEmptyItems) {
    using List = std::vector<std::string>;
    EXPECT_EQ(SplitCodeList("0,2,3"), (List{"0", "2", "3"}));
    EXPECT_EQ(SplitCodeList(",0,,2,"), (List{"0", "2"}));
    EXPECT_EQ(SplitCodeList(""), List{});
    EXPECT_EQ(SplitCodeList(",,,"), List{});
    EXPECT_EQ(SplitCodeList("5"), List{"5"});
    EXPECT_EQ(SplitCodeList("3,3"), (List{"3", "3"}));
    EXPECT_EQ(SplitCodeList("0, 2"), (List{"0", " 2"}));
    EXPECT_EQ(SplitCodeList(" "), List{" "});
    EXPECT_EQ(SplitCodeList(kAllCodes).size(), 33u);
}

TEST(CodeList, BuildAndSplitAgreeOnEveryEntry) {
    Flags all(1);
    const auto items = SplitCodeList(BuildSelectedCodes(all.values));
    ASSERT_EQ(items.size(), 33u);
    for (int i = 0; i < kLanguageCount; ++i) EXPECT_EQ(FindLanguageByCode(items[i]), &languageCatalogue[i]);
}

TEST(Catalogue, LookUpsAreExact) {
    ASSERT_NE(FindLanguageByCode("0"), nullptr);
    EXPECT_STREQ(FindLanguageByCode("0")->payloadFolder, "English");
    EXPECT_STREQ(FindLanguageByCode("16")->payloadFolder, "Spainish");
    EXPECT_STREQ(FindLanguageByCode("36")->payloadFolder, "Indonesia");
    for (const char* code : {"1", "12", "13", "30", "37", "02", " 2", "2 ", "abc", ""}) {
        EXPECT_EQ(FindLanguageByCode(code), nullptr) << '"' << code << '"';
    }
    ASSERT_NE(FindLanguageByCheckBox(1097), nullptr);
    EXPECT_STREQ(FindLanguageByCheckBox(1097)->code, "36");
    EXPECT_EQ(FindLanguageByCheckBox(1011)->label, 210);
    for (int id : {1010, 1063, 1081, 1082, 1094, 1095, 1096, 0}) EXPECT_EQ(FindLanguageByCheckBox(id), nullptr);
}

TEST(Catalogue, OrderedOneToOneAndInItsRanges) {
    std::set<std::string> codes, folders;
    std::set<int> boxes, labels;
    int previousCode = -1;
    for (int i = 0; i < kLanguageCount; ++i) {
        const LanguageEntry& entry = languageCatalogue[i];
        EXPECT_EQ(entry.position, i + 1);
        const int code = std::stoi(entry.code);
        EXPECT_GT(code, previousCode);
        EXPECT_EQ(std::to_string(code), entry.code);
        previousCode = code;
        EXPECT_GE(entry.label, 199);
        EXPECT_LE(entry.label, 235);
        codes.insert(entry.code);
        folders.insert(entry.payloadFolder);
        boxes.insert(entry.checkBox);
        labels.insert(entry.label);
    }
    EXPECT_EQ(codes.size(), 33u);
    EXPECT_EQ(folders.size(), 33u);
    EXPECT_EQ(boxes.size(), 33u);
    EXPECT_EQ(labels.size(), 33u);
    // Check boxes: 1007-1009, 1011, 1064-1080, 1083-1093, 1097.
    std::set<int> expected{1007, 1008, 1009, 1011, 1097};
    for (int id = 1064; id <= 1080; ++id) expected.insert(id);
    for (int id = 1083; id <= 1093; ++id) expected.insert(id);
    EXPECT_EQ(boxes, expected);
}

}  // namespace
