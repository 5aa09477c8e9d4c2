// The wizard road of the real installer under Wine and Xvfb, driven the way
// a user drives it: the language page, the licence page, the progress window
// and the finish page, found on the screen and worked by their controls.
#include <gtest/gtest.h>

#include <memory>

#include "core/shared_state.h"
#include "resources/resource.h"
#include "system/start_program.h"
#include "test_client.h"
#include "wintest.h"

#include <commctrl.h>

namespace {

using wintest::Box;
using wintest::Child;
using Texts = std::vector<std::string>;

// Controls of the pages.
constexpr int kSelectAll = IDC_LANGUAGE_SELECT_ALL, kAgreement = IDC_LANGUAGE_AGREEMENT,
              kLicenseLink = IDC_LANGUAGE_LICENSE_LINK, kBack = IDC_LANGUAGE_BACK, kInstallNow = IDC_LANGUAGE_INSTALL;
constexpr int kLanguageTitle = IDC_LANGUAGE_TITLE, kHeading = IDC_LANGUAGE_HEADING, kLanguageClose = IDC_LANGUAGE_CLOSE;
constexpr int kEnglish = IDC_LANGUAGE_ENGLISH, kGreek = IDC_LANGUAGE_GREEK, kArabic = IDC_LANGUAGE_ARABIC_SAUDI_ARABIA,
              kUkrainian = IDC_LANGUAGE_UKRAINIAN;
constexpr int kLicenseText = IDC_LICENSE_TEXT, kLicenseOk = IDC_LICENSE_OK, kLicenseTitle = IDC_LICENSE_TITLE;
constexpr int kProgress = IDC_MAIN_PROGRESS, kMainTitle = IDC_MAIN_TITLE, kInstalling = IDC_MAIN_INSTALLING,
              kMainClose = IDC_MAIN_CLOSE;
constexpr int kStartNow = IDC_FINISH_START, kFinishTitle = IDC_FINISH_TITLE, kFinishClose = IDC_FINISH_CLOSE;
constexpr DWORD kPageMs = 30000;

const char* kAllCodes = "0,2,3,4,5,6,7,8,9,10,11,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,31,32,33,34,35,36";

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

// The last-write time of a file or folder; 0 when it cannot be read.
ULONGLONG WriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

LRESULT LicenseLines(HWND licensePage) {
    return SendMessageA(GetDlgItem(licensePage, kLicenseText), EM_GETLINECOUNT, 0, 0);
}

class Wizard : public testing::Test {
protected:
    void SetUp() override {
        quennel_ = wintest::WinPath(wintest::Option("quennel"));
        standin_ = wintest::WinPath(wintest::Option("standin"));
        shots_ = wintest::WinPath(wintest::Option("screenshots"));
        const std::string tree = wintest::Option("payload-tree");
        if (!tree.empty()) tree_ = wintest::WinPath(tree) + "\\";
        ASSERT_TRUE(wintest::FileExists(quennel_));
        installation_.reset(new wintest::Installation("wizard"));
        root_ = installation_->root;
        temp_ = installation_->temp;
        client_ = &installation_->client;
        wintest::DeleteKeyTree(HKEY_LOCAL_MACHINE, kRuntimeProductKey);
        wintest::DeleteKeyTree(HKEY_LOCAL_MACHINE, kRuntimeProductKeyWow64);
        StopStandins();
    }
    void TearDown() override {
        quennel_child_.reset();
        StopStandins();
        installation_.reset();
    }
    static void StopStandins() {
        for (const char* name : {"Ombrix.exe", "vcredist_x86.exe"}) {
            while (DWORD pid = wintest::ProcessByName(name)) wintest::KillProcess(pid);
        }
    }
    // Installs the client, with stand-ins of the tool and the runtime
    // installer in its folder, and starts the installer's wizard.
    HWND StartWizard(const std::string& languages = "0,2", const std::string& translator = "0") {
        wintest::ClientValues values;
        values.languages = languages;
        values.translator = translator;
        EXPECT_TRUE(client_->Install(values));
        EXPECT_TRUE(wintest::CopyTo(standin_, client_->clientFolder + "Ombrix.exe"));
        EXPECT_TRUE(wintest::CopyTo(standin_, client_->clientFolder + "vcredist_x86.exe"));
        quennel_child_.reset(new Child());
        EXPECT_TRUE(quennel_child_->Start(quennel_, ""));
        HWND page = wintest::WaitForPage(pid(), kSelectAll, kPageMs);
        EXPECT_NE(page, nullptr) << "no language page";
        return page;
    }
    DWORD pid() const { return quennel_child_->pid(); }
    void Shot(HWND window, const char* name) {
        if (shots_.empty()) return;
        Sleep(700);  // let the page finish painting
        wintest::SaveWindowShot(window, shots_ + "\\" + name + ".bmp");
    }
    std::string LanguagesOf(const std::string& copy) {
        const std::string text = wintest::ReadFileBytes(copy);
        const auto start = text.find("<Languages>");
        const auto value = text.find("<Value>", start);
        const auto end = text.find("</Value>", value);
        return start == std::string::npos ? "?" : text.substr(value + 7, end - value - 7);
    }
    // Waits for the process to end, answering no box; its exit status.
    DWORD ExitStatus() {
        DWORD code = 999;
        EXPECT_TRUE(quennel_child_->WaitExit(kPageMs, &code)) << "the installer did not end";
        return code;
    }

    std::string quennel_, standin_, shots_, tree_, root_, temp_;
    std::unique_ptr<wintest::Installation> installation_;
    wintest::TestClient* client_ = nullptr;
    std::unique_ptr<Child> quennel_child_;
};

TEST_F(Wizard, LanguagePageIsPresetFromTheClientAndNeedsTheAgreement) {
    HWND page = StartWizard("0,2", "0");
    ASSERT_NE(page, nullptr);
    // The main window is not shown while the language page is open.
    EXPECT_EQ(wintest::FindPage(pid(), kProgress), nullptr);

    EXPECT_EQ(wintest::Text(page, kLanguageTitle), "Quennel InstallShield Wizard");
    EXPECT_EQ(wintest::Text(page, kHeading), "Install Quennel to");
    EXPECT_EQ(wintest::Text(page, kLicenseLink), "License Agreement");
    EXPECT_EQ(wintest::Text(page, kAgreement), "Read and Accept");
    EXPECT_EQ(wintest::Text(page, kInstallNow), "Install Now");
    EXPECT_EQ(wintest::Text(page, kBack), "<  Back");
    EXPECT_FALSE(wintest::Visible(page, kBack));
    // Each box names its language for screen readers.
    EXPECT_EQ(wintest::Text(page, kEnglish), "English");
    EXPECT_EQ(wintest::Text(page, kArabic), "Arabic (Saudi Arabia)");

    // "0,2" with translator 0: English and Greek checked, English disabled.
    EXPECT_EQ(wintest::CheckState(page, kSelectAll), BST_UNCHECKED);
    EXPECT_EQ(wintest::CheckState(page, kEnglish), BST_CHECKED);
    EXPECT_FALSE(wintest::Enabled(page, kEnglish));
    EXPECT_EQ(wintest::CheckState(page, kGreek), BST_CHECKED);
    EXPECT_TRUE(wintest::Enabled(page, kGreek));
    EXPECT_EQ(wintest::CheckState(page, kArabic), BST_UNCHECKED);

    EXPECT_FALSE(wintest::Enabled(page, kInstallNow));
    // In their page fonts the tick and the link show their texts whole, side by side.
    RECT tick, link;
    GetWindowRect(GetDlgItem(page, kAgreement), &tick);
    GetWindowRect(GetDlgItem(page, kLicenseLink), &link);
    EXPECT_LT(tick.right, link.left);
    EXPECT_LT(link.right, [&] {
        RECT install;
        GetWindowRect(GetDlgItem(page, kInstallNow), &install);
        return install.left;
    }());
    Shot(page, "language-page");
    wintest::Click(page, kAgreement);
    EXPECT_TRUE(wintest::WaitUntil([&] { return wintest::Enabled(page, kInstallNow); }, 5000));
    wintest::Click(page, kAgreement);
    EXPECT_TRUE(wintest::WaitUntil([&] { return !wintest::Enabled(page, kInstallNow); }, 5000));

    // Select All checks everything; unticked, the disabled English box keeps its mark.
    wintest::Click(page, kSelectAll);
    EXPECT_TRUE(wintest::WaitUntil([&] { return wintest::CheckState(page, kArabic) == BST_CHECKED; }, 5000));
    wintest::Click(page, kSelectAll);
    EXPECT_TRUE(wintest::WaitUntil([&] { return wintest::CheckState(page, kArabic) == BST_UNCHECKED; }, 5000));
    EXPECT_EQ(wintest::CheckState(page, kEnglish), BST_CHECKED);
    EXPECT_EQ(wintest::CheckState(page, kGreek), BST_UNCHECKED);

    // The close button ends the program at once, installing nothing.
    wintest::Click(page, kLanguageClose);
    EXPECT_EQ(ExitStatus(), 0u);
    EXPECT_FALSE(wintest::FileExists(client_->clientFolder + "client\\translations"));
    EXPECT_FALSE(wintest::FileExists(temp_ + "setup.rar"));
    EXPECT_TRUE(wintest::FileExists(temp_ + "license.rtf"));
}

TEST_F(Wizard, LicensePageOpensTwiceAndReportsAMissingText) {
    HWND page = StartWizard();
    ASSERT_NE(page, nullptr);
    for (int round = 0; round < 2; ++round) {
        wintest::ClickStatic(page, kLicenseLink);
        HWND licensePage = wintest::WaitForPage(pid(), kLicenseText, kPageMs);
        ASSERT_NE(licensePage, nullptr) << "round " << round;
        EXPECT_EQ(wintest::Text(licensePage, kLicenseTitle), "Quennel InstallShield Wizard");
        EXPECT_EQ(wintest::Text(licensePage, kLicenseOk), "OK");
        // The text box's own text is not readable from another process; its
        // line count tells whether the licence was loaded.
        EXPECT_TRUE(wintest::WaitUntil([&] { return LicenseLines(licensePage) > 20; }, 5000))
            << "the licence text is not loaded: " << LicenseLines(licensePage) << " lines";
        if (round == 0) {
            Shot(licensePage, "license-page");
            wintest::Click(licensePage, kLicenseOk);
        } else {
            wintest::PressKey(licensePage, VK_ESCAPE);
        }
        EXPECT_TRUE(wintest::WaitUntil([&] { return !IsWindow(licensePage) || !IsWindowVisible(licensePage); }, 5000));
        EXPECT_NE(wintest::FindPage(pid(), kSelectAll), nullptr);
    }

    ASSERT_TRUE(DeleteFileA((temp_ + "license.rtf").c_str()));
    wintest::ClickStatic(page, kLicenseLink);
    Box box;
    ASSERT_TRUE(quennel_child_->WaitBox(box, kPageMs));
    EXPECT_EQ(box.text, "Opening license agreement failed.!");
    EXPECT_EQ(box.caption, "Quennel");
    wintest::PressOk(box);
    HWND licensePage = wintest::WaitForPage(pid(), kLicenseText, kPageMs);
    ASSERT_NE(licensePage, nullptr);
    EXPECT_LE(LicenseLines(licensePage), 1);
    wintest::Click(licensePage, kLicenseOk);
    wintest::Click(wintest::WaitForPage(pid(), kSelectAll, kPageMs), kLanguageClose);
    EXPECT_EQ(ExitStatus(), 0u);
}

TEST_F(Wizard, ChosenLanguagesLandInEveryCopyAndStartNowStartsTheTool) {
    HWND page = StartWizard("0,2", "30");
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(wintest::Enabled(page, kEnglish));  // 30 is no language: nothing disabled
    wintest::Click(page, kEnglish);
    wintest::Click(page, kGreek);
    wintest::Click(page, kArabic);
    wintest::Click(page, kUkrainian);
    wintest::Click(page, kAgreement);
    ASSERT_TRUE(wintest::WaitUntil([&] { return wintest::Enabled(page, kInstallNow); }, 5000));
    wintest::Click(page, kInstallNow);

    // Then the progress window, then the finish page.
    HWND finish = wintest::WaitForPage(pid(), kFinishClose, 60000);
    ASSERT_NE(finish, nullptr) << "no finish page";
    EXPECT_EQ(wintest::Text(finish, kFinishTitle), "Quennel Installing");
    EXPECT_EQ(wintest::Text(finish, kStartNow), "Start Now");
    EXPECT_EQ(wintest::FindPage(pid(), kProgress), nullptr) << "the progress window stays on screen";
    for (const std::string* copy : {&client_->publicCopy, &client_->install, &client_->reference}) {
        EXPECT_EQ(LanguagesOf(*copy), "34,35") << *copy;
    }
    EXPECT_EQ(wintest::ReadFileBytes(client_->clientFolder + "server\\translations\\Thai\\Server.s_th.qm").empty(),
              false);
    // The archive's folder entries follow its last data: the extraction went
    // on to the archive's end before the finish page, so every folder carries
    // the time the archive stored for it, not the time its first file made it.
    if (!tree_.empty()) {
        const auto folders = wintest::EntriesBelow(tree_, true);
        ASSERT_GT(folders.size(), 60u);
        for (const std::string& folder : folders) {
            EXPECT_EQ(WriteTime(client_->clientFolder + folder), WriteTime(tree_ + folder)) << folder;
        }
    }
    // The runtime product is missing: its installer was started from the client folder.
    EXPECT_TRUE(wintest::WaitUntil([] { return wintest::ProcessByName("vcredist_x86.exe") != 0; }, 10000));
    Shot(finish, "finish-page");

    wintest::Click(finish, kStartNow);
    EXPECT_EQ(ExitStatus(), 0u);
    EXPECT_TRUE(wintest::WaitUntil([] { return wintest::ProcessByName("Ombrix.exe") != 0; }, 10000))
        << "Start Now did not start the tool";
}

TEST_F(Wizard, EnterNeedsTheAgreementAndEscapeEndsTheSetup) {
    HWND page = StartWizard("0", "0");
    ASSERT_NE(page, nullptr);
    // Enter while the agreement is not ticked starts nothing.
    wintest::PressKey(page, VK_RETURN);
    Sleep(1500);
    EXPECT_NE(wintest::FindPage(pid(), kSelectAll), nullptr) << "the page ended";
    EXPECT_FALSE(wintest::FileExists(temp_ + "setup.rar"));
    // Escape ends the setup as the close button does.
    wintest::PressKey(page, VK_ESCAPE);
    EXPECT_EQ(ExitStatus(), 0u);
    EXPECT_FALSE(wintest::FileExists(temp_ + "setup.rar"));
    EXPECT_FALSE(wintest::FileExists(client_->clientFolder + "client\\translations"));
    EXPECT_EQ(LanguagesOf(client_->reference), "0");
}

TEST_F(Wizard, EnterWithTheAgreementInstallsTheBoxesAndTheCloseButtonStartsNothing) {
    ASSERT_TRUE(wintest::SetValues(HKEY_LOCAL_MACHINE, kRuntimeProductKeyWow64, {{"DisplayName", "runtime"}}));
    HWND page = StartWizard("0", "0");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(wintest::CheckState(page, kSelectAll), BST_CHECKED);
    // Enter does what Install Now does: the boxes as the user left them.
    wintest::Click(page, kArabic);
    ASSERT_TRUE(wintest::WaitUntil([&] { return wintest::CheckState(page, kArabic) == BST_UNCHECKED; }, 5000));
    wintest::Click(page, kAgreement);
    ASSERT_TRUE(wintest::WaitUntil([&] { return wintest::Enabled(page, kInstallNow); }, 5000));
    wintest::PressKey(page, VK_RETURN);

    HWND finish = wintest::WaitForPage(pid(), kFinishClose, 60000);
    ASSERT_NE(finish, nullptr);
    std::string withoutArabic = kAllCodes;
    withoutArabic.replace(withoutArabic.find(",34,"), 3, "");
    EXPECT_EQ(LanguagesOf(client_->reference), withoutArabic);
    wintest::Click(finish, kFinishClose);
    EXPECT_EQ(ExitStatus(), 0u);
    Sleep(500);
    EXPECT_EQ(wintest::ProcessByName("Ombrix.exe"), 0u);
    EXPECT_EQ(wintest::ProcessByName("vcredist_x86.exe"), 0u) << "the runtime is present in one view";
}

TEST_F(Wizard, EmptyChoiceIsRefusedByInstallNowAndByEnter) {
    HWND page = StartWizard("", "abc");
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(wintest::Enabled(page, kEnglish));  // "abc" reads as 0
    EXPECT_EQ(wintest::CheckState(page, kEnglish), BST_UNCHECKED);
    wintest::Click(page, kAgreement);
    ASSERT_TRUE(wintest::WaitUntil([&] { return wintest::Enabled(page, kInstallNow); }, 5000));
    for (bool enter : {false, true}) {
        if (enter) {
            wintest::PressKey(page, VK_RETURN);
        } else {
            wintest::Click(page, kInstallNow);
        }
        Box box;
        ASSERT_TRUE(quennel_child_->WaitBox(box, kPageMs)) << "enter " << enter;
        EXPECT_EQ(box.text, "Please select at least one language.");
        wintest::PressOk(box);
        EXPECT_TRUE(wintest::WaitUntil([&] { return !IsWindow(box.hwnd); }, 5000));
        ASSERT_NE(wintest::FindPage(pid(), kSelectAll), nullptr) << "the page stays";
    }
    wintest::Click(page, kLanguageClose);
    EXPECT_EQ(ExitStatus(), 0u);
    EXPECT_FALSE(wintest::FileExists(temp_ + "setup.rar"));
}

TEST_F(Wizard, MainWindowStaysOpenWhileInstallingAndHasItsAboutBox) {
    HWND page = StartWizard();
    ASSERT_NE(page, nullptr);
    const std::vector<DWORD> before = wintest::ThreadsOf(pid());
    wintest::Click(page, kAgreement);
    ASSERT_TRUE(wintest::WaitUntil([&] { return wintest::Enabled(page, kInstallNow); }, 5000));
    wintest::Click(page, kInstallNow);

    // Hold the extraction worker as soon as it appears, so that the window
    // stays in its installing state while it is tried.
    std::vector<HANDLE> held;
    wintest::WaitUntil(
        [&] {
            for (DWORD id : wintest::ThreadsOf(pid())) {
                if (std::find(before.begin(), before.end(), id) != before.end()) continue;
                HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, id);
                if (thread != nullptr && SuspendThread(thread) != static_cast<DWORD>(-1)) held.push_back(thread);
            }
            return !held.empty() && wintest::FindPage(pid(), kProgress) != nullptr;
        },
        kPageMs);
    HWND main = wintest::FindPage(pid(), kProgress);
    if (main == nullptr) {
        for (HANDLE thread : held) ResumeThread(thread);
        GTEST_SKIP() << "the installation ended before its window could be held";
    }
    EXPECT_EQ(wintest::Text(main, kMainTitle), "Quennel Installing");
    EXPECT_EQ(wintest::Text(main, kInstalling), "Installing");
    // The bar is red on white, with or without a visual theme: at half way,
    // the middle row is red in its first quarter and white in its last.
    HWND bar = GetDlgItem(main, kProgress);
    SendMessageA(bar, PBM_SETPOS, 50, 0);
    RECT window, shown;  // the bar shows only through its window's region
    GetWindowRect(bar, &window);
    ASSERT_NE(GetWindowRgnBox(bar, &shown), ERROR);
    OffsetRect(&shown, window.left, window.top);
    Sleep(300);
    const int row = (shown.top + shown.bottom) / 2, width = shown.right - shown.left;
    const COLORREF filled = ScreenPixel(shown.left + width / 4, row);
    const COLORREF empty = ScreenPixel(shown.right - width / 4, row);
    EXPECT_TRUE(GetRValue(filled) > 200 && GetGValue(filled) < 110 && GetBValue(filled) < 110)
        << std::hex << "filled part " << filled;
    EXPECT_TRUE(GetRValue(empty) > 235 && GetGValue(empty) > 235 && GetBValue(empty) > 235)
        << std::hex << "empty part " << empty;
    Shot(main, "progress-window");
    SendMessageA(bar, PBM_SETPOS, 0, 0);

    wintest::PressKey(main, VK_ESCAPE);
    wintest::PressKey(main, VK_RETURN);
    PostMessageA(main, WM_CLOSE, 0, 0);
    PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    wintest::Click(main, kMainClose);
    Sleep(1000);
    EXPECT_TRUE(IsWindowVisible(main)) << "the main window closed";

    PostMessageA(main, WM_SYSCOMMAND, 0x10, 0);
    HWND about = wintest::WaitForPage(pid(), IDOK, kPageMs);
    ASSERT_NE(about, nullptr) << "no about box";
    EXPECT_EQ(wintest::WindowTextW(about), L"关于 setup");
    wintest::Click(about, IDOK);
    EXPECT_TRUE(wintest::WaitUntil([&] { return !IsWindow(about); }, 5000));
    EXPECT_TRUE(IsWindowVisible(main));

    for (HANDLE thread : held) {
        ResumeThread(thread);
        CloseHandle(thread);
    }
    HWND finish = wintest::WaitForPage(pid(), kFinishClose, 60000);
    ASSERT_NE(finish, nullptr);
    wintest::Click(finish, kFinishClose);
    EXPECT_EQ(ExitStatus(), 0u);
}

TEST_F(Wizard, InstalledMarkerMeansNothingIsExtractedAndTheUserCanLeave) {
    ASSERT_TRUE(wintest::SetValues(HKEY_CURRENT_USER, wintest::ClientKeyPath(),
                                   {{"ProductGuid", clientProductCode}, {"DisplayVersion", "1"}, {"installpath", "x"}}));
    HWND page = StartWizard();
    ASSERT_NE(page, nullptr);
    wintest::Click(page, kAgreement);
    ASSERT_TRUE(wintest::WaitUntil([&] { return wintest::Enabled(page, kInstallNow); }, 5000));
    wintest::Click(page, kInstallNow);
    Box box;
    ASSERT_TRUE(quennel_child_->WaitBox(box, kPageMs));
    EXPECT_NE(box.text.find("already installed"), std::string::npos) << box.text;
    wintest::PressOk(box);
    EXPECT_EQ(ExitStatus(), 0u);
    EXPECT_FALSE(wintest::FileExists(client_->clientFolder + "client\\translations"));
    EXPECT_FALSE(wintest::FileExists(temp_ + "setup.rar"));
}

}  // namespace
