// A seeded random test over reading, checking and updating configuration
// texts: mutated client configurations never crash or hang the rules, and an
// update either leaves a document alone or produces one that reads back with
// the new list and every other value unchanged.
#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "core/config_document.h"
#include "core/config_rules.h"
#include "core/language_catalogue.h"

namespace {

const char* kSeeds[] = {
    "<?xml version=\"1.0\"?>\n<Setup><Languages><Value>0,2</Value></Languages><VersionType><Value>0</Value>"
    "</VersionType><ProductType><Value>0</Value></ProductType><Translator><Value>5</Value></Translator>"
    "<MultilingualInstallation><Value>false</Value></MultilingualInstallation></Setup>",
    "\xEF\xBB\xBF<a><!--c--><Languages><Value><![CDATA[1,2]]></Value></Languages><ProductType><Value>&#49;</Value>"
    "</ProductType></a>",
    "<r><Languages><Value/></Languages><X y='&amp;'>t</X><MultilingualInstallation><Value>true</Value>"
    "</MultilingualInstallation></r>",
};

const char* kPieces[] = {"<", ">", "/", "<Value>", "</Value>", "<Languages>", "</Languages>", "&amp;", "&",
                         "&#", ";", "<!--", "-->", "<![CDATA[", "]]>", ",", "1", "0", " ", "\n", "\"", "'", "=",
                         "\xEF\xBB\xBF", "\xFF", "\0", "<?xml", "?>", "<!DOCTYPE x>", "<MultilingualInstallation>"};

std::string Mutate(std::string text, std::mt19937& random) {
    const int edits = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < edits; ++i) {
        const size_t at = text.empty() ? 0 : random() % (text.size() + 1);
        switch (random() % 4) {
            case 0:  // insert a piece
                text.insert(at, kPieces[random() % (sizeof kPieces / sizeof kPieces[0])]);
                break;
            case 1:  // delete a run
                if (!text.empty()) text.erase(std::min(at, text.size() - 1), 1 + random() % 6);
                break;
            case 2:  // flip a byte
                if (!text.empty()) text[std::min(at, text.size() - 1)] = static_cast<char>(random());
                break;
            case 3:  // duplicate a run
                if (!text.empty()) text.insert(at, text.substr(random() % text.size(), random() % 40));
                break;
        }
    }
    return text;
}

void Exercise(const std::string& text) {
    tinyxml2::XMLDocument document;
    if (!ParseConfigText(text, document)) return;
    const ClientConfigValues values = ReadConfigValues(document);
    UserDataPaths paths;
    ComposeUserDataPathsFor(values.versionType, values.productType, "C:/Users/Public", "C:\\x", paths);
    CompatibilityVerdict(values.versionType, values.productType, values.languages, "0", "0");
    SplitCodeList(values.languages);
    const std::string translator = ConfigValue(document, "Translator");

    std::string bytes;
    if (!UpdatedConfigBytes(document, "3,5", bytes)) return;  // nothing would be saved
    tinyxml2::XMLDocument again;
    ASSERT_TRUE(ParseConfigText(bytes, again)) << testing::PrintToString(text);
    EXPECT_EQ(ConfigValue(again, "Languages"), "3,5") << testing::PrintToString(text);
    EXPECT_EQ(ConfigValue(again, "VersionType"), values.versionType);
    EXPECT_EQ(ConfigValue(again, "ProductType"), values.productType);
    EXPECT_EQ(ConfigValue(again, "Translator"), translator);
}

TEST(ConfigFuzz, MutatedConfigurationsAreHandledSafely) {
    std::mt19937 random(20261209);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    int runs = 0;
    while (std::chrono::steady_clock::now() < deadline && !HasFailure()) {
        std::string text = kSeeds[random() % (sizeof kSeeds / sizeof kSeeds[0])];
        const int generations = 1 + static_cast<int>(random() % 4);
        for (int g = 0; g < generations; ++g) text = Mutate(text, random);
        Exercise(text);
        ++runs;
    }
    EXPECT_GT(runs, 1000);
}

TEST(ConfigFuzz, UnfaithfullyPrintedDocumentsAreNotSaved) {
    // Loads, but the library prints it as text it cannot load again.
    const std::string text =
        "<r><Languages><Value/></Languages><X y='&ap;'>t</X>\xB7Multiling></r>ualInmp;'>t</X>"
        "<MultilingualI:stallation><Valueue</Valuetiling'&amp;'>t</X>\xB7Multiling></r>ualInualInstallatione</r>";
    tinyxml2::XMLDocument document;
    if (!ParseConfigText(text, document)) GTEST_SKIP() << "the library refuses this text outright";
    std::string bytes = "untouched";
    tinyxml2::XMLDocument reprinted;
    const bool printable = ParseConfigText(PrintDocument(document), reprinted);
    ASSERT_FALSE(printable) << "the library now prints this document faithfully";
    EXPECT_FALSE(UpdatedConfigBytes(document, "3,5", bytes));
    EXPECT_EQ(bytes, "untouched");
}

TEST(ConfigFuzz, DeepAndHugeDocumentsAreRefusedOrReadWithoutHarm) {
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "<a>";
    tinyxml2::XMLDocument document;
    EXPECT_FALSE(ParseConfigText(deep, document));  // depth limit, no stack exhaustion

    std::string huge = "<r><Languages><Value>";
    for (int i = 0; i < 200000; ++i) huge += "0,";
    huge += "</Value></Languages></r>";
    Exercise(huge);
}

}  // namespace
