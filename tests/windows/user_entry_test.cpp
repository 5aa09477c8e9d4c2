// The installer's own entry under HKEY_CURRENT_USER, read with the real
// registry of the prefix.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/message_boxes.h"
#include "framework/message_box.h"
#include "pages/main_window.h"
#include "core/shared_state.h"
#include "core/startup_rules.h"
#include "wintest.h"

namespace {

using wintest::BoxWatcher;

const std::string kStoredKey = "\\{5B1E7A20-9C44-4D1F-8E63-2A70C9D41E58}";

class UserEntry : public testing::Test {
protected:
    void SetUp() override {
        key_ = wintest::ClientKeyPath();
        ASSERT_TRUE(wintest::DeleteKeyTree(HKEY_CURRENT_USER, key_));
        ASSERT_FALSE(wintest::KeyExists(HKEY_CURRENT_USER, key_));
    }
    void TearDown() override {
        wintest::DeleteKeyTree(HKEY_CURRENT_USER, key_);
    }
    void SetEntry(const std::map<std::string, std::string>& values) {
        ASSERT_TRUE(wintest::SetValues(HKEY_CURRENT_USER, key_, values));
        // Read back through the same view the installer uses.
        for (const auto& value : values) {
            std::string bytes;
            ASSERT_TRUE(wintest::ReadValue(HKEY_CURRENT_USER, key_, value.first, bytes));
        }
    }
    int NeedsInstallWith(std::vector<std::string>& messages) {
        BoxWatcher watcher;
        MessageBoxes told;
        MainWindow dlg(run_, told);
        const int result = dlg.NeedsInstall();
        messages = watcher.Texts();
        return result;
    }
    std::string key_;
    InstallRun run_;
};

TEST_F(UserEntry, KeyIsCompletedForTheRunningSystem) {
    MessageBoxes told;
    MainWindow dlg(run_, told);
    dlg.ReadUserEntry();
    const char* expected = std::getenv("QUENNEL_EXPECT_ARCH");
    ASSERT_NE(expected, nullptr) << "the test run names the prefix's architecture";
    const std::string root = std::string(expected) == "win64"
                                 ? "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
                                 : "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    EXPECT_EQ(run_.clientUninstallKey, root + kStoredKey);
    EXPECT_EQ(run_.clientUninstallKey, key_);
}

TEST_F(UserEntry, AbsentEntryIsSilentAndNeedsInstall) {
    std::vector<std::string> messages;
    EXPECT_EQ(NeedsInstallWith(messages), 1);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(run_.clientUninstallKey, key_);  // completed even though nothing opened
}

TEST_F(UserEntry, ExactProductCodeMeansInstalled) {
    SetEntry({{"ProductGuid", clientProductCode}, {"DisplayVersion", "2.1.0"}, {"installpath", "C:\\x"}});
    std::vector<std::string> messages;
    EXPECT_EQ(NeedsInstallWith(messages), 0);
    EXPECT_TRUE(messages.empty());
}

TEST_F(UserEntry, BracedOrLowerCaseCodeStillNeedsInstall) {
    for (const std::string guid :
         {"{5B1E7A20-9C44-4D1F-8E63-2A70C9D41E58}", "5b1e7a20-9c44-4d1f-8e63-2a70c9d41e58"}) {
        SetEntry({{"ProductGuid", guid}, {"DisplayVersion", "2.1.0"}, {"installpath", "C:\\x"}});
        run_ = InstallRun();  // a new run, with the key as stored
        std::vector<std::string> messages;
        EXPECT_EQ(NeedsInstallWith(messages), 1) << guid;
        EXPECT_TRUE(messages.empty());
    }
}

TEST_F(UserEntry, EachMissingValueIsReportedOnceAndTheRunGoesOn) {
    SetEntry({{"ProductGuid", clientProductCode}});
    std::vector<std::string> messages;
    EXPECT_EQ(NeedsInstallWith(messages), 0);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], msgRegistryReadFailed);
    EXPECT_EQ(messages[1], msgRegistryReadFailed);

    wintest::DeleteKeyTree(HKEY_CURRENT_USER, key_);
    SetEntry({{"DisplayVersion", "1"}});
    run_ = InstallRun();  // a new run, with the key as stored
    EXPECT_EQ(NeedsInstallWith(messages), 1);
    EXPECT_EQ(messages.size(), 2u);  // ProductGuid and installpath
}

TEST_F(UserEntry, MessagesAreApplicationBoxesWithTheProgramsName) {
    SetEntry({{"DisplayVersion", "1"}, {"installpath", "C:\\x"}});
    BoxWatcher watcher;
    MessageBoxes told;
    MainWindow dlg(run_, told);
    dlg.ReadUserEntry();
    const auto boxes = watcher.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, msgRegistryReadFailed);
    EXPECT_EQ(boxes[0].caption, ApplicationNameOfPath(ProgramPath()));
    EXPECT_EQ(boxes[0].buttons, std::vector<std::string>{"OK"});
    EXPECT_TRUE(boxes[0].warningIcon);
}

TEST_F(UserEntry, ValuesUpTo1023CharactersReadLongerOnesDoNot) {
    const std::string fits = std::string(1023 - 36, 'x') + clientProductCode;
    SetEntry({{"ProductGuid", clientProductCode}, {"DisplayVersion", fits}, {"installpath", std::string(1024, 'p')}});
    std::vector<std::string> messages;
    EXPECT_EQ(NeedsInstallWith(messages), 0);
    EXPECT_EQ(messages, std::vector<std::string>{msgRegistryReadFailed});  // installpath only

    SetEntry({{"ProductGuid", std::string(1024, 'g')}, {"installpath", "C:\\x"}});
    run_ = InstallRun();  // a new run, with the key as stored
    EXPECT_EQ(NeedsInstallWith(messages), 1);
    EXPECT_EQ(messages, std::vector<std::string>{msgRegistryReadFailed});
}

TEST_F(UserEntry, ValuesOfAnyTypeAreTakenAsTextWithinTheBuffer) {
    // Binary data without a terminator that fills the whole buffer is not
    // text that fits: reported, never read past.
    ASSERT_TRUE(wintest::SetRawValue(HKEY_CURRENT_USER, key_, "ProductGuid", REG_BINARY, std::string(1024, 'A')));
    ASSERT_TRUE(wintest::SetRawValue(HKEY_CURRENT_USER, key_, "DisplayVersion", REG_BINARY, "1.0"));
    ASSERT_TRUE(wintest::SetRawValue(HKEY_CURRENT_USER, key_, "installpath", REG_DWORD, std::string("\x01\0\0\0", 4)));
    std::vector<std::string> messages;
    EXPECT_EQ(NeedsInstallWith(messages), 1);
    EXPECT_EQ(messages, std::vector<std::string>{msgRegistryReadFailed});

    // The product code stored as binary text without a terminator still counts.
    ASSERT_TRUE(wintest::SetRawValue(HKEY_CURRENT_USER, key_, "ProductGuid", REG_BINARY, clientProductCode));
    run_ = InstallRun();  // a new run, with the key as stored
    EXPECT_EQ(NeedsInstallWith(messages), 0);
    EXPECT_TRUE(messages.empty());
}

}  // namespace
