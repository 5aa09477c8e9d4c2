// The served client against the real Wine registry and real files:
// discovery, the client check, the translator search and the update of the
// three configuration copies.
#include <gtest/gtest.h>

#include <memory>

#include "core/shared_state.h"
#include "system/config_update.h"
#include "system/client_probe.h"
#include "test_client.h"
#include "wintest.h"

namespace {

using wintest::Box;
using wintest::BoxWatcher;
using wintest::Child;

const std::string kStoredKey = "\\{5B1E7A20-9C44-4D1F-8E63-2A70C9D41E58}";

using wintest::ClientValues;
using wintest::SetupXml;

class Client : public testing::Test {
protected:
    void SetUp() override {
        run_ = InstallRun();
        run_.clientUninstallKey = wintest::ClientKeyPath();
        root_ = wintest::MakeTempFolder("client");
        ASSERT_FALSE(root_.empty());
        location_ = root_ + "\\Program Files\\Kestrova";
        drive_ = root_ + "\\drive";
        client_.reset(new wintest::TestClient(location_, drive_));
        editionRoot_ = client_->editionRoot;
        reference_ = client_->reference;
        install_ = client_->install;
        public_ = client_->publicCopy;
        char saved[MAX_PATH] = {};
        hadDrive_ = GetEnvironmentVariableA("SYSTEMDRIVE", saved, MAX_PATH) > 0;
        savedDrive_ = saved;
        // The public users folder follows SYSTEMDRIVE, here and in child programs.
        SetEnvironmentVariableA("SYSTEMDRIVE", drive_.c_str());
        ASSERT_TRUE(wintest::DeleteKeyTree(HKEY_LOCAL_MACHINE, run_.clientUninstallKey));
    }
    void TearDown() override {
        SetEnvironmentVariableA("SYSTEMDRIVE", hadDrive_ ? savedDrive_.c_str() : nullptr);
        wintest::DeleteKeyTree(HKEY_LOCAL_MACHINE, run_.clientUninstallKey);
        run_.clientUninstallKey = kStoredKey;
    }
    void Register(const std::map<std::string, std::string>& values) {
        ASSERT_TRUE(wintest::SetValues(HKEY_LOCAL_MACHINE, run_.clientUninstallKey, values));
        for (const auto& value : values) {
            std::string bytes;
            ASSERT_TRUE(wintest::ReadValue(HKEY_LOCAL_MACHINE, run_.clientUninstallKey, value.first, bytes));
        }
    }
    void Install(const ClientValues& values = ClientValues()) { ASSERT_TRUE(client_->Install(values)); }
    void WriteCopy(const std::string& path, const std::string& text) {
        ASSERT_TRUE(client_->WriteCopy(path, text)) << path;
    }
    // Runs the installer's client check in a program of its own, answering
    // its boxes; returns the box texts and the program's output.
    std::vector<std::string> RunCheck(std::string& output, DWORD& code) {
        Child check;
        EXPECT_TRUE(check.StartCaptured(wintest::WinPath(wintest::Option("clientcheck")), ""));
        std::vector<Box> boxes;
        EXPECT_TRUE(check.RunToEnd(boxes, 60000, &code));
        output = check.Output();
        std::vector<std::string> texts;
        for (const Box& box : boxes) texts.push_back(box.text);
        return texts;
    }

    InstallRun run_;
    std::string root_, location_, drive_, editionRoot_, reference_, install_, public_;
    std::unique_ptr<wintest::TestClient> client_;
    bool hadDrive_ = false;
    std::string savedDrive_;
};

using Texts = std::vector<std::string>;

TEST_F(Client, NoEntryOneMessageAndTheProcessEnds) {
    std::string output;
    DWORD code = 1;
    EXPECT_EQ(RunCheck(output, code), Texts{msgClientNotFound});
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(output.find("verdict"), std::string::npos);
}

TEST_F(Client, MissingRegistryValuesAreReportedOneByOne) {
    Install();
    Register({});
    ASSERT_EQ(RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, run_.clientUninstallKey.c_str(), "DisplayVersion"), ERROR_SUCCESS);
    std::string output;
    DWORD code = 1;
    // Once for the check and once for the language reading: each reads the
    // registry anew.
    EXPECT_EQ(RunCheck(output, code), (Texts{msgRegistryReadFailed, msgRegistryReadFailed}));
    EXPECT_NE(output.find("verdict:                 compatible"), std::string::npos) << output;

    ASSERT_EQ(RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, run_.clientUninstallKey.c_str(), "InstallLocation"), ERROR_SUCCESS);
    EXPECT_EQ(RunCheck(output, code), (Texts{msgRegistryReadFailed, msgRegistryReadFailed, msgClientNotFound}));
    EXPECT_EQ(code, 0u);
}

TEST_F(Client, InstallLocationIsJoinedAsItStands) {
    Register({{"DisplayVersion", "1"}, {"InstallLocation", "D:\\Apps\\"}});
    BoxWatcher watcher;
    ClientProbe discovery(run_);
    discovery.FindClient();
    EXPECT_EQ(discovery.m_installLocation, "D:\\Apps\\\\Kestrova Site");
    EXPECT_EQ(discovery.m_displayVersion, "1");
    EXPECT_EQ(run_.clientFolder, "D:\\Apps\\\\Kestrova Site\\Kestrova Client\\");
    EXPECT_EQ(discovery.UnreadableValues(), 0);
    EXPECT_TRUE(watcher.Texts().empty());
}

TEST_F(Client, InstallLocationOf1023CharactersReads1024DoesNot) {
    const std::string fits = "C:\\" + std::string(1020, 'L');
    Register({{"DisplayVersion", "1"}, {"InstallLocation", fits}});
    {
        BoxWatcher watcher;
        ClientProbe discovery(run_);
        discovery.FindClient();
        EXPECT_EQ(discovery.m_installLocation, fits + "\\Kestrova Site");
        EXPECT_EQ(discovery.UnreadableValues(), 0);
    }
    Register({{"InstallLocation", fits + "L"}});
    BoxWatcher watcher;
    ClientProbe discovery(run_);
    discovery.FindClient();
    EXPECT_EQ(discovery.UnreadableValues(), 1);
    EXPECT_TRUE(watcher.Texts().empty()) << "the probe tells nobody";
    EXPECT_EQ(discovery.m_installLocation, "\\Kestrova Site");
}

TEST_F(Client, QualifyingClientSetsEveryPath) {
    Install();
    BoxWatcher watcher;
    {
        ClientProbe check(run_);
        EXPECT_EQ(check.Check(), ClientStatus::Qualifies);
        EXPECT_EQ(check.m_clientLanguages, "0,2");
    }
    EXPECT_TRUE(watcher.Texts().empty());
    EXPECT_EQ(run_.clientFolder, editionRoot_ + "\\Kestrova Client\\");
    EXPECT_EQ(run_.benchmarkSetupPath, reference_);
    EXPECT_EQ(run_.installSetupPath, install_);
    EXPECT_EQ(run_.publicSetupPath, public_);

    // A second check on a fresh object reads everything anew, with the same result.
    ClientProbe again(run_);
    std::string languages;
    EXPECT_EQ(again.ReadClientLanguages(languages), ClientStatus::Qualifies);
    EXPECT_EQ(languages, "0,2");
    EXPECT_EQ(run_.benchmarkSetupPath, reference_);
}

TEST_F(Client, IncompatibleClientsGetTheirMessage) {
    struct Case {
        ClientValues values;
        std::string message;
    };
    std::vector<Case> cases;
    for (const char* version : {"00", " 0", "0 ", "", "<!--c-->0", "1"}) {
        ClientValues v;
        v.versionType = version;
        cases.push_back({v, msgVersionTypeMismatch});
    }
    ClientValues ac;
    ac.productType = "1";
    cases.push_back({ac, msgProductTypeMismatch});
    for (const char* list : {"2,1", "1", "0,,1,"}) {
        ClientValues v;
        v.languages = list;
        cases.push_back({v, msgLanguageTypeMismatch});
    }
    for (const Case& c : cases) {
        Install(c.values);
        std::string output;
        DWORD code = 1;
        EXPECT_EQ(RunCheck(output, code), Texts{c.message}) << c.values.versionType << "/" << c.values.languages;
        EXPECT_EQ(code, 0u);
        EXPECT_EQ(output.find("verdict"), std::string::npos);
    }
}

TEST_F(Client, ProductTypeFailsAfterThePublicPathWasComposed) {
    ClientValues ac;
    ac.productType = "1";
    Install(ac);
    BoxWatcher watcher;
    ClientProbe check(run_);
    // The steps of the check up to its rules.
    check.FindClient();
    check.ReadClientConfig(reference_);
    check.ComposeUserDataPaths();
    EXPECT_EQ(run_.publicSetupPath, drive_ + "/Users/Public/Kestrova AC/UserData/Framework.C/Setup.xml");
    EXPECT_TRUE(watcher.Texts().empty());
}

TEST_F(Client, ListsWithoutTheCodeOneAndReferencesThatDoNotLoad) {
    for (const char* list : {"", "0,2,3", "11,21", " 1"}) {
        ClientValues v;
        v.languages = list;
        Install(v);
        std::string output;
        DWORD code = 1;
        EXPECT_TRUE(RunCheck(output, code).empty()) << list;
        EXPECT_NE(output.find("verdict:                 compatible"), std::string::npos) << list;
    }
    Install();
    WriteCopy(reference_, "<Setup><Languages><Value>0</Value></Languages>");  // not well-formed
    std::string output;
    DWORD code = 1;
    EXPECT_EQ(RunCheck(output, code), Texts{msgClientNotFound});
    EXPECT_EQ(code, 0u);
}

TEST_F(Client, TranslatorComesFromTheFirstCopyThatLoads) {
    ClientValues values;
    values.translator = "0";
    Install(values);
    {
        ClientProbe check(run_);
        check.Check();
    }
    ASSERT_TRUE(DeleteFileA(public_.c_str()));
    ClientValues five;
    five.translator = "5";
    WriteCopy(install_, SetupXml(five));
    BoxWatcher watcher;
    {
        ClientProbe reader(run_);
        EXPECT_EQ(reader.ReadTranslator(), "5");
    }
    // A copy that loads is used even with an empty translator.
    ClientValues blank;
    blank.translator = "";
    WriteCopy(public_, SetupXml(blank));
    {
        ClientProbe reader(run_);
        EXPECT_EQ(reader.ReadTranslator(), "");
    }
    ASSERT_TRUE(DeleteFileA(public_.c_str()));
    ASSERT_TRUE(DeleteFileA(install_.c_str()));
    ASSERT_TRUE(DeleteFileA(reference_.c_str()));
    {
        ClientProbe reader(run_);
        EXPECT_EQ(reader.ReadTranslator(), "");
    }
    EXPECT_TRUE(watcher.Texts().empty());
}

class ClientUpdate : public Client {
protected:
    void SetUp() override {
        Client::SetUp();
        Install();
        ClientProbe check(run_);
        check.Check();
        run_.selectedCodes = "3,5";
    }
    void TearDown() override {
        run_.selectedCodes.clear();
        Client::TearDown();
    }
    static std::string Updated(const std::string& text) {
        std::string expected = text;
        expected.replace(expected.find("<Value>0,2<"), 11, "<Value>3,5<");
        expected.replace(expected.find("<Value>false<"), 13, "<Value>true<");
        return expected;
    }
    bool NoLeftovers() {
        for (const std::string* path : {&reference_, &install_, &public_}) {
            if (wintest::FileExists(*path + ".quennel-new")) return false;
        }
        return true;
    }
};

TEST_F(ClientUpdate, ListReplacedInAllThreeCopies) {
    const std::string original = wintest::ReadFileBytes(reference_);
    UpdateClientConfigCopies(run_);
    for (const std::string* path : {&public_, &install_, &reference_}) {
        EXPECT_EQ(wintest::ReadFileBytes(*path), Updated(original)) << *path;
    }
    EXPECT_TRUE(NoLeftovers());
}

TEST_F(ClientUpdate, MissingPublicCopyIsNotCreated) {
    ASSERT_TRUE(DeleteFileA(public_.c_str()));
    const std::string original = wintest::ReadFileBytes(reference_);
    UpdateClientConfigCopies(run_);
    EXPECT_FALSE(wintest::FileExists(public_));
    EXPECT_EQ(wintest::ReadFileBytes(install_), Updated(original));
    EXPECT_EQ(wintest::ReadFileBytes(reference_), Updated(original));
}

TEST_F(ClientUpdate, CopiesThatCannotBeWrittenStayByteIdentical) {
    const std::string original = wintest::ReadFileBytes(reference_);
    ASSERT_TRUE(SetFileAttributesA(install_.c_str(), FILE_ATTRIBUTE_READONLY));
    // Another holder keeps the public copy open for reading only.
    HANDLE held = CreateFileA(public_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    UpdateClientConfigCopies(run_);
    CloseHandle(held);
    SetFileAttributesA(install_.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(wintest::ReadFileBytes(public_), original);
    EXPECT_EQ(wintest::ReadFileBytes(install_), original);
    EXPECT_EQ(wintest::ReadFileBytes(reference_), Updated(original));
    EXPECT_TRUE(NoLeftovers());
}

TEST_F(ClientUpdate, CopiesWithoutTheListOrNotLoadingAreLeftAlone) {
    const std::string noList = "<Setup>\n    <VersionType>\n        <Value>0</Value>\n    </VersionType>\n</Setup>\n";
    const std::string broken = "<Setup><Languages><Value>0,2</Value></Languages>";
    WriteCopy(public_, noList);
    WriteCopy(install_, broken);
    const std::string original = wintest::ReadFileBytes(reference_);
    UpdateClientConfigCopies(run_);
    EXPECT_EQ(wintest::ReadFileBytes(public_), noList);
    EXPECT_EQ(wintest::ReadFileBytes(install_), broken);
    EXPECT_EQ(wintest::ReadFileBytes(reference_), Updated(original));
}

TEST_F(ClientUpdate, DeepHugeAndBinaryFilesNeverHarmACopy) {
    std::string deep;
    for (int i = 0; i < 200000; ++i) deep += "<a>";
    std::string binary;
    for (unsigned i = 0; i < (1u << 20); ++i) binary.push_back(static_cast<char>((i * 7919u) >> 3));
    WriteCopy(public_, deep);
    WriteCopy(install_, binary);
    // A huge copy that does load is updated like any other.
    std::string huge = wintest::ReadFileBytes(reference_);
    const std::string filler = "    <Other>" + std::string(1000, 'x') + "</Other>\n";
    std::string many;
    for (int i = 0; i < 20000; ++i) many += filler;  // about 20 MB
    huge.insert(huge.find("</Setup>"), many);
    WriteCopy(reference_, huge);
    const DWORD start = GetTickCount();
    for (const std::string* path : {&public_, &install_, &reference_}) {
        try {
            UpdateClientConfig(*path, run_.selectedCodes);
        } catch (const std::exception& e) {
            ADD_FAILURE() << *path << ": " << e.what();
        }
    }
    EXPECT_LT(GetTickCount() - start, 60000u);
    // Compared whole, without a printed difference of megabytes.
    EXPECT_TRUE(wintest::ReadFileBytes(public_) == deep) << wintest::ReadFileBytes(public_).size();
    EXPECT_TRUE(wintest::ReadFileBytes(install_) == binary) << wintest::ReadFileBytes(install_).size();
    const std::string updated = wintest::ReadFileBytes(reference_);
    EXPECT_NE(updated.find("<Value>3,5</Value>"), std::string::npos);
    EXPECT_GT(updated.size(), 20000000u);
}

}  // namespace
