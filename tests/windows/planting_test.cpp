// DLLs planted beside the installer, in the folder a user downloads it to,
// and in the temporary folder, are never loaded: on the silent road and on
// the wizard road, to their ends.
//
// Wine's loader is told to prefer a DLL found beside the program, as Windows
// does for every DLL that is not one of its known DLLs (Wine otherwise takes
// its own built-in copy wherever a program looks). Each planted DLL leaves a
// marker file when it is loaded.
#include <gtest/gtest.h>

#include "wintest.h"

#include <tlhelp32.h>

#include <algorithm>
#include <memory>
#include <set>

#include "resources/resource.h"
#include "test_client.h"

namespace {

constexpr int kSelectAll = IDC_LANGUAGE_SELECT_ALL, kAgreement = IDC_LANGUAGE_AGREEMENT, kInstallNow = IDC_LANGUAGE_INSTALL,
              kFinishClose = IDC_FINISH_CLOSE;
constexpr DWORD kPageMs = 30000;

// The DLLs a Windows program is known to pick up from its own folder.
const char* const kPlanted[] = {
    "version", "uxtheme", "dwmapi", "cryptbase", "riched20", "msftedit", "propsys", "profapi", "userenv", "sspicli",
    "wtsapi32", "msimg32", "winmm", "shfolder", "apphelp", "dbghelp", "secur32", "cryptsp", "rsaenh", "bcrypt"};

// Windows always takes these from its system folder (its known DLLs and what
// they are made of), so they are not planted.
const std::set<std::string> kAlwaysFromSystem = {
    "ntdll", "kernel32", "kernelbase", "win32u", "gdi32full", "ucrtbase", "msvcp_win", "bcryptprimitives",
    "advapi32", "clbcatq", "combase", "comdlg32", "coml2", "difxapi", "gdi32", "gdiplus", "imagehlp", "imm32",
    "msctf", "msvcrt", "normaliz", "nsi", "ole32", "oleaut32", "psapi", "rpcrt4", "sechost", "setupapi",
    "shcore", "shell32", "shlwapi", "user32", "wldap32", "ws2_32"};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// Name and full path of every module the process has loaded.
std::vector<std::pair<std::string, std::string>> ModulesOf(DWORD pid) {
    std::vector<std::pair<std::string, std::string>> modules;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, pid);
    if (snapshot == INVALID_HANDLE_VALUE) return modules;
    MODULEENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32First(snapshot, &entry); more; more = Module32Next(snapshot, &entry)) {
        modules.emplace_back(Lower(entry.szModule), Lower(entry.szExePath));
    }
    CloseHandle(snapshot);
    return modules;
}

std::string OverridesKey(const std::string& program) {
    return "Software\\Wine\\AppDefaults\\" + program + "\\DllOverrides";
}

class Planting : public testing::Test {
protected:
    void SetUp() override {
        installer_ = wintest::WinPath(wintest::Option("quennel"));
        marker_ = wintest::WinPath(wintest::Option("marker"));
        control_ = wintest::WinPath(wintest::Option("control"));
        ASSERT_TRUE(wintest::FileExists(installer_) && wintest::FileExists(marker_) && wintest::FileExists(control_));
        installation_.reset(new wintest::Installation("planting"));
        downloads_ = installation_->root + "\\Downloads";
        ASSERT_TRUE(CreateDirectoryA(downloads_.c_str(), nullptr));
        ASSERT_TRUE(wintest::CopyTo(installer_, downloads_ + "\\Quennel.exe"));
        ASSERT_TRUE(wintest::CopyTo(control_, downloads_ + "\\Control.exe"));
        for (const char* name : kPlanted) names_.insert(name);
    }
    void TearDown() override {
        for (const char* program : {"Quennel.exe", "Control.exe"}) {
            wintest::DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\" + std::string(program));
        }
        installation_.reset();
    }

    // Tells Wine's loader to prefer the planted DLLs for this program, in
    // both registry views (a 32-bit Wine program reads the 32-bit one).
    void PreferPlanted(const std::string& program) {
        for (REGSAM view : {REGSAM(KEY_WOW64_64KEY), REGSAM(KEY_WOW64_32KEY)}) {
            HKEY key = nullptr;
            ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, OverridesKey(program).c_str(), 0, nullptr, 0,
                                      KEY_WRITE | view, nullptr, &key, nullptr),
                      ERROR_SUCCESS);
            for (const std::string& name : names_) {
                RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>("native,builtin"), 15);
            }
            RegCloseKey(key);
        }
    }
    void Plant(const std::string& folder) {
        for (const std::string& name : names_) ASSERT_TRUE(wintest::CopyTo(marker_, folder + "\\" + name + ".dll"));
    }
    // The planted DLLs that some process loaded.
    std::vector<std::string> Loaded() {
        std::vector<std::string> loaded;
        for (const std::string& folder : {downloads_, installation_->temp}) {
            for (const std::string& name : names_) {
                if (wintest::FileExists(folder + "\\" + name + ".dll.loaded")) loaded.push_back(folder + ": " + name);
                DeleteFileA((folder + "\\" + name + ".dll.loaded").c_str());
            }
        }
        return loaded;
    }
    // Modules of the process loaded from the two folders, but the program
    // itself and the archive library it wrote and checked (setup.dll).
    std::vector<std::string> FromPlantingFolders(DWORD pid) {
        std::vector<std::string> found;
        for (const auto& module : ModulesOf(pid)) {
            const bool inDownloads = module.second.rfind(Lower(downloads_) + "\\", 0) == 0;
            const bool inTemp = module.second.rfind(Lower(installation_->temp), 0) == 0;
            if ((inDownloads && module.first != "quennel.exe") || (inTemp && module.first != "setup.dll")) {
                found.push_back(module.second);
            }
        }
        return found;
    }
    // Runs the wizard from the downloads folder to its end (the finish page
    // closed); the modules the process had loaded on each page.
    std::vector<std::pair<std::string, std::string>> RunWizard() {
        std::vector<std::pair<std::string, std::string>> modules;
        wintest::Child child;
        EXPECT_TRUE(child.Start(downloads_ + "\\Quennel.exe", "", downloads_));
        HWND page = wintest::WaitForPage(child.pid(), kSelectAll, kPageMs);
        EXPECT_NE(page, nullptr) << "no language page";
        if (page == nullptr) return modules;
        modules = ModulesOf(child.pid());
        EXPECT_EQ(FromPlantingFolders(child.pid()), std::vector<std::string>());
        wintest::Click(page, kAgreement);
        EXPECT_TRUE(wintest::WaitUntil([&] { return wintest::Enabled(page, kInstallNow); }, 5000));
        wintest::Click(page, kInstallNow);
        HWND finish = wintest::WaitForPage(child.pid(), kFinishClose, 60000);
        EXPECT_NE(finish, nullptr) << "no finish page";
        if (finish == nullptr) return modules;
        for (auto& module : ModulesOf(child.pid())) modules.push_back(module);
        EXPECT_EQ(FromPlantingFolders(child.pid()), std::vector<std::string>());
        wintest::Click(finish, kFinishClose);
        DWORD code = 999;
        EXPECT_TRUE(child.WaitExit(kPageMs, &code));
        EXPECT_EQ(code, 0u);
        return modules;
    }
    bool InstallClient() { return installation_->client.Install(wintest::ClientValues()); }
    std::string Reference() { return wintest::ReadFileBytes(installation_->client.reference); }

    std::string installer_, marker_, control_, downloads_;
    std::unique_ptr<wintest::Installation> installation_;
    std::set<std::string> names_;
};

TEST_F(Planting, NoDllBesideTheInstallerOrInTheTemporaryFolderIsLoaded) {
    // The markers work: a program that imports USER32 the ordinary way picks
    // up at least one of them from its own folder.
    Plant(downloads_);
    PreferPlanted("Control.exe");
    {
        wintest::Child control;
        ASSERT_TRUE(control.Start(downloads_ + "\\Control.exe", "", downloads_));
        control.WaitExit(kPageMs);
    }
    EXPECT_FALSE(Loaded().empty()) << "the planted DLLs are not seen even where they are loaded";

    // Every DLL the installer loads on the wizard road is planted too, but
    // those Windows always takes from its system folder.
    ASSERT_TRUE(InstallClient());
    for (const auto& module : RunWizard()) {
        const std::string& name = module.first;
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".dll") == 0) {
            const std::string base = name.substr(0, name.size() - 4);
            if (kAlwaysFromSystem.count(base) == 0) names_.insert(base);
        }
    }
    EXPECT_TRUE(names_.count("comctl32")) << "the wizard was not seen loading its controls";
    Plant(downloads_);
    Plant(installation_->temp);
    PreferPlanted("Quennel.exe");

    // The silent road, to its end.
    ASSERT_TRUE(InstallClient());
    {
        wintest::Child silent;
        ASSERT_TRUE(silent.Start(downloads_ + "\\Quennel.exe", "/silent", downloads_));
        std::vector<wintest::Box> boxes;
        DWORD code = 999;
        EXPECT_TRUE(silent.RunToEnd(boxes, 60000, &code));
        EXPECT_EQ(code, 0u);
        EXPECT_TRUE(boxes.empty());
    }
    EXPECT_NE(Reference().find("<Value>true</Value>"), std::string::npos) << "the silent road did not install";
    EXPECT_EQ(Loaded(), std::vector<std::string>()) << "silent road";

    // The wizard road, to its end.
    ASSERT_TRUE(InstallClient());
    RunWizard();
    EXPECT_NE(Reference().find("<Value>true</Value>"), std::string::npos) << "the wizard road did not install";
    EXPECT_EQ(Loaded(), std::vector<std::string>()) << "wizard road";
}

}  // namespace
