#include "core/config_document.h"

#include <gtest/gtest.h>

namespace {

using tinyxml2::XMLDocument;

const char* kClientConfig =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<Setup>\n"
    "    <!-- client settings -->\n"
    "    <Languages>\n        <Value>0,2</Value>\n    </Languages>\n"
    "    <VersionType>\n        <Value>0</Value>\n    </VersionType>\n"
    "    <ProductType>\n        <Value>0</Value>\n    </ProductType>\n"
    "    <Translator>\n        <Value>5</Value>\n    </Translator>\n"
    "    <MultilingualInstallation>\n        <Value>false</Value>\n    </MultilingualInstallation>\n"
    "    <Other attribute=\"a &amp; b\">  kept  text  </Other>\n"
    "</Setup>\n";

XMLDocument* Parse(const std::string& text) {
    static XMLDocument* document = nullptr;
    delete document;
    document = new XMLDocument();
    EXPECT_TRUE(ParseConfigText(text, *document)) << text;
    return document;
}

TEST(ConfigReading, ValuesBelowTheRootWhateverItsName) {
    XMLDocument document;
    ASSERT_TRUE(ParseConfigText(kClientConfig, document));
    const ClientConfigValues values = ReadConfigValues(document);
    EXPECT_EQ(values.languages, "0,2");
    EXPECT_EQ(values.versionType, "0");
    EXPECT_EQ(values.productType, "0");
    EXPECT_EQ(ConfigValue(document, "Translator"), "5");

    XMLDocument renamed;
    ASSERT_TRUE(ParseConfigText("<Anything><VersionType><Value>1</Value></VersionType></Anything>", renamed));
    EXPECT_EQ(ConfigValue(renamed, "VersionType"), "1");
}

TEST(ConfigReading, TextIsTheFirstChildNodeWhenTextOrCdata) {
    EXPECT_EQ(ConfigValue(*Parse("<r><VersionType><Value><!--c-->0</Value></VersionType></r>"), "VersionType"), "");
    EXPECT_EQ(ConfigValue(*Parse("<r><VersionType><Value><![CDATA[0]]></Value></VersionType></r>"), "VersionType"),
              "0");
    EXPECT_EQ(ConfigValue(*Parse("<r><VersionType><Value/></VersionType></r>"), "VersionType"), "");
    EXPECT_EQ(ConfigValue(*Parse("<r><VersionType><Value> 0 </Value></VersionType></r>"), "VersionType"), " 0 ");
    EXPECT_EQ(ConfigValue(*Parse("<r><VersionType><Value>&#48;</Value></VersionType></r>"), "VersionType"), "0");
    EXPECT_EQ(ConfigValue(*Parse("<r><VersionType><Value><b>0</b></Value></VersionType></r>"), "VersionType"), "");
    // Only the first element of each name counts.
    EXPECT_EQ(ConfigValue(*Parse("<r><VersionType><Other/><Value>1</Value><Value>0</Value></VersionType>"
                                 "<VersionType><Value>0</Value></VersionType></r>"),
                          "VersionType"),
              "1");
    EXPECT_EQ(ConfigValue(*Parse("<r><VersionType><Nope>1</Nope></VersionType></r>"), "VersionType"), "");
}

TEST(ConfigReading, MissingPartsReadAsEmptyText) {
    EXPECT_EQ(ReadConfigValues(*Parse("<!-- only a comment -->")).versionType, "");
    EXPECT_EQ(ReadConfigValues(*Parse("<r/>")).languages, "");
    EXPECT_EQ(ReadConfigValues(*Parse("<r><Languages/></r>")).languages, "");
}

TEST(ConfigUpdate, ListIsReplacedAndTheMarkSet) {
    XMLDocument document;
    ASSERT_TRUE(ParseConfigText(kClientConfig, document));
    ASSERT_TRUE(UpdateConfigDocument(document, "3,5"));
    const std::string printed = PrintDocument(document);

    XMLDocument again;
    ASSERT_TRUE(ParseConfigText(printed, again));
    EXPECT_EQ(ConfigValue(again, "Languages"), "3,5");
    EXPECT_EQ(ConfigValue(again, "MultilingualInstallation"), "true");
    EXPECT_EQ(ConfigValue(again, "VersionType"), "0");
    EXPECT_EQ(ConfigValue(again, "Translator"), "5");
    // Everything else stays as it was: the comment, the other element with its
    // attribute and its whitespace, the declaration.
    EXPECT_NE(printed.find("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"), std::string::npos);
    EXPECT_NE(printed.find("<!-- client settings -->"), std::string::npos);
    EXPECT_NE(printed.find("<Other attribute=\"a &amp; b\">  kept  text  </Other>"), std::string::npos);
    // Indented printing, not compact.
    EXPECT_NE(printed.find("\n    <Languages>\n        <Value>3,5</Value>"), std::string::npos) << printed;
}

TEST(ConfigUpdate, EmptyValueGetsATextNodeAndExistingMarkIsRewritten) {
    XMLDocument document;
    ASSERT_TRUE(ParseConfigText("<r><Languages><Value/></Languages>"
                                "<MultilingualInstallation><Value>true</Value></MultilingualInstallation></r>",
                                document));
    ASSERT_TRUE(UpdateConfigDocument(document, "0,36"));
    EXPECT_EQ(ConfigValue(document, "Languages"), "0,36");
    EXPECT_EQ(ConfigValue(document, "MultilingualInstallation"), "true");

    // A value whose first child is not text gets the text in front of it.
    XMLDocument commented;
    ASSERT_TRUE(ParseConfigText("<r><Languages><Value><!--x-->0,2</Value></Languages></r>", commented));
    ASSERT_TRUE(UpdateConfigDocument(commented, "7"));
    EXPECT_EQ(ConfigValue(commented, "Languages"), "7");
    EXPECT_NE(PrintDocument(commented).find("<!--x-->"), std::string::npos);

    // An empty codes text is written as it is.
    XMLDocument emptied;
    ASSERT_TRUE(ParseConfigText(kClientConfig, emptied));
    ASSERT_TRUE(UpdateConfigDocument(emptied, ""));
    EXPECT_EQ(ConfigValue(emptied, "Languages"), "");
}

TEST(ConfigUpdate, WithoutTheMarkOnlyTheListChanges) {
    const std::string original = "<r>\n    <Languages>\n        <Value>0</Value>\n    </Languages>\n"
                                 "    <MultilingualInstallation/>\n</r>\n";
    XMLDocument document;
    ASSERT_TRUE(ParseConfigText(original, document));
    ASSERT_TRUE(UpdateConfigDocument(document, "2"));
    std::string expected = original;
    expected.replace(expected.find("<Value>0<"), 9, "<Value>2<");
    EXPECT_EQ(PrintDocument(document), expected);
}

TEST(ConfigUpdate, DocumentsWithoutTheLanguageListAreLeftAlone) {
    for (const char* text : {"<!-- no root -->", "<r/>", "<r><Languages/></r>", "<r><languages><Value/></languages></r>",
                             "<r><Other><Languages><Value>0</Value></Languages></Other></r>"}) {
        XMLDocument document;
        ASSERT_TRUE(ParseConfigText(text, document)) << text;
        const std::string before = PrintDocument(document);
        EXPECT_FALSE(UpdateConfigDocument(document, "3,5")) << text;
        EXPECT_EQ(PrintDocument(document), before);
    }
}

TEST(ConfigUpdate, ByteOrderMarkAndEntitiesSurvive) {
    const std::string text = "\xEF\xBB\xBF<r><Languages><Value>0</Value></Languages><N>&lt;&gt;&quot;</N></r>";
    XMLDocument document;
    ASSERT_TRUE(ParseConfigText(text, document));
    ASSERT_TRUE(UpdateConfigDocument(document, "2"));
    const std::string printed = PrintDocument(document);
    EXPECT_EQ(printed.rfind("\xEF\xBB\xBF", 0), 0u);
    XMLDocument again;
    ASSERT_TRUE(ParseConfigText(printed, again));
    EXPECT_STREQ(again.FirstChildElement()->FirstChildElement("N")->GetText(), "<>\"");
}

}  // namespace
