// Each edition's installer on a client of its own brand and edition, and on a
// client whose configuration names another edition.
#include <gtest/gtest.h>

#include <memory>

#include "core/shared_state.h"
#include "test_client.h"
#include "wintest.h"

namespace {

using wintest::Box;
using wintest::Child;

struct Edition {
    const char* brand;
    const char* edition;
    const char* file;
};
const Edition kEditions[] = {
    {"0", "0", "Quennel-Kestrova-Site.exe"}, {"0", "1", "Quennel-Kestrova-AC.exe"},
    {"0", "2", "Quennel-Kestrova-VS.exe"},   {"1", "0", "Quennel-Palomind-Site.exe"},
    {"1", "1", "Quennel-Palomind-AC.exe"},   {"1", "2", "Quennel-Palomind-VS.exe"},
};

class Editions : public testing::TestWithParam<Edition> {
protected:
    void SetUp() override {
        dist_ = wintest::WinPath(wintest::Option("dist")) + "\\";
        ASSERT_TRUE(wintest::FileExists(dist_ + GetParam().file)) << dist_ << GetParam().file;
        installation_.reset(new wintest::Installation("edition", "Maker", GetParam().brand, GetParam().edition));
        root_ = installation_->root;
        temp_ = installation_->temp;
        client_ = &installation_->client;
    }
    void TearDown() override { installation_.reset(); }
    std::vector<std::string> Run(DWORD& code) {
        Child child;
        EXPECT_TRUE(child.Start(dist_ + GetParam().file, "/silent"));
        std::vector<Box> boxes;
        EXPECT_TRUE(child.RunToEnd(boxes, 120000, &code));
        std::vector<std::string> texts;
        for (const Box& box : boxes) texts.push_back(box.text);
        return texts;
    }
    std::string dist_, root_, temp_;
    std::unique_ptr<wintest::Installation> installation_;
    wintest::TestClient* client_ = nullptr;
};

TEST_P(Editions, InstallsOnItsOwnEdition) {
    wintest::ClientValues values;
    values.versionType = GetParam().brand;
    values.productType = GetParam().edition;
    ASSERT_TRUE(client_->Install(values));
    DWORD code = 1;
    EXPECT_TRUE(Run(code).empty());
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(wintest::FileExists(client_->clientFolder + "server\\translations\\Thai"));
    for (const std::string* copy : {&client_->publicCopy, &client_->install, &client_->reference}) {
        EXPECT_NE(wintest::ReadFileBytes(*copy).find("<Value>true</Value>"), std::string::npos) << *copy;
    }
}

TEST_P(Editions, RefusesAClientOfAnotherBrandOrEdition) {
    // The client's folders are those of this edition, its configuration names another.
    wintest::ClientValues otherBrand;
    otherBrand.versionType = std::string(GetParam().brand) == "0" ? "1" : "0";
    otherBrand.productType = GetParam().edition;
    ASSERT_TRUE(client_->Install(otherBrand));
    DWORD code = 1;
    EXPECT_EQ(Run(code), std::vector<std::string>{msgVersionTypeMismatch});
    EXPECT_EQ(code, 0u);

    wintest::ClientValues otherEdition;
    otherEdition.versionType = GetParam().brand;
    otherEdition.productType = std::string(GetParam().edition) == "2" ? "0" : "2";
    ASSERT_TRUE(client_->Install(otherEdition));
    EXPECT_EQ(Run(code), std::vector<std::string>{msgProductTypeMismatch});
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(wintest::FileExists(client_->clientFolder + "client\\translations"));
}

INSTANTIATE_TEST_SUITE_P(All, Editions, testing::ValuesIn(kEditions),
                         [](const testing::TestParamInfo<Edition>& info) {
                             std::string name = info.param.file;
                             name = name.substr(8, name.size() - 12);  // "Kestrova-Site"
                             for (char& c : name) {
                                 if (c == '-') c = '_';
                             }
                             return name;
                         });

}  // namespace
