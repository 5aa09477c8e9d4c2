// The silent installation of the real installer executable on a client laid
// out in the test's own folders.
#include <gtest/gtest.h>

#include <memory>

#include "core/shared_state.h"
#include "test_client.h"
#include "wintest.h"

namespace {

using wintest::Box;
using wintest::Child;
using Texts = std::vector<std::string>;

const char* kAllCodes = "0,2,3,4,5,6,7,8,9,10,11,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,31,32,33,34,35,36";


class Silent : public testing::Test {
protected:
    void SetUp() override {
        quennel_ = wintest::WinPath(wintest::Option("quennel"));
        tree_ = wintest::WinPath(wintest::Option("payload-tree")) + "\\";
        ASSERT_TRUE(wintest::FileExists(quennel_));
        ASSERT_TRUE(wintest::FileExists(tree_ + "client\\translations"));
        installation_.reset(new wintest::Installation("silent"));
        root_ = installation_->root;
        temp_ = installation_->temp;
        client_ = &installation_->client;
        ASSERT_FALSE(wintest::KeyExists(HKEY_LOCAL_MACHINE, wintest::ClientKeyPath()));
    }
    void TearDown() override { installation_.reset(); }
    Texts Run(DWORD& code, bool& sawWindow) {
        Child quennel;
        EXPECT_TRUE(quennel.Start(quennel_, "/silent"));
        std::vector<Box> boxes;
        EXPECT_TRUE(quennel.RunToEnd(boxes, 180000, &code)) << "the installer did not end";
        sawWindow = quennel.SawWindow();
        Texts texts;
        for (const Box& box : boxes) texts.push_back(box.text);
        return texts;
    }
    std::string Copies() {
        return wintest::ReadFileBytes(client_->publicCopy) + wintest::ReadFileBytes(client_->install) +
               wintest::ReadFileBytes(client_->reference);
    }

    std::string quennel_, tree_, root_, temp_;
    std::unique_ptr<wintest::Installation> installation_;
    wintest::TestClient* client_ = nullptr;
};

TEST_F(Silent, InstallsEveryLanguageWithoutAnyWindow) {
    ASSERT_TRUE(client_->Install());
    DWORD code = 1;
    bool sawWindow = true;
    EXPECT_TRUE(Run(code, sawWindow).empty());
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(sawWindow);

    for (const char* root : {"client\\translations\\", "server\\translations\\"}) {
        const auto folders = wintest::Entries(client_->clientFolder + root, true);
        EXPECT_EQ(folders.size(), 33u) << root;
        EXPECT_EQ(folders, wintest::Entries(tree_ + root, true));
        for (const std::string& folder : wintest::Entries(tree_ + root, true)) {
            const std::string relative = std::string(root) + folder + "\\";
            const auto files = wintest::Entries(tree_ + relative, false);
            ASSERT_EQ(wintest::Entries(client_->clientFolder + relative, false), files) << relative;
            for (const std::string& file : files) {
                ASSERT_EQ(wintest::ReadFileBytes(client_->clientFolder + relative + file),
                          wintest::ReadFileBytes(tree_ + relative + file))
                    << relative + file;
            }
        }
    }
    EXPECT_EQ(wintest::ReadFileBytes(client_->clientFolder + "client\\translations\\tsqmEnglishCopy.py"),
              wintest::ReadFileBytes(tree_ + "client\\translations\\tsqmEnglishCopy.py"));

    std::string expected = wintest::SetupXml(wintest::ClientValues());
    expected.replace(expected.find("<Value>0,2<"), 11, std::string("<Value>") + kAllCodes + "<");
    expected.replace(expected.find("<Value>false<"), 13, "<Value>true<");
    EXPECT_EQ(wintest::ReadFileBytes(client_->publicCopy), expected);
    EXPECT_EQ(wintest::ReadFileBytes(client_->install), expected);
    EXPECT_EQ(wintest::ReadFileBytes(client_->reference), expected);

    EXPECT_EQ(wintest::Entries(temp_, false), (Texts{"setup.dll", "setup.rar", "uninstall.exe"}));
    EXPECT_EQ(wintest::ReadFileBytes(temp_ + "setup.rar"),
              wintest::ReadFileBytes(wintest::WinPath(wintest::Option("payload"))));
}

TEST_F(Silent, WithoutAClientOneMessageAndNothingWritten) {
    DWORD code = 1;
    bool sawWindow = false;
    EXPECT_EQ(Run(code, sawWindow), Texts{msgClientNotFound});
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(wintest::Entries(temp_, false).empty());
}

TEST_F(Silent, IncompatibleClientIsLeftAsItWas) {
    wintest::ClientValues palomind;
    palomind.versionType = "1";
    ASSERT_TRUE(client_->Install(palomind));
    const std::string before = Copies();
    DWORD code = 1;
    bool sawWindow = false;
    EXPECT_EQ(Run(code, sawWindow), Texts{msgVersionTypeMismatch});
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(Copies(), before);
    EXPECT_FALSE(wintest::FileExists(client_->clientFolder + "client\\translations"));
    EXPECT_TRUE(wintest::Entries(temp_, false).empty());
}

TEST_F(Silent, InstalledMarkerDoesNotStopTheSilentRoad) {
    ASSERT_TRUE(client_->Install());
    ASSERT_TRUE(wintest::SetValues(HKEY_CURRENT_USER, wintest::ClientKeyPath(),
                                   {{"ProductGuid", clientProductCode}, {"DisplayVersion", "1"}, {"installpath", "x"}}));
    DWORD code = 1;
    bool sawWindow = true;
    EXPECT_TRUE(Run(code, sawWindow).empty());
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(wintest::Entries(client_->clientFolder + "server\\translations\\", true).size(), 33u);
}

}  // namespace

namespace {

TEST_F(Silent, CopiesKeepTheirAttributesAndAFolderThatTakesNoNewFileStillGetsItsCopy) {
    ASSERT_TRUE(client_->Install());
    // The install copy is hidden; the reference copy's folder takes no new
    // file beside it (a folder stands at the name the new file would take).
    ASSERT_TRUE(SetFileAttributesA(client_->install.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    const DWORD before = GetFileAttributesA(client_->install.c_str());
    const std::string blocker = client_->reference + ".quennel-new";
    ASSERT_TRUE(CreateDirectoryA(blocker.c_str(), nullptr));
    DWORD code = 1;
    bool sawWindow = true;
    EXPECT_TRUE(Run(code, sawWindow).empty());
    EXPECT_EQ(code, 0u);
    RemoveDirectoryA(blocker.c_str());

    for (const std::string& copy : {client_->publicCopy, client_->install, client_->reference}) {
        const std::string text = wintest::ReadFileBytes(copy);
        EXPECT_NE(text.find(std::string("<Value>") + kAllCodes + "<"), std::string::npos) << copy;
        EXPECT_NE(text.find("<Value>true<"), std::string::npos) << copy;
    }
    if ((before & FILE_ATTRIBUTE_HIDDEN) == 0) GTEST_SKIP() << "this file system keeps no hidden attribute";
    EXPECT_EQ(GetFileAttributesA(client_->install.c_str()), before);
}

}  // namespace
