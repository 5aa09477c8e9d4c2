// Faults injected into real installations under Wine: a temporary folder that
// cannot be written, a full disk, corrupt payloads, copies that cannot be
// written, a planted library, kills at random moments, two installers at
// once, paths outside ASCII; on the wizard, /silent and /quiet roads.
// Whatever happens, no configuration copy may be left corrupted, no run may
// hang, and the exit status tells the outcome where the road has one. The
// suite writes its figures to the report file given with --report.
#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <atomic>
#include <random>
#include <thread>

#include <tinyxml2.h>

#include "core/shared_state.h"
#include "core/config_document.h"
#include "resources/resource.h"
#include "test_client.h"
#include "wintest.h"

namespace {

using wintest::Box;
using wintest::Child;
using Texts = std::vector<std::string>;

constexpr int kAgreement = IDC_LANGUAGE_AGREEMENT, kInstallNow = IDC_LANGUAGE_INSTALL, kSelectAll = IDC_LANGUAGE_SELECT_ALL;
constexpr DWORD kRunMs = 120000;
const char* kAllCodes = "0,2,3,4,5,6,7,8,9,10,11,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,31,32,33,34,35,36";

struct Outcome {
    std::string scenario;
    int faults = 0;
    int survived = 0;
    int corrupted = 0;
    int hung = 0;
    std::string note = std::string();
};
std::vector<Outcome> g_outcomes;

class ReportWriter : public testing::Environment {
public:
    void TearDown() override {
        const std::string path = wintest::WinPath(wintest::Option("report"));
        if (path.empty()) return;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << "# Reliability: faults injected into real installations\n\n"
               "Written by the fault-injection suite (tests/windows/fault_test.cpp) on its last run under Wine, "
            << "on the shipped 32-bit installer, "
            << (std::getenv("QUENNEL_QEMU_ROUTE") != nullptr ? "Wine's 32-bit loader running through qemu-user"
                                                             : "Wine's 32-bit loader running natively")
            << ".\n"
               "A fault is survived when the installer ends by itself with the status its road gives the\n"
               "outcome (the wizard always 0; /silent and /quiet 1603 for an installation that could not\n"
               "complete; /quiet 5 when a configuration copy could not be updated; 0 otherwise), tells\n"
               "the user what went wrong where it should (on /quiet: in its log, with no window and no box),\n"
               "and leaves every configuration copy either as it was or completely updated and well-formed.\n\n"
               "| scenario | faults injected | survived | copies corrupted | runs hung | notes |\n"
               "|---|---:|---:|---:|---:|---|\n";
        Outcome total{"**total**"};
        for (const Outcome& o : g_outcomes) {
            out << "| " << o.scenario << " | " << o.faults << " | " << o.survived << " | " << o.corrupted << " | "
                << o.hung << " | " << o.note << " |\n";
            total.faults += o.faults;
            total.survived += o.survived;
            total.corrupted += o.corrupted;
            total.hung += o.hung;
        }
        out << "| " << total.scenario << " | " << total.faults << " | " << total.survived << " | "
            << total.corrupted << " | " << total.hung << " | |\n";
    }
};
const testing::Environment* const g_report = testing::AddGlobalTestEnvironment(new ReportWriter);

std::string Updated(const std::string& original, const std::string& codes) {
    std::string text = original;
    text.replace(text.find("<Value>0,2<"), 11, "<Value>" + codes + "<");
    text.replace(text.find("<Value>false<"), 13, "<Value>true<");
    return text;
}

bool WellFormed(const std::string& text) {
    tinyxml2::XMLDocument document;
    return ParseConfigText(text, document);
}

enum class Road { Silent, Wizard, Quiet };
const char* NameOf(Road road) { return road == Road::Silent ? "silent" : road == Road::Wizard ? "wizard" : "quiet"; }
// The status of an installation that could not complete.
DWORD FailedStatus(Road road) { return road == Road::Wizard ? 0 : 1603; }
const char* kWindowShown = "(a window was shown)";

// The last line of a log, without its time stamp.
std::string LastLogLine(const std::string& log) {
    if (log.size() < 2 || log.compare(log.size() - 2, 2, "\r\n") != 0) return std::string();
    const size_t start = log.rfind("\r\n", log.size() - 3);
    const std::string line = log.substr(start == std::string::npos ? 0 : start + 2);
    return line.size() > 26 ? line.substr(24, line.size() - 26) : std::string();
}

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(folder + "\\" + name);
            } else {
                DeleteFileA((folder + "\\" + name).c_str());
            }
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

class Faults : public testing::Test {
protected:
    void SetUp() override {
        quennel_ = wintest::WinPath(wintest::Option("quennel"));
        tree_ = wintest::WinPath(wintest::Option("payload-tree")) + "\\";
        ASSERT_TRUE(wintest::FileExists(quennel_));
        root_ = wintest::MakeTempFolder("faults");
        UseTemp(root_ + "\\temp\\");
        char drive[MAX_PATH] = {};
        GetEnvironmentVariableA("SYSTEMDRIVE", drive, MAX_PATH);
        drive_ = drive;
        UseClient(root_ + "\\Program Files\\Kestrova");
        wintest::DeleteKeyTree(HKEY_CURRENT_USER, wintest::ClientKeyPath());
    }
    void TearDown() override {
        if (client_) {
            SetFileAttributesA(client_->install.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(client_->publicCopy.c_str());
        }
        wintest::TestClient::Unregister();
    }
    void UseTemp(const std::string& folder) {
        temp_ = folder;
        CreateDirectoryA(temp_.c_str(), nullptr);
        environment_.Set("TMP", temp_);
        environment_.Set("TEMP", temp_);
    }
    void UseClient(const std::string& location) {
        client_.reset(new wintest::TestClient(location, drive_));
        DeleteFileA(client_->publicCopy.c_str());
        ASSERT_TRUE(client_->Install());
        original_ = wintest::ReadFileBytes(client_->reference);
        ASSERT_FALSE(original_.empty());
    }
    std::vector<std::string> Copies() const {
        return {wintest::ReadFileBytes(client_->publicCopy), wintest::ReadFileBytes(client_->install),
                wintest::ReadFileBytes(client_->reference)};
    }
    // Copies changed although nothing may have been completed.
    int ChangedCopies() const {
        int changed = 0;
        for (const std::string& copy : Copies()) changed += copy != original_;
        return changed;
    }
    // Copies that are neither as before nor completely updated and well-formed.
    int PartialCopies(const std::string& codes) const {
        int partial = 0;
        for (const std::string& copy : Copies()) {
            partial += !(copy == original_ || (copy == Updated(original_, codes) && WellFormed(copy)));
        }
        return partial;
    }
    bool Extracted() const {
        return wintest::FileExists(client_->clientFolder + "server\\translations\\Thai\\Server.s_th.qm");
    }
    // A silent or quiet run answered box by box; false when it did not end.
    // A quiet run that shows any window adds kWindowShown to the texts.
    bool RunUnpaged(Road road, const std::string& exe, Texts& texts, DWORD& code, const std::string& more = "") {
        Child child;
        if (!child.Start(exe, (road == Road::Quiet ? "/quiet" : "/silent") + more)) return false;
        std::vector<Box> boxes;
        const bool ended = child.RunToEnd(boxes, kRunMs, &code);
        for (const Box& box : boxes) texts.push_back(box.text);
        if (road == Road::Quiet && child.SawWindow()) texts.push_back(kWindowShown);
        return ended;
    }
    bool RunSilent(const std::string& exe, Texts& texts, DWORD& code) {
        return RunUnpaged(Road::Silent, exe, texts, code);
    }
    bool RunRoad(Road road, const std::string& exe, Texts& texts, DWORD& code, const std::string& more = "") {
        return road == Road::Wizard ? RunWizard(exe, texts, code) : RunUnpaged(road, exe, texts, code, more);
    }
    // The wizard with the agreement ticked and Install Now; every box
    // answered, and the finish page, where one comes, closed.
    bool RunWizard(const std::string& exe, Texts& texts, DWORD& code) {
        Child child;
        if (!child.Start(exe, "")) return false;
        HWND page = wintest::WaitForPage(child.pid(), kSelectAll, 30000);
        if (page == nullptr) return false;
        wintest::Click(page, kAgreement);
        wintest::WaitUntil([&] { return wintest::Enabled(page, kInstallNow); }, 5000);
        wintest::Click(page, kInstallNow);
        const ULONGLONG deadline = GetTickCount64() + kRunMs;
        for (;;) {
            Box box;
            if (child.WaitBox(box, 100)) {
                texts.push_back(box.text);
                wintest::PressOk(box);
                continue;
            }
            if (HWND finish = wintest::FindPage(child.pid(), IDC_FINISH_CLOSE)) wintest::Click(finish, IDC_FINISH_CLOSE);
            if (!child.Running()) return child.WaitExit(1000, &code);
            if (GetTickCount64() >= deadline) {
                child.Kill();
                return false;
            }
        }
    }
    // An installer whose payload is replaced by these bytes.
    std::string VariantWithPayload(const std::string& name, const std::string& payload) {
        const std::string path = root_ + "\\" + name;
        if (!wintest::CopyTo(quennel_, path)) return std::string();
        HANDLE update = BeginUpdateResourceA(path.c_str(), FALSE);
        if (update == nullptr) return std::string();
        const BOOL replaced = UpdateResourceA(update, "RAR", MAKEINTRESOURCEA(IDR_PAYLOAD_RAR),
                                              MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                                              const_cast<char*>(payload.data()), static_cast<DWORD>(payload.size()));
        if (!EndUpdateResourceA(update, !replaced) || !replaced) return std::string();
        return path;
    }
    std::string Payload() const { return wintest::ReadFileBytes(wintest::WinPath(wintest::Option("payload"))); }

    std::string quennel_, tree_, root_, temp_, drive_, original_;
    wintest::ScopedEnvironment environment_;
    std::unique_ptr<wintest::TestClient> client_;
};

const Texts kLibraryTwice{msgLoadLibraryFailed, msgLoadLibraryFailed};
const Texts kArchiveTwice{msgArchiveOpenFailed, msgArchiveOpenFailed};
const std::string kNotCompleted =
    "The installation did not complete. The client's configuration was not changed. Click OK to close the setup.";

TEST_F(Faults, TemporaryFolderThatCannotBeWritten) {
    Outcome outcome{"temporary folder missing or not writable (silent, wizard, quiet)"};
    UseTemp(root_ + "\\no such folder\\");
    RemoveDirectoryA(temp_.c_str());
    const std::string log = root_ + "\\quiet.log";
    for (Road road : {Road::Silent, Road::Wizard, Road::Quiet}) {
        ++outcome.faults;
        Texts texts;
        DWORD code = 1;
        const bool ended = RunRoad(road, quennel_, texts, code, road == Road::Quiet ? " /log=" + log : "");
        Texts expected = road == Road::Quiet ? Texts{} : kLibraryTwice;
        if (road == Road::Wizard) expected.push_back(kNotCompleted);
        EXPECT_TRUE(ended);
        EXPECT_EQ(texts, expected) << NameOf(road);
        EXPECT_EQ(code, FailedStatus(road)) << NameOf(road);
        EXPECT_FALSE(Extracted());
        const int changed = ChangedCopies();
        EXPECT_EQ(changed, 0);
        // What the boxes would have said is in the quiet run's log.
        bool told = true;
        if (road == Road::Quiet) {
            const std::string logged = wintest::ReadFileBytes(log);
            told = logged.find("message suppressed: " + msgLoadLibraryFailed + "\r\n") != std::string::npos &&
                   LastLogLine(logged).find(", exit code 1603") != std::string::npos;
            EXPECT_TRUE(told) << logged;
        }
        outcome.hung += !ended;
        outcome.corrupted += changed;
        outcome.survived += ended && code == FailedStatus(road) && texts == expected && changed == 0 && !Extracted() && told;
    }
    g_outcomes.push_back(outcome);
}

// Another user's archive standing in the shared temporary folder as
// setup.rar, held open so that the installer cannot replace it (with reading
// shared, or not shared at all), and an archive swapped in by another
// process once the installer has written its own: none is ever extracted.
TEST_F(Faults, PlantedArchiveIsNeverExtracted) {
    Outcome outcome{"another archive planted as setup.rar and held open (reading shared, not shared) or swapped in "
                    "after the write (silent, wizard, quiet)"};
    const std::string planted = wintest::ReadFileBytes(wintest::WinPath(wintest::Option("planted")));
    ASSERT_FALSE(planted.empty());
    const std::string archive = temp_ + "setup.rar", log = root_ + "\\quiet.log";
    const auto plantedAppeared = [&] {
        for (const char* entry : {"alpha", "media", "zlast.txt"}) {
            if (wintest::FileExists(client_->clientFolder + entry)) return true;
        }
        return false;
    };
    enum class Plant { HeldSharingReads, HeldUnshared, SwappedIn };
    for (Plant plant : {Plant::HeldSharingReads, Plant::HeldUnshared, Plant::SwappedIn}) {
        for (Road road : {Road::Silent, Road::Wizard, Road::Quiet}) {
            const std::string what = std::string(NameOf(road)) + " road, planting " + std::to_string(int(plant));
            ++outcome.faults;
            RemoveTree(root_ + "\\Program Files");
            UseClient(root_ + "\\Program Files\\Kestrova");
            DeleteFileA(log.c_str());
            HANDLE held = INVALID_HANDLE_VALUE;
            std::atomic<bool> running{true};
            std::atomic<int> swaps{0};
            std::thread swapper;
            if (plant == Plant::SwappedIn) {
                DeleteFileA(archive.c_str());
                // Replaces setup.rar by the planted archive whenever it can
                // once the installer has written it.
                swapper = std::thread([&] {
                    const std::string staged = root_ + "\\staged.rar";
                    while (running) {
                        if (wintest::FileExists(archive) && (wintest::FileExists(staged) ||
                                                             wintest::WriteFileBytes(staged, planted))) {
                            swaps += MoveFileExA(staged.c_str(), archive.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
                        }
                        Sleep(1);
                    }
                });
            } else {
                ASSERT_TRUE(wintest::WriteFileBytes(archive, planted));
                held = CreateFileA(archive.c_str(), GENERIC_READ,
                                   plant == Plant::HeldSharingReads ? FILE_SHARE_READ : 0, nullptr, OPEN_EXISTING,
                                   0, nullptr);
                ASSERT_NE(held, INVALID_HANDLE_VALUE);
            }
            Texts texts;
            DWORD code = 1;
            const bool ended = RunRoad(road, quennel_, texts, code, road == Road::Quiet ? " /log=" + log : "");
            running = false;
            if (swapper.joinable()) swapper.join();
            if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
            // A planted file is refused with the archive's message; an
            // installation that the swapper could not disturb completes.
            const bool refused = Extracted() == false;
            Texts expected = road == Road::Quiet || !refused ? Texts{} : kArchiveTwice;
            if (road == Road::Wizard && refused) expected.push_back(kNotCompleted);
            const DWORD status = refused ? FailedStatus(road) : 0;
            EXPECT_TRUE(ended) << what;
            EXPECT_FALSE(plantedAppeared()) << what;
            EXPECT_TRUE(refused || plant == Plant::SwappedIn) << what;
            EXPECT_EQ(texts, expected) << what;
            EXPECT_EQ(code, status) << what;
            // Refused: every copy as it was; installed: every copy updated
            // with the road's languages (all of them, or the page's preset).
            int partial = refused ? ChangedCopies() : 0;
            for (const std::string& copy : refused ? Texts{} : Copies()) {
                partial += road == Road::Wizard ? !(WellFormed(copy) && copy.find("<Value>true<") != std::string::npos)
                                                : copy != Updated(original_, kAllCodes);
            }
            EXPECT_EQ(partial, 0) << what;
            bool told = true;
            if (road == Road::Quiet && refused) {
                const std::string logged = wintest::ReadFileBytes(log);
                told = logged.find("setup.rar could not be written, and the file there is not the installer's own") !=
                           std::string::npos ||
                       logged.find("setup.rar written, but changed before it could be held") != std::string::npos;
                told = told && logged.find("message suppressed: " + msgArchiveOpenFailed) != std::string::npos &&
                       LastLogLine(logged).find(", exit code 1603") != std::string::npos;
                EXPECT_TRUE(told) << what << ":\n" << logged;
            }
            outcome.hung += !ended;
            outcome.corrupted += partial;
            outcome.survived += ended && !plantedAppeared() && code == status && partial == 0 && told &&
                                texts == expected && (plant == Plant::SwappedIn || refused);
            if (plant == Plant::SwappedIn && swaps > 0) outcome.note = "a swap got in before the hold: refused";
        }
    }
    if (outcome.note.empty()) outcome.note = "every swap was refused while the installer held its archive";
    g_outcomes.push_back(outcome);
}

// Another user's licence text standing as license.rtf and held open so that
// the installer cannot replace it: the licence page never shows it.
TEST_F(Faults, PlantedLicenceIsNeverShown) {
    Outcome outcome{"another licence text planted as license.rtf and held open (wizard)", 1};
    const std::string licence = temp_ + "license.rtf";
    ASSERT_TRUE(wintest::WriteFileBytes(licence, "{\\rtf1\\ansi planted\\par planted\\par planted}"));
    HANDLE held = CreateFileA(licence.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Child child;
    ASSERT_TRUE(child.Start(quennel_, ""));
    HWND page = wintest::WaitForPage(child.pid(), IDC_LANGUAGE_LICENSE_LINK, 30000);
    ASSERT_NE(page, nullptr);
    wintest::ClickStatic(page, IDC_LANGUAGE_LICENSE_LINK);
    Box box;
    const bool told = child.WaitBox(box, kRunMs) && box.text == msgLicenseOpenFailed;
    EXPECT_TRUE(told) << box.text;
    wintest::PressOk(box);
    HWND licensePage = wintest::WaitForPage(child.pid(), IDC_LICENSE_TEXT, kRunMs);
    ASSERT_NE(licensePage, nullptr);
    const LRESULT lines = SendMessageA(GetDlgItem(licensePage, IDC_LICENSE_TEXT), EM_GETLINECOUNT, 0, 0);
    EXPECT_LE(lines, 1);
    wintest::Click(licensePage, IDC_LICENSE_OK);
    wintest::Click(wintest::WaitForPage(child.pid(), IDC_LANGUAGE_CLOSE, kRunMs), IDC_LANGUAGE_CLOSE);
    DWORD code = 1;
    const bool ended = child.WaitExit(kRunMs, &code);
    CloseHandle(held);
    EXPECT_TRUE(ended);
    EXPECT_EQ(code, 0u);
    outcome.hung = !ended;
    outcome.survived = told && lines <= 1 && ended && code == 0;
    g_outcomes.push_back(outcome);
}

TEST_F(Faults, DiskFullWhileExtracting) {
    const std::string disk = "T:\\";
    if (GetDriveTypeA(disk.c_str()) == DRIVE_NO_ROOT_DIR) {
        const std::string reason = wintest::ReadFileBytes(wintest::WinPath(wintest::Option("tmpfs-reason")));
        g_outcomes.push_back({"disk full while extracting", 0, 0, 0, 0, "skipped: " + reason});
        GTEST_SKIP() << "no small drive T: for this test: " << reason;
    }
    Outcome outcome{"disk full while extracting (early, middle, just before the end; silent, wizard, quiet)"};
    const double payloadBytes = 3644176.0;  // the sample tree, unpacked
    int round = 0;
    const std::vector<std::pair<double, Road>> rounds{
        {0.1, Road::Silent}, {0.5, Road::Wizard}, {0.97, Road::Silent}, {0.3, Road::Quiet}};
    for (const auto& step : rounds) {
        const double share = step.first;
        const Road road = step.second;
        const bool wizard = road == Road::Wizard;
        ++outcome.faults;
        const std::string location = disk + "run" + std::to_string(round++);
        CreateDirectoryA(location.c_str(), nullptr);
        UseClient(location);
        // Fill the drive so that only this share of the payload still fits.
        ULARGE_INTEGER freeBytes;
        ASSERT_TRUE(GetDiskFreeSpaceExA(disk.c_str(), &freeBytes, nullptr, nullptr));
        const double keep = payloadBytes * share;
        const ULONGLONG filler = freeBytes.QuadPart > keep ? freeBytes.QuadPart - static_cast<ULONGLONG>(keep) : 0;
        ASSERT_TRUE(wintest::WriteFileBytes(location + "\\filler.bin", std::string(static_cast<size_t>(filler), 'f')));
        Texts texts;
        DWORD code = 1;
        const bool ended = RunRoad(road, quennel_, texts, code);
        EXPECT_TRUE(ended);
        EXPECT_EQ(code, FailedStatus(road)) << NameOf(road) << " share " << share;
        const int changed = ChangedCopies();
        EXPECT_EQ(changed, 0) << "share " << share;
        const bool told = wizard ? texts == Texts{kNotCompleted} : road == Road::Silent || texts.empty();
        EXPECT_TRUE(told) << NameOf(road) << ": " << testing::PrintToString(texts);
        RemoveTree(location);  // the next round has the drive to itself
        outcome.hung += !ended;
        outcome.corrupted += changed;
        outcome.survived += ended && code == FailedStatus(road) && changed == 0 && told;
    }
    g_outcomes.push_back(outcome);
}

TEST_F(Faults, CorruptAndTruncatedPayloads) {
    Outcome outcome{"corrupt and truncated payloads (silent, wizard, quiet)"};
    const std::string payload = Payload();
    ASSERT_GT(payload.size(), 100000u);
    std::string flipped = payload;
    for (size_t i = flipped.size() / 3; i < flipped.size() / 3 + 4096; ++i) flipped[i] = static_cast<char>(~flipped[i]);
    struct Variant {
        const char* name;
        std::string bytes;
        bool opens;
    };
    const std::vector<Variant> variants{{"QuennelHalf.exe", payload.substr(0, payload.size() / 2), true},
                                        {"QuennelFlipped.exe", flipped, true},
                                        // Only the archive's signature: the library opens it and finds nothing.
                                        {"QuennelTiny.exe", payload.substr(0, 10), true},
                                        {"QuennelText.exe", std::string(5000, 'x'), false}};
    for (const Variant& variant : variants) {
        const std::string exe = VariantWithPayload(variant.name, variant.bytes);
        ASSERT_FALSE(exe.empty()) << "cannot make " << variant.name;
        for (Road road : {Road::Silent, Road::Wizard, Road::Quiet}) {
            ++outcome.faults;
            Texts texts;
            DWORD code = 1;
            const bool ended = RunRoad(road, exe, texts, code);
            Texts expected = variant.opens || road == Road::Quiet ? Texts{} : kArchiveTwice;
            if (road == Road::Wizard) expected.push_back(kNotCompleted);
            EXPECT_TRUE(ended);
            EXPECT_EQ(code, FailedStatus(road)) << variant.name << " " << NameOf(road);
            EXPECT_EQ(texts, expected) << variant.name << " " << NameOf(road);
            const int changed = ChangedCopies();
            EXPECT_EQ(changed, 0) << variant.name;
            outcome.hung += !ended;
            outcome.corrupted += changed;
            outcome.survived += ended && code == FailedStatus(road) && texts == expected && changed == 0;
        }
    }
    g_outcomes.push_back(outcome);
}

TEST_F(Faults, CopiesThatCannotBeWrittenAtCompletion) {
    Outcome outcome{"copy held open without sharing, copy read-only, at completion (silent, quiet)"};
    for (Road road : {Road::Silent, Road::Quiet}) {
        outcome.faults += 2;
        ASSERT_TRUE(client_->Install());  // the copies as before
        ASSERT_TRUE(SetFileAttributesA(client_->install.c_str(), FILE_ATTRIBUTE_READONLY));
        HANDLE held = CreateFileA(client_->publicCopy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        Texts texts;
        DWORD code = 1;
        const bool ended = RunUnpaged(road, quennel_, texts, code);
        CloseHandle(held);
        SetFileAttributesA(client_->install.c_str(), FILE_ATTRIBUTE_NORMAL);
        // The quiet road tells that a copy was left as it was.
        const DWORD status = road == Road::Quiet ? 5 : 0;
        EXPECT_TRUE(ended);
        EXPECT_TRUE(texts.empty()) << NameOf(road) << ": " << testing::PrintToString(texts);
        EXPECT_EQ(code, status) << NameOf(road);
        const auto copies = Copies();
        EXPECT_EQ(copies[0], original_);
        EXPECT_EQ(copies[1], original_);
        EXPECT_EQ(copies[2], Updated(original_, kAllCodes));
        const int corrupted = (copies[0] != original_) + (copies[1] != original_);
        outcome.corrupted += corrupted;
        outcome.hung += !ended;
        outcome.survived += ended && code == status && texts.empty() && corrupted == 0 ? 2 : 0;
    }
    g_outcomes.push_back(outcome);
}

TEST_F(Faults, PlantedLibraryIsNeverLoaded) {
    Outcome outcome{"a different setup.dll planted and held open in the temporary folder", 1};
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    ASSERT_TRUE(wintest::CopyTo(std::string(system) + "\\version.dll", temp_ + "setup.dll"));
    HANDLE held = CreateFileA((temp_ + "setup.dll").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Child child;
    ASSERT_TRUE(child.Start(quennel_, "/silent"));
    Box box;
    ASSERT_TRUE(child.WaitBox(box, kRunMs));
    // While the first message is up, the installer's modules hold no setup.dll.
    bool loaded = false;
    HANDLE modules = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, child.pid());
    MODULEENTRY32 entry;
    entry.dwSize = sizeof entry;
    if (modules != INVALID_HANDLE_VALUE && Module32First(modules, &entry)) {
        do {
            if (lstrcmpiA(entry.szModule, "setup.dll") == 0) loaded = true;
        } while (Module32Next(modules, &entry));
    }
    if (modules != INVALID_HANDLE_VALUE) CloseHandle(modules);
    wintest::PressOk(box);
    std::vector<Box> rest;
    DWORD code = 1;
    const bool ended = child.RunToEnd(rest, kRunMs, &code);
    CloseHandle(held);
    EXPECT_EQ(rest.size(), 1u);  // the extraction pass says it once more
    EXPECT_EQ(box.text, msgLoadLibraryFailed);
    EXPECT_FALSE(loaded);
    EXPECT_TRUE(ended);
    EXPECT_EQ(code, 1603u);
    EXPECT_EQ(ChangedCopies(), 0);
    outcome.hung = !ended;
    outcome.corrupted = ChangedCopies();
    outcome.survived = !loaded && ended && code == 1603 && box.text == msgLoadLibraryFailed && outcome.corrupted == 0;
    g_outcomes.push_back(outcome);
}

TEST_F(Faults, KilledAtRandomMoments) {
    Outcome outcome{"silent installation killed at 20 seeded random moments, then run again"};
    // How long a whole run takes here.
    Texts texts;
    DWORD code = 1;
    const DWORD start = GetTickCount();
    ASSERT_TRUE(RunSilent(quennel_, texts, code));
    const DWORD whole = GetTickCount() - start;
    ASSERT_EQ(PartialCopies(kAllCodes), 0);
    std::mt19937 random(8);
    for (int kill = 0; kill < 20; ++kill) {
        ASSERT_TRUE(client_->Install());  // copies as before
        ++outcome.faults;
        Child child;
        ASSERT_TRUE(child.Start(quennel_, "/silent"));
        Sleep(random() % (whole + 50));
        child.Kill();
        const int partial = PartialCopies(kAllCodes);
        EXPECT_EQ(partial, 0) << "kill " << kill;
        Texts again;
        DWORD againCode = 1;
        const bool ended = RunSilent(quennel_, again, againCode);
        EXPECT_TRUE(ended);
        EXPECT_EQ(againCode, 0u);
        const auto copies = Copies();
        const bool completed = copies[0] == Updated(original_, kAllCodes) && copies[1] == copies[0] && copies[2] == copies[0];
        EXPECT_TRUE(completed) << "the rerun after kill " << kill << " did not complete";
        outcome.corrupted += partial;
        outcome.hung += !ended;
        outcome.survived += partial == 0 && ended && completed;
    }
    outcome.note = "a whole run took " + std::to_string(whole) + " ms here";
    g_outcomes.push_back(outcome);
}

TEST_F(Faults, RemovalKilledAtRandomMoments) {
    Outcome outcome{"removal (/uninstall /quiet) killed at 8 seeded random moments, then run again"};
    char data[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableA("ProgramData", data, MAX_PATH), 0u);
    const std::string receipts = std::string(data) + "\\Quennel\\";
    for (const std::string& name : wintest::Entries(receipts, false)) DeleteFileA((receipts + name).c_str());
    Texts texts;
    DWORD code = 1;
    ASSERT_TRUE(RunSilent(quennel_, texts, code));
    const Texts installed = Copies();
    ASSERT_EQ(installed[0], Updated(original_, kAllCodes));
    // How long a whole removal takes here.
    const DWORD start = GetTickCount();
    ASSERT_TRUE(RunUnpaged(Road::Quiet, quennel_, texts, code, " /uninstall"));
    const DWORD whole = GetTickCount() - start;
    ASSERT_EQ(code, 0u);
    ASSERT_EQ(ChangedCopies(), 0);
    std::mt19937 random(9);
    for (int kill = 0; kill < 8; ++kill) {
        ASSERT_TRUE(RunSilent(quennel_, texts, code));
        ++outcome.faults;
        Child child;
        ASSERT_TRUE(child.Start(quennel_, "/uninstall /quiet"));
        Sleep(random() % (whole + 50));
        child.Kill();
        int partial = 0;
        const Texts copies = Copies();
        for (std::size_t i = 0; i < copies.size(); ++i) partial += copies[i] != original_ && copies[i] != installed[i];
        EXPECT_EQ(partial, 0) << "kill " << kill;
        Texts again;
        DWORD againCode = 1;
        const bool ended = RunUnpaged(Road::Quiet, quennel_, again, againCode, " /uninstall");
        const bool completed = ended && againCode == 0 && ChangedCopies() == 0 && !Extracted();
        EXPECT_TRUE(completed) << "the removal after kill " << kill << " did not complete (" << againCode << ")";
        outcome.corrupted += partial;
        outcome.hung += !ended;
        outcome.survived += partial == 0 && completed;
    }
    outcome.note = "a whole removal took " + std::to_string(whole) + " ms here";
    g_outcomes.push_back(outcome);
}

TEST_F(Faults, TwoInstallersAtOnce) {
    Outcome outcome{"two differently named installers at once on one client", 1};
    const std::string second = root_ + "\\QuennelSecond.exe";
    ASSERT_TRUE(wintest::CopyTo(quennel_, second));
    Child a, b;
    ASSERT_TRUE(a.Start(quennel_, "/silent"));
    ASSERT_TRUE(b.Start(second, "/silent"));
    std::vector<Box> boxesA, boxesB;
    DWORD codeA = 1, codeB = 1;
    const bool endedA = a.RunToEnd(boxesA, kRunMs, &codeA);
    const bool endedB = b.RunToEnd(boxesB, kRunMs, &codeB);
    const auto texts = [](const std::vector<Box>& boxes) {
        Texts said;
        for (const Box& box : boxes) said.push_back(box.text);
        return testing::PrintToString(said);
    };
    EXPECT_TRUE(endedA && endedB);
    EXPECT_EQ(codeA, 0u) << texts(boxesA);
    EXPECT_EQ(codeB, 0u) << texts(boxesB);
    int wrong = 0;
    for (const char* root : {"client\\translations\\Thai\\", "server\\translations\\zh_TW\\"}) {
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA((tree_ + root + "*").c_str(), &data);
        ASSERT_NE(find, INVALID_HANDLE_VALUE);
        do {
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            const std::string relative = std::string(root) + data.cFileName;
            wrong += wintest::ReadFileBytes(client_->clientFolder + relative) != wintest::ReadFileBytes(tree_ + relative);
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    EXPECT_EQ(wrong, 0);
    const int partial = PartialCopies(kAllCodes);
    EXPECT_EQ(partial, 0);
    for (const std::string& copy : Copies()) EXPECT_TRUE(WellFormed(copy));
    outcome.corrupted = partial;
    outcome.hung = !(endedA && endedB);
    outcome.survived = endedA && endedB && codeA == 0 && codeB == 0 && wrong == 0 && partial == 0;
    g_outcomes.push_back(outcome);
}

TEST_F(Faults, PathsOutsideAscii) {
    Outcome outcome{"InstallLocation and temporary folder outside ASCII", 1};
    UseTemp(root_ + "\\Tempor\xE4r \xFC\\");
    UseClient(root_ + "\\Programme \xC9t\xE9\\Kestrova");
    Texts texts;
    DWORD code = 1;
    const bool ended = RunSilent(quennel_, texts, code);
    EXPECT_TRUE(ended);
    EXPECT_TRUE(texts.empty());
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(Extracted());
    const auto copies = Copies();
    EXPECT_EQ(copies[2], Updated(original_, kAllCodes));
    outcome.hung = !ended;
    outcome.corrupted = PartialCopies(kAllCodes);
    outcome.survived = ended && code == 0 && Extracted() && copies[2] == Updated(original_, kAllCodes);
    g_outcomes.push_back(outcome);
}

}  // namespace
